// The Windows entry point: installs the Windows services and toolkit, then runs Ravilo.
#include "platform/win32/WinHeaders.h"

#include "app/Program.h"
#include "platform/win32/Win32AudioVolume.h"
#include "platform/win32/Win32Media.h"
#include "platform/win32/Win32NotifyIcon.h"
#include "platform/win32/Win32Platform.h"
#include "platform/win32/Win32WakeTimer.h"
#include "ui/Application.h"
#include "ui/win32/Win32Backend.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  static platform::win32::Win32Registry registry;
  static platform::win32::Win32Kernel kernel;
  static platform::win32::Win32FileSystem files;
  static platform::win32::Win32Media media;
  static platform::win32::Win32NotifyIcon notifyIcon;
  // Closed with the process, which also cancels it.
  static platform::win32::Win32WakeTimer wakeTimer;
  static platform::win32::Win32AudioVolume volume;
  platform::Install({&registry, &kernel, &files, &media, &notifyIcon, &wakeTimer, &volume});
  static ui::win32::Win32Backend backend(instance);
  ui::Application::Instance().Initialize(backend);
  RunRavilo();
}
