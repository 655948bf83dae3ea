// What the test answers for the user on the simulated desktop: open-file dialogs, message
// boxes and popup menus.
#include "ui/OpenDialog.h"
#include "ui/PopupMenu.h"
#include "ui/headless/HeadlessBackend.h"

namespace ui::headless {

namespace {
// The characters the system needs to hand back these names: one file as its full path;
// several as their folder, then each name, each ended by a zero, then one zero more.
std::size_t PackedChars(const std::vector<std::string>& files) {
  if (files.size() == 1) return files[0].size() + 1;
  std::size_t chars = 1;
  for (const std::string& f : files) {
    const std::size_t slash = f.rfind('\\');
    chars += (slash == std::string::npos ? f.size() : f.size() - slash - 1) + 1;
  }
  const std::size_t slash = files[0].rfind('\\');
  return chars + (slash == std::string::npos ? 0 : slash) + 1;
}
}  // namespace

OpenDialogResult HeadlessBackend::RunOpenDialog(const OpenDialog& d, std::size_t bufferChars) {
  openDialogCalls_.push_back({d.Title, d.Filter, d.InitialDir, d.MultiSelect, d.HideReadOnly, d.PathMustExist,
                              d.FileMustExist, bufferChars});
  auto picked = OpenDialogAnswer ? OpenDialogAnswer(openDialogCalls_.back()) : std::nullopt;
  OpenDialogResult result;
  if (!picked || picked->empty()) return result;
  if (const std::size_t needed = PackedChars(*picked); needed > bufferChars) {
    result.bufferTooSmall = true;
    result.neededChars = needed & 0xFFFF;
    return result;
  }
  result.files = std::move(*picked);
  return result;
}

int HeadlessBackend::MessageBox(const std::string& text, const std::string& caption, unsigned flags) {
  boxes_.push_back({text, caption, flags});
  if (OnMessageBox) OnMessageBox(boxes_.back());
  return kIdOk;
}

void HeadlessBackend::PopupMenu(ui::PopupMenu& menu, Point at, Form& owner) {
  // A menu closes on a click elsewhere only if its owner is in the foreground.
  if (HeadlessFormPeer* peer = PeerOf(owner); peer && peer != active_) {
    activeBeforeMenu_ = active_;
    ActivatePeer(peer);
  }
  RecordedMenu shown;
  shown.at = at;
  for (int i = 0; i < menu.Count(); ++i) {
    if (!menu.Item(i).Visible()) continue;
    shown.captions.push_back(menu.Item(i).Caption());
    shown.checked.push_back(menu.Item(i).Checked());
    shown.items.push_back(i);
  }
  menus_.push_back(shown);
  const int choice = MenuChooser ? MenuChooser(menus_.back()) : -1;
  // As with TrackPopupMenu, the chosen command arrives after the menu has closed.
  if (choice >= 0 && choice < int(shown.items.size())) {
    ui::PopupMenu* m = &menu;
    const int item = shown.items[std::size_t(choice)];
    Post([m, item] { m->Click(item); });
  }
}

}  // namespace ui::headless
