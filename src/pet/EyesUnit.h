#pragma once
#include "ui/Form.h"

// Hosts the eyes timer; never shown.
class TFormEyes : public ui::Form {
 public:
  TFormEyes() {
    SetCaption("FormEyes");
    SetClientSize(100, 100);
  }
};

inline TFormEyes* FormEyes = nullptr;
