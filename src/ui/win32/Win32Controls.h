#pragma once
// The native child controls of the forms: a LISTBOX with extended selection and a
// SysTreeView32 with an image list. Their parent form routes WM_COMMAND and WM_NOTIFY to
// them; Enter and Esc typed into them go to the form's key handler.
#include "platform/win32/WinHeaders.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ui/Backend.h"

namespace ui::win32 {

class Win32ChildPeer {
 public:
  virtual ~Win32ChildPeer() = default;
  virtual void Command(unsigned code) {}
  virtual LRESULT Notify(NMHDR* header) { return 0; }
  // The control got the keyboard (a click on it, too).
  virtual void GotFocus() {}
  // The peer of a child window made here, or nullptr.
  static Win32ChildPeer* Of(HWND child);
};

std::unique_ptr<ListBoxPeer> MakeListBoxPeer(ListBox& list, Form& owner, HINSTANCE instance);
std::unique_ptr<EditPeer> MakeEditPeer(Edit& edit, Form& owner, HINSTANCE instance);
std::unique_ptr<TreeViewPeer> MakeTreeViewPeer(TreeView& tree, Form& owner, HINSTANCE instance);
OpenDialogResult RunOpenFileDialog(const OpenDialog& dialog, HWND owner, std::size_t bufferChars);

// A GDI font made once per face and height.
HFONT FontHandle(const Font& font);

}  // namespace ui::win32
