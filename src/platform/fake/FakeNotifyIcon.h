#pragma once
// The notification area for tests: icons "load" from files that exist in the fake file
// system, and the shell calls are recorded with the icon that is shown.
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/NotifyIcon.h"

namespace platform::fake {

class FakeNotifyIcon : public NotifyIcon {
 public:
  IconHandle LoadIconFile(const std::string& path, int dpi) override;
  void DestroyIcon(IconHandle icon) override;
  bool ShellNotifyIcon(std::uint32_t message, const NotifyIconData& data) override;
  bool ShowBalloon(const NotifyIconData& data, const std::string& title, const std::string& text) override;

  struct Call {
    std::uint32_t message;
    NotifyIconData data;
  };
  std::vector<Call> calls;
  std::function<void(const Call&)> onCall;  // runs at each shell call
  bool shown = false;           // an icon is in the notification area
  std::string shownIconFile;    // the file of the icon it shows
  int shownIconDpi = 0;         // the DPI that icon was loaded for
  NotifyIconData shownRecord;   // the record it was added or last modified with
  // While false there is no taskbar (the shell has not started yet, or its process ended):
  // every call fails.
  bool taskbarPresent = true;
  // The shell's process ended: the notification area and its icons are gone.
  void EndShell();
  int Adds() const;
  std::map<IconHandle, std::string> loaded;  // icons not yet destroyed
  std::map<IconHandle, int> loadedDpi;       // the DPI each was loaded for
  struct Balloon {
    std::string title, text;
  };
  std::vector<Balloon> balloons;  // every balloon shown over the icon

 private:
  IconHandle next_ = 0x500;
};

}  // namespace platform::fake
