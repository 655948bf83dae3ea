#pragma once
#include "ui/Form.h"

// The playlist-mode alarm window.
class TFormPlayListAlarm : public ui::Form {
 public:
  TFormPlayListAlarm() {
    SetCaption("Alarm(playlist mode)");
    SetClientSize(365, 559);
  }
};

inline TFormPlayListAlarm* FormPlayListAlarm = nullptr;
