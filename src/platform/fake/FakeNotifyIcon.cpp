#include "platform/fake/FakeNotifyIcon.h"

#include "platform/Platform.h"

namespace platform::fake {

IconHandle FakeNotifyIcon::LoadIconFile(const std::string& path, int dpi) {
  const auto bytes = files().ReadAll(path);
  // An icon file starts with a reserved 0 and type 1.
  if (!bytes || bytes->size() < 6 || (*bytes)[0] != 0 || (*bytes)[2] != 1) return 0;
  const IconHandle h = next_++;
  loaded[h] = path;
  loadedDpi[h] = dpi;
  return h;
}

void FakeNotifyIcon::DestroyIcon(IconHandle icon) {
  loaded.erase(icon);
  loadedDpi.erase(icon);
}

bool FakeNotifyIcon::ShellNotifyIcon(std::uint32_t message, const NotifyIconData& data) {
  calls.push_back({message, data});
  if (onCall) onCall(calls.back());
  // As the shell: an icon is added once, and only an added icon is changed or deleted.
  if (!taskbarPresent) return false;
  const bool same = shown && shownRecord.window == data.window && shownRecord.id == data.id;
  if (message == kNimAdd ? shown : !same) return false;
  if (message == kNimDelete) {
    shown = false;
    shownIconFile.clear();
    shownIconDpi = 0;
    return true;
  }
  shown = true;
  shownRecord = data;
  auto it = loaded.find(data.icon);
  shownIconFile = it == loaded.end() ? "" : it->second;
  const auto dpi = loadedDpi.find(data.icon);
  shownIconDpi = dpi == loadedDpi.end() ? 0 : dpi->second;
  return true;
}

void FakeNotifyIcon::EndShell() {
  taskbarPresent = false;
  shown = false;
  shownIconFile.clear();
}

int FakeNotifyIcon::Adds() const {
  int n = 0;
  for (const Call& c : calls) n += c.message == kNimAdd;
  return n;
}

bool FakeNotifyIcon::ShowBalloon(const NotifyIconData& data, const std::string& title, const std::string& text) {
  // Like the shell, a balloon needs the icon to be there.
  if (!shown) return false;
  balloons.push_back({title, text});
  return true;
}

}  // namespace platform::fake
