#pragma once
#include "ui/Form.h"

// Hosts the behaviour tick; never shown.
class TFormTimer : public ui::Form {
 public:
  TFormTimer() {
    SetCaption("FormTimer");
    SetClientSize(100, 100);
  }
};

inline TFormTimer* FormTimer = nullptr;
