#include "app/Program.h"

#include <cstring>

#include "alarm/SoundSystemForm.h"
#include "app/Globals.h"
#include "desktop/About.h"
#include "desktop/MyMessageBoxUnit.h"
#include "desktop/OptionsForm.h"
#include "pet/EyesUnit.h"
#include "pet/LogicWindow.h"
#include "platform/Platform.h"
#include "setup/AddDirectoryDialog.h"
#include "setup/AlarmListWindow.h"
#include "setup/PlayListAlarm.h"
#include "setup/SimpleAlarmUnit.h"
#include "setup/TimerWindow.h"
#include "shell/main.h"
#include "ui/Application.h"

StartedProgram StartRavilo() {
  auto& kernel = platform::kernel();
  auto& app = ui::Application::Instance();
  // Data files are opened relative to the program's folder, wherever it was started from.
  kernel.SetCurrentDirectory(ExeDirectory());
  if (IsOsTooOld()) {
    SystemMessageBox("You should have Windows 2000 or Windows XP on your computer to start Ravilo. ", "Information",
                     ui::kMbOk | ui::kMbIconInformation);
    kernel.ShellExecute("", "unins000.exe", "", "");
    kernel.ExitProcess(0);
  }
  char title[256] = {};
  std::strncpy(title, "Ravilo", sizeof title - 1);
  app.SetTitle(title);

  const platform::MutexResult mutex = kernel.CreateMutex("Ravilo");
  if (mutex.lastError != 0) kernel.ExitProcess(0);  // another instance runs
  app.SetTitle("Ravilo");

  app.CreateForm(FormMain);
  app.CreateForm(AboutForm);
  app.CreateForm(DialogAddDir);
  app.CreateForm(FormTimer);
  app.CreateForm(FormPlayListAlarm);
  app.CreateForm(FormSimpleAlarm);
  app.CreateForm(FormAlarmList);
  app.CreateForm(FormTimerStart);
  app.CreateForm(FormSoundSystem);
  app.CreateForm(FormMyMessageBox);
  app.CreateForm(FormEyes);
  app.CreateForm(FormOptions);
  return {mutex.handle};
}

void FinishRavilo(const StartedProgram& started) {
  platform::kernel().ReleaseMutex(started.mutex);
  ui::Application::Instance().Halt(0);
}

void RunRavilo() {
  const StartedProgram started = StartRavilo();
  ui::Application::Instance().Run();
  FinishRavilo(started);
}
