#pragma once
// The rows of the alarm list window: a fixed number of row places, each showing one alarm
// (its switch, time, name, repeat and state), and the area over them that takes the
// clicks and, as the list's stop of the keyboard focus, the keys.
#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>

#include "shell/Skin.h"
#include "ui/Control.h"
#include "ui/Image.h"
#include "ui/Label.h"

class CAlarm;

// The place of the rows in the window, and how many show at once.
constexpr int kListRows = 6;
constexpr int kRowHeight = 40;
constexpr ui::Rect kRowsArea{16, 44, 404, kListRows * kRowHeight};

// `text` cut at a character so that it with "…" after it fits `width` pixels of `font`.
std::string CutToWidth(const std::string& text, const ui::Font& font, int width);

// The rows' stop of the focus: it draws nothing, takes the presses on the rows and keeps
// the keyboard with the window (the keys come to the window's own key handler).
class RowsArea : public ui::Control {
 public:
  explicit RowsArea(ui::Form& owner);
  void Paint(ui::Bitmap&) override {}
  void TakeFocus() override;
};

struct RowTexts {
  std::string time, name, repeat, state;
};
// What a row says of an alarm, `nowLocal` being the local clock (CalendarTime seconds).
RowTexts TextsOf(const CAlarm& alarm, std::int64_t nowLocal);

class ListRow {
 public:
  // Made on `form` now; `index` is the row's place from the top.
  ListRow(ui::Form& form, int index);
  // Shows the alarm, or nothing for a row below the last alarm.
  void Show(const CAlarm* alarm, std::int64_t nowLocal, const Picture& on, const Picture& off);

  ui::Image Switch;
  ui::Label Time, Name, Repeat, State;
};
