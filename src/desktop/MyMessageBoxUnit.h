#pragma once
#include "ui/Form.h"

// The skinned message box.
class TFormMyMessageBox : public ui::Form {
 public:
  TFormMyMessageBox() {
    SetCaption("FormMyMessageBox");
    SetClientSize(383, 170);
  }
};

inline TFormMyMessageBox* FormMyMessageBox = nullptr;
