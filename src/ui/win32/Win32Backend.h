#pragma once
// The toolkit on user32/gdi32: every form is a borderless popup window owned by a hidden
// application window (so none has a taskbar button of its own), layered with the purple
// colour key and painted from the form's composed surface.
#include "platform/win32/WinHeaders.h"
#undef DrawText

#include "ui/Backend.h"

namespace ui::win32 {

// The header of a top-down 32-bit DIB of that size: the layout of ui::Bitmap's pixels.
inline BITMAPINFO TopDownDib(int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

class Win32Backend : public Backend {
 public:
  explicit Win32Backend(HINSTANCE instance);
  ~Win32Backend() override;

  std::unique_ptr<FormPeer> CreateFormPeer(Form& form) override;
  std::unique_ptr<TimerPeer> CreateTimerPeer(Timer& timer) override;
  std::unique_ptr<ListBoxPeer> CreateListBoxPeer(ListBox& list, Form& owner) override;
  std::unique_ptr<EditPeer> CreateEditPeer(Edit& edit, Form& owner) override;
  std::unique_ptr<TreeViewPeer> CreateTreeViewPeer(TreeView& tree, Form& owner) override;
  OpenDialogResult RunOpenDialog(const OpenDialog& dialog, std::size_t bufferChars) override;
  void SetBusy(bool busy) override;
  void HandleMessage() override;
  void ProcessMessages() override;
  int RunModal(Form& form) override;
  void SetApplicationTitle(const std::string& title) override;
  int MessageBox(const std::string& text, const std::string& caption, unsigned flags) override;
  Point CursorPos() override;
  Size ScreenSize() override;
  Size VirtualScreenSize() override;
  std::optional<Monitor> MonitorFromRect(Rect r, bool nearest) override;
  Monitor PrimaryMonitor() override;
  bool FullScreenProgramOn(const Monitor& monitor) override;
  void PopupMenu(ui::PopupMenu& menu, Point at, Form& owner) override;
  void HideApplicationButton() override;
  Size MeasureText(const std::string& text, const Font& font) override;
  void DrawText(Bitmap& surface, Rect where, const std::string& text, const Font& font,
                std::uint32_t colour) override;
  bool HighContrast() override;
  std::uint32_t SystemColourOf(SystemColour which) override;

  HINSTANCE Instance() const { return instance_; }
  HWND AppWindow() const { return appWindow_; }

 private:
  void Dispatch(MSG& msg);
  HINSTANCE instance_;
  HWND appWindow_ = nullptr;
};

// The hidden application window (owner of every form and of the system message boxes).
HWND ApplicationWindow();

// A timer's handler, with what it invalidates drawn straight after it (Win32Backend.cpp).
void RunTimerHandler(Timer& timer);
// A timer on SetTimer (Win32Timer.cpp).
std::unique_ptr<TimerPeer> MakeTimerPeer(Timer& timer);

// The window class of every form.
inline constexpr char kFormClass[] = "RaviloForm";

// Before a popup menu makes its owner the foreground window: what was in front till then,
// where a window opened from the menu gives the keyboard back when it closes.
void NoteForegroundBeforeMenu(HWND owner);
// A topmost form of this program (the pet).
bool TopMostForm(HWND hwnd);
// The foreground window a form shown now takes the keyboard from: not the pet, which has it
// only because the tray menu was opened over it, but what had it before that menu.
HWND ForegroundBeforeShow();

// Posted to a form after its popup menu closed, carrying the chosen item.
constexpr UINT kMenuCommand = WM_APP + 7;

}  // namespace ui::win32
