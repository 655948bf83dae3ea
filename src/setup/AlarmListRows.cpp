#include "setup/AlarmListRows.h"

#include "alarm/AlarmTexts.h"
#include "alarm/AlarmUnit.h"
#include "app/Globals.h"
#include "ui/Application.h"
#include "ui/Form.h"

namespace {
constexpr const char* kEllipsis = "\u2026";
const ui::Font kTimeFont{"MS Sans Serif", -16};
const ui::Font kTextFont{};
constexpr int kNameWidth = 136;
constexpr int kStateWidth = 144;

void SetIfChanged(ui::Label& label, const std::string& text) {
  if (label.Caption() != text) label.SetCaption(text);
}
}  // namespace

std::string CutToWidth(const std::string& text, const ui::Font& font, int width) {
  auto& backend = ui::Application::Instance().GetBackend();
  if (backend.MeasureText(text, font).width <= width) return text;
  std::string cut = text;
  while (!cut.empty()) {
    // Back by one whole UTF-8 character.
    std::size_t end = cut.size() - 1;
    while (end > 0 && (static_cast<unsigned char>(cut[end]) & 0xC0) == 0x80) --end;
    cut.resize(end);
    while (!cut.empty() && cut.back() == ' ') cut.pop_back();
    if (backend.MeasureText(cut + kEllipsis, font).width <= width) break;
  }
  return cut + kEllipsis;
}

RowsArea::RowsArea(ui::Form& owner) : Control(owner) {
  SetBounds(kRowsArea);
  SetFocusKind(ui::FocusKind::Native);
}

void RowsArea::TakeFocus() {
  if (Owner().Peer()) Owner().Peer()->TakeKeyboard();
}

RowTexts TextsOf(const CAlarm& alarm, std::int64_t nowLocal) {
  return {TwoDigits(alarm.GetHour()) + ":" + TwoDigits(alarm.GetMinute()), alarm.Label(), RepeatText(alarm),
          StateText(alarm, nowLocal)};
}

ListRow::ListRow(ui::Form& form, int index) : Switch(form), Time(form), Name(form), Repeat(form), State(form) {
  const int top = kRowsArea.top + index * kRowHeight;
  Switch.SetPosition(24, top + 10);
  Time.SetPosition(68, top + 11);
  Time.SetFont(kTimeFont);
  Name.SetPosition(128, top + 5);
  Repeat.SetPosition(128, top + 21);
  Repeat.SetColour(ui::Rgb(96, 84, 80));
  State.SetPosition(272, top + 13);
}

void ListRow::Show(const CAlarm* alarm, std::int64_t nowLocal, const Picture& on, const Picture& off) {
  for (ui::Control* c : std::initializer_list<ui::Control*>{&Switch, &Time, &Name, &Repeat, &State})
    if (c->Visible() != (alarm != nullptr)) c->SetVisible(alarm != nullptr);
  if (!alarm) return;
  const RowTexts t = TextsOf(*alarm, nowLocal);
  const Picture& shown = alarm->IsOn() ? on : off;
  // A reader hears the row's switch as a check box named by the row.
  Switch.SetAccessible(ui::Role::CheckBox, t.time + " " + t.name);
  Switch.SetAccessibleChecked([on = alarm->IsOn()] { return on; });
  if (Switch.Picture() != shown) Switch.SetPicture(shown);
  SetIfChanged(Time, t.time);
  SetIfChanged(Name, CutToWidth(t.name, kTextFont, kNameWidth));
  SetIfChanged(Repeat, t.repeat);
  SetIfChanged(State, CutToWidth(t.state, kTextFont, kStateWidth));
}
