#pragma once
#include "ui/Form.h"

// The About window: version and the maker's links.
class TAboutForm : public ui::Form {
 public:
  TAboutForm() {
    SetCaption("About");
    SetClientSize(300, 158);
  }
};

inline TAboutForm* AboutForm = nullptr;
