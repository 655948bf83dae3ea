#pragma once
#include "ui/Form.h"

// The simple-mode alarm window.
class TFormSimpleAlarm : public ui::Form {
 public:
  TFormSimpleAlarm() {
    SetCaption("Alarm(simple mode)");
    SetClientSize(371, 336);
  }
};

inline TFormSimpleAlarm* FormSimpleAlarm = nullptr;
