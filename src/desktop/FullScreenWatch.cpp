#include "desktop/FullScreenWatch.h"

#include "alarm/AlarmUnit.h"
#include "pet/LogicWindow.h"
#include "shell/PetMonitor.h"
#include "ui/Application.h"

bool FullScreenInFrontOfPet() {
  if (Alarm && !Alarm->GetOptions().hideFullScreen) return false;
  return ui::Application::Instance().GetBackend().FullScreenProgramOn(PetMonitor());
}

void WatchFullScreen() {
  if (Logic) Logic->SetFullScreenInFront(FullScreenInFrontOfPet());
}
