#pragma once
// The timer window: quick choices of 1 to 60 minutes, hours, minutes and seconds with their
// arrows (up to 99:59:59), a name, Start and Cancel. A quick choice only fills the fields;
// Start hands the length and the name on and, when the timer runs, remembers them for the
// next opening. Created hidden at start-up, shown by OpenWindow, afterwards hidden and shown.
#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "setup/TimeFields.h"
#include "shell/SkinnedForm.h"
#include "ui/Edit.h"
#include "ui/Image.h"
#include "ui/Label.h"
#include "ui/Timer.h"

struct ButtonRow;

class TFormTimerStart : public TSkinnedForm {
 public:
  static constexpr const char* kNoTime = "Set a time of at least one second.";
  static constexpr const char* kNotStarted = "The timer could not be started.";
  static constexpr std::array<int, 9> kQuickMinutes{1, 3, 5, 10, 15, 25, 30, 45, 60};

  TFormTimerStart();

  // The last length and name started (or 0:05:00 and none), every button at rest, shown;
  // already shown, only brought up.
  void OpenWindow();

  // Starts a timer of that many seconds with that name (may be empty); false, with the
  // reason in `refusal` (empty: a general one), when it could not.
  std::function<bool(const std::string& label, std::int64_t seconds, std::string* refusal)> OnStart;

  // Components, in declared order (later ones above).
  ui::Image BackImage;
  ui::Label EditHours, EditMinutes, EditSeconds;
  ui::Image ImageUp1, ImageDown1, ImageUp2, ImageDown2, ImageUp3, ImageDown3;
  // One per kQuickMinutes, in its order.
  std::deque<ui::Image> QuickImages;
  ui::Edit NameField;
  ui::Image ImageStart, ImageCancel, ImageClose;
  ui::Timer Timer;

  TimeFields Time;

  // The length the fields show, in seconds.
  std::int64_t Length() const;
  // What the buttons do.
  void ChooseQuick(int minutes);
  void StartPressed();
  void CancelPressed();

 protected:
  void FormCreate() override;
  void FormDestroy() override;
  bool FormCloseQuery() override;

 private:
  std::vector<ButtonRow> Rows();
  void ShowLength(std::int64_t seconds);

  bool placed_ = false;
  Picture iStart_, aStart_, iCancel_, aCancel_, iExit_, aExit_;
  std::array<Picture, kQuickMinutes.size()> iQuick_, aQuick_;
};

inline TFormTimerStart* FormTimerStart = nullptr;
