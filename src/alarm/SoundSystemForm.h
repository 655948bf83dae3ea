#pragma once
#include "ui/Form.h"

// Owns the media player and receives its notifications; never shown.
class TFormSoundSystem : public ui::Form {
 public:
  TFormSoundSystem() {
    SetCaption("FormSoundSystem");
    SetClientSize(100, 100);
  }
};

inline TFormSoundSystem* FormSoundSystem = nullptr;
