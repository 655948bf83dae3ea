#pragma once
#include "ui/Form.h"

// The add-directory dialog: a folder picked from a lazily built tree.
class TDialogAddDir : public ui::Form {
 public:
  TDialogAddDir() {
    SetCaption("Add Directory");
    SetClientSize(326, 356);
  }
};

inline TDialogAddDir* DialogAddDir = nullptr;
