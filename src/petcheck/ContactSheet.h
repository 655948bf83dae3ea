#pragma once
// The contact sheet PetCheck writes with --sheet: every frame of every movie, as the movie
// view composes it, on a checkerboard where the frame is transparent. For the movies of the
// normal layout a red line on the checkerboard marks where the screen's edge cuts the frame
// off at the first-run place. Each movie's row starts with its file number (C1 = Control\1,
// I5 = Idle\5) in a small pixel font.
#include <cstdint>
#include <string>
#include <vector>

#include "petcheck/PetCheck.h"
#include "ui/Bitmap.h"

namespace petcheck {

constexpr int kSheetColumns = 16;

ui::Bitmap BuildContactSheet(const PetSet& set);
// A 24-bit bottom-up Windows bitmap file.
std::vector<std::uint8_t> EncodeBmp(const ui::Bitmap& picture);
// Writes the sheet; false with a reason when the file cannot be written.
bool WriteContactSheet(const PetSet& set, const std::string& path, std::string& error);

}  // namespace petcheck
