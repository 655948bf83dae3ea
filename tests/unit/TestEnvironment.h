#pragma once
// Runs the program on the headless desktop with fake platform services: the registry,
// the clock, the files (the real data/ folder mounted as the program's folder) and the
// process exit, all in virtual time.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/Program.h"
#include "platform/Platform.h"
#include "platform/fake/FakeAudioVolume.h"
#include "platform/fake/FakeFileSystem.h"
#include "platform/fake/FakeKernel.h"
#include "platform/fake/FakeNotifyIcon.h"
#include "platform/fake/FakeMedia.h"
#include "platform/fake/FakeRegistry.h"
#include "platform/fake/FakeWakeTimer.h"
#include "ui/Application.h"
#include "ui/headless/HeadlessBackend.h"

class TestEnvironment {
 public:
  static constexpr const char* kProgramDir = "C:\\Program Files\\Ravilo\\";
  static constexpr const char* kKey = "Software\\MirenWorks\\Ravilo";

  TestEnvironment();
  ~TestEnvironment();

  // Starts the program; returns the exit code when it ended during start-up.
  std::optional<int> Start();
  // Runs the message loop for ms of virtual time; returns the exit code if the process
  // ended meanwhile (by ExitProgram or the end of the loop).
  std::optional<int> RunFor(std::int64_t ms);
  // Runs fn (an action on the running program); returns the exit code if it ended the process.
  std::optional<int> Do(const std::function<void()>& fn);
  bool Running() const { return started_ && !exitCode_; }

  // The user right-clicks the tray icon and picks the first menu item whose caption starts
  // with `caption` (the whole caption, or "Alarm [" for the alarm item whatever its state);
  // a test failure when there is none. Returns the exit code if that ended the process.
  std::optional<int> ChooseFromTrayMenu(const std::string& caption);
  // The user clicks the notification-area icon, as the shell reports it to the window that
  // added it; nothing happens when no icon is shown. Runs what is waiting; returns the
  // exit code if that ended the process.
  std::optional<int> ClickTrayIcon(ui::TrayEvent event = ui::TrayEvent::LeftClick);
  // The shell's process restarts: the notification area comes back empty and the shell
  // broadcasts "TaskbarCreated".
  void RestartShell();
  std::optional<int> ExitCode() const { return exitCode_; }

  platform::fake::FakeRegistry registry;
  platform::fake::FakeKernel kernel;
  platform::fake::FakeFileSystem files;
  platform::fake::FakeNotifyIcon notifyIcon;
  platform::fake::FakeMedia media;
  platform::fake::FakeWakeTimer wakeTimer;
  platform::fake::FakeAudioVolume volume;
  // The media's commands and the mixer's changes, in the order they came.
  std::vector<std::string> events;
  ui::headless::HeadlessBackend desktop;

 private:
  std::optional<int> Finish();
  bool started_ = false;
  std::optional<int> exitCode_;
  StartedProgram program_;
};
