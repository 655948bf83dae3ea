#pragma once
// PetCheck: checks the sixteen movies and the two eye bitmaps of a program folder against the
// rules of docs/making-a-pet.md, with the program's own GIF decoder, frame composer and
// bitmap reader, so that what passes here is what Ravilo shows. A folder may also hold
// larger sets of pictures (Movies\2x\..., Images\2x\...: every file n times the size of its
// 1x partner); each set found is checked by the same rules at its scale, and against the 1x
// set.
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "pet/GifMovie.h"
#include "ui/Bitmap.h"

namespace petcheck {

// The frame every movie has, and the part of it that is on screen in the normal layout at
// the first-run place (the window stands 40 px beyond the right and 50 px beyond the bottom
// edge of the screen, and the movie sits at x = 140 of the 319 x 170 window).
constexpr int kFrameWidth = 172, kFrameHeight = 136;
constexpr int kVisibleWidth = 139, kVisibleHeight = 120;
// Where the movie stands in the window: the eye points are given in window coordinates.
constexpr int kMovieLeft = 140;
// A frame is shown for 50 ms at least; longer delays than this make a movie look stuck.
constexpr int kMinDelayMs = 50, kMaxDelayMs = 2000;
// Idle movies last 2 to 10 s; control movies at most 4 s.
constexpr int kIdleMinMs = 2000, kIdleMaxMs = 10000, kControlMaxMs = 4000;
// A colour this near the purple key (Euclidean RGB distance) without being it is a fringe.
constexpr double kNearKeyDistance = 40.0;
// Eye white: every channel at least this light, wherever a pupil can be laid.
constexpr int kEyeWhiteMin = 200;
// The eye bitmaps are small pupils.
constexpr int kEyeMaxSize = 15;

enum class Rule {
  MissingFile,         // Ravilo does not start
  Undecodable,         // Ravilo does not start
  NotGif89a,
  FrameSize,
  TooFewFrames,
  OpaqueFirstFrame,
  DamagedFrame,
  FrameDelay,
  TooShort,
  TooLong,
  KeyColour,
  NearKey,
  OutsideVisibleArea,
  NoEyeWhite,
  EyeBitmapSize,
  EyeBitmapKey,
  NoPartner,       // a file of a larger set without its 1x file
  SetSize,         // a file of a larger set not exactly n times its 1x file's size
  SetFrames,       // a movie of a larger set whose frames or delays differ from the 1x movie's
  IncompleteSet,   // a larger set without one of the movies or eye bitmaps
};

// The largest set looked for: folders "2x" to "8x".
constexpr int kMaxSetScale = 8;

// A short name for the rule, as printed ("frame-size").
const char* RuleName(Rule rule);
// The rule in a few words.
const char* RuleText(Rule rule);
// Whether breaking the rule keeps Ravilo from starting ("Program is damaged").
bool StopsLoading(Rule rule);

struct Finding {
  std::string file;    // relative to the folder, as Windows writes it: "Movies\Idle\5.gif"
  Rule rule = Rule::MissingFile;
  int frame = -1;      // -1: the finding is not about one frame
  int x = -1, y = -1;  // -1: not about one pixel; else frame (or bitmap) coordinates
  std::string detail;  // what was found
  int more = 0;        // further places in the same file that break the same rule
};

// One line: file, frame, pixel, rule and what was found.
std::string Describe(const Finding& finding);

struct MovieEntry {
  std::string file;  // "Movies\Control\1.gif"
  bool control = false;
  bool ringing = false;  // the ringing loop plays in the centred layout
  bool eyes = false;     // the pupils are laid over it
  std::shared_ptr<const pet::GifMovie> movie;  // null when missing or undecodable
};

struct PetSet {
  std::vector<MovieEntry> movies;  // the sixteen, in the program's order
  std::shared_ptr<const ui::Bitmap> leftEye, rightEye;
  std::vector<Finding> findings;
  std::vector<int> largerSets;  // the scales of the larger sets found (2 for "2x"), ascending

  // Ravilo starts with this set.
  bool Loads() const;
  // ... and it follows every rule.
  bool Passes() const { return findings.empty(); }
};

// Reads and checks FOLDER\Movies\... and FOLDER\Images\Eyes\..., and every larger set
// found in FOLDER\Movies\<n>x and FOLDER\Images\<n>x.
PetSet CheckFolder(const std::filesystem::path& folder);

}  // namespace petcheck
