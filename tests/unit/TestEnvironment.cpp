#include "TestEnvironment.h"

#include <gtest/gtest.h>

#include "app/Globals.h"
#include "shell/main.h"

TestEnvironment::TestEnvironment() {
  kernel.moduleFileName = std::string(kProgramDir) + "Ravilo.exe";
  kernel.virtualMs = [this] { return desktop.Now(); };
  files.currentDirectory = [this] { return kernel.currentDirectory; };
  files.Mount(kProgramDir, std::string(RAVILO_SOURCE_DIR) + "/data");
  // Sound devices play in virtual time and report to the window named by its handle.
  media.now = [this] { return desktop.Now(); };
  media.postLater = [this](std::int64_t delayMs, std::function<void()> action) {
    desktop.PostAfter(delayMs, std::move(action));
  };
  media.hold = [this](std::int64_t ms) { desktop.Suspend(ms); };
  media.postMessage = [this](std::uintptr_t window, unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
    if (ui::Form* form = desktop.FormByHandle(window)) form->PostMessage(message, wParam, lParam);
  };
  media.events = &events;
  volume.events = &events;
  platform::Install({&registry, &kernel, &files, &media, &notifyIcon, &wakeTimer, &volume});
  ui::Application::Instance().Initialize(desktop);
  SetRandomSource({});
}

TestEnvironment::~TestEnvironment() {
  if (Running()) {
    // Tear the program down as the process end would, so globals are clear for the next test.
    try {
      ui::Application::Instance().DestroyForms();
    } catch (...) {
    }
  }
  SetRandomSource({});
}

std::optional<int> TestEnvironment::Start() {
  try {
    program_ = StartRavilo();
    started_ = true;
  } catch (const platform::ProcessExit& e) {
    exitCode_ = e.code;
    return exitCode_;
  }
  // A damaged start ends the loop at its first turn.
  if (ui::Application::Instance().Terminated()) return Finish();
  return std::nullopt;
}

std::optional<int> TestEnvironment::Finish() {
  try {
    FinishRavilo(program_);
  } catch (const platform::ProcessExit& e) {
    exitCode_ = e.code;
  }
  return exitCode_;
}

std::optional<int> TestEnvironment::Do(const std::function<void()>& fn) {
  if (!Running()) return exitCode_;
  try {
    fn();
  } catch (const platform::ProcessExit& e) {
    exitCode_ = e.code;
    return exitCode_;
  }
  if (ui::Application::Instance().Terminated()) return Finish();
  return std::nullopt;
}

std::optional<int> TestEnvironment::RunFor(std::int64_t ms) {
  return Do([&] { desktop.RunFor(ms); });
}

std::optional<int> TestEnvironment::ChooseFromTrayMenu(const std::string& caption) {
  desktop.MenuChooser = [caption](const ui::headless::RecordedMenu& menu) {
    for (std::size_t i = 0; i < menu.captions.size(); ++i)
      if (menu.captions[i].rfind(caption, 0) == 0) return int(i);
    ADD_FAILURE() << "no tray menu item " << caption;
    return -1;
  };
  return ClickTrayIcon(ui::TrayEvent::RightClick);
}

std::optional<int> TestEnvironment::ClickTrayIcon(ui::TrayEvent event) {
  return Do([&] {
    if (notifyIcon.shown) desktop.RaiseTrayEvent(notifyIcon.shownRecord.window, event);
    desktop.ProcessMessages();
  });
}

void TestEnvironment::RestartShell() {
  notifyIcon.EndShell();
  notifyIcon.taskbarPresent = true;
  desktop.BroadcastTaskbarCreated();
}
