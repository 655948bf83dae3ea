#pragma once
// What a windowing backend gives the component toolkit: native peers for forms and timers,
// the message loop, and the few desktop queries the program makes. ui/win32 implements it
// with user32/gdi32; ui/headless simulates a desktop in virtual time for tests.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ui/Geometry.h"

namespace ui {

class Control;
class Form;
class Control;
class ListBox;
class TreeView;
class Edit;
class OpenDialog;
class Timer;
class PopupMenu;
class Bitmap;
struct Font;

// One display: its whole area and the part not taken by taskbars, in screen pixels (the
// primary display's top-left corner is 0, 0; others may lie at negative coordinates), and the
// pixels per inch its scaling gives (96 at 100 %, 144 at 150 %).
struct Monitor {
  Rect bounds;
  Rect workArea;
  bool primary = false;
  int dpi = 96;
  friend bool operator==(const Monitor&, const Monitor&) = default;
};

// The scale, in percent, that a DPI asks for: 100 to 500 in steps of 25, as the display
// settings offer them.
int ScaleForDpi(int dpi);
inline int MonitorScale(const Monitor& monitor) { return ScaleForDpi(monitor.dpi); }

// What the user did to a notification-area icon, as the backend decodes the shell's
// callback message for the form that owns the icon.
enum class TrayEvent { LeftClick, RightClick, DoubleClick };

// The callback message a form's notification-area icon is registered with (WM_USER + 1).
constexpr unsigned kTrayCallbackMessage = 0x0400 + 1;

// A key going down on a window (WM_KEYDOWN, WM_SYSKEYDOWN): its Win32 virtual-key code, and
// whether the keyboard repeats a key held down (bit 30 of lParam: it was down already).
// Shift is whether a Shift key was down with it.
struct KeyStroke {
  unsigned key = 0;
  bool repeat = false;
  bool shift = false;
};

// Virtual-key codes the program acts on.
constexpr unsigned kVkTab = 0x09;
constexpr unsigned kVkReturn = 0x0D;
constexpr unsigned kVkShift = 0x10;
constexpr unsigned kVkEscape = 0x1B;
constexpr unsigned kVkSpace = 0x20;
constexpr unsigned kVkLeftArrow = 0x25;
constexpr unsigned kVkUpArrow = 0x26;
constexpr unsigned kVkRightArrow = 0x27;
constexpr unsigned kVkDownArrow = 0x28;
constexpr unsigned kVkApps = 0x5D;  // the context-menu key
constexpr unsigned kVkF10 = 0x79;

class FormPeer {
 public:
  virtual ~FormPeer() = default;
  virtual void SetBounds(int left, int top, int width, int height) = 0;
  virtual void SetVisible(bool visible) = 0;
  virtual void SetCaption(const std::string& caption) = 0;
  virtual void Invalidate() = 0;
  // Only this part of the client area needs painting.
  virtual void InvalidatePart(Rect part) { Invalidate(); }
  virtual void SetCapture() = 0;
  virtual void ReleaseCapture() = 0;
  // WM_SYSCOMMAND with SC_MOVE | HTCAPTION (61458): the system drags the window while the
  // button is held.
  virtual void BeginSystemMove() = 0;
  virtual void Activate() = 0;
  // The window itself takes the keyboard from a native child control of it.
  virtual void TakeKeyboard() {}
  virtual void PostMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) = 0;
  // The native window handle, 0 where there is none.
  virtual std::uintptr_t NativeHandle() const = 0;
  // The keyboard focus moved to a control of the form.
  virtual void FocusMoved(const Control&) {}
};

class TimerPeer {
 public:
  virtual ~TimerPeer() = default;
  virtual void Update(bool enabled, unsigned intervalMs) = 0;
};

// A native list box of texts with several items selectable (extended selection).
class ListBoxPeer {
 public:
  virtual ~ListBoxPeer() = default;
  virtual void Place(Rect bounds, bool visible) = 0;
  // Text and item heights at the form's scale (percent).
  virtual void SetScale(int scale) {}
  virtual void Add(const std::string& text) = 0;
  virtual void Delete(int index) = 0;
  virtual void Clear() = 0;
  virtual bool Selected(int index) = 0;
  virtual void SetSelected(int index, bool selected) = 0;
  virtual int SelCount() = 0;
  virtual void Focus() = 0;
  virtual void SetUpdating(bool updating) = 0;
};

// A native single-line text field. The text is UTF-8 (the process's code page).
class EditPeer {
 public:
  virtual ~EditPeer() = default;
  virtual void Place(Rect bounds, bool visible) = 0;
  virtual void SetScale(int scale) {}
  virtual void SetText(const std::string& text) = 0;
  virtual std::string Text() = 0;
  virtual void SetMaxLength(int chars) {}
  virtual void Focus() = 0;
};

// A native tree of captioned nodes with an image list; the expand button of a node is
// shown from its has-children mark before its children exist.
class TreeViewPeer {
 public:
  using NodeId = std::uintptr_t;  // 0: none (the root, or no selection)
  virtual ~TreeViewPeer() = default;
  virtual void Place(Rect bounds, bool visible) = 0;
  // Text and images at the form's scale (percent).
  virtual void SetScale(int scale) {}
  // Images of equal size; pixels of the key colour are drawn transparent.
  virtual void SetImages(const std::vector<std::shared_ptr<const Bitmap>>& images, std::uint32_t key) = 0;
  virtual NodeId Add(NodeId parent, const std::string& caption, int image, int selectedImage, bool hasChildren) = 0;
  virtual void DeleteChildren(NodeId node) = 0;
  virtual void SetHasChildren(NodeId node, bool hasChildren) = 0;
  virtual NodeId Selected() = 0;
  virtual void Select(NodeId node) = 0;
  virtual void SetUpdating(bool updating) = 0;
  virtual void Focus() = 0;
};

// What the common open-file dialog came back with.
struct OpenDialogResult {
  // The full paths of the picked files, the one the dialog reports as its file name first;
  // none when the user cancelled.
  std::vector<std::string> files;
  // The names picked did not fit the buffer (FNERR_BUFFERTOOSMALL): the dialog has closed
  // and the choice is lost. `neededChars` is the size the system asked for, which it can
  // tell only below 64 K characters (0: not told).
  bool bufferTooSmall = false;
  std::size_t neededChars = 0;
};

// System message box flags and results, with their Win32 values.
constexpr unsigned kMbOk = 0x0;
constexpr unsigned kMbIconError = 0x10;
constexpr unsigned kMbIconInformation = 0x40;
constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;

// The system's colours the program draws in when high contrast is on (GetSysColor's
// COLOR_WINDOW, COLOR_WINDOWTEXT, COLOR_HIGHLIGHT, COLOR_HOTLIGHT).
enum class SystemColour { Window, WindowText, Highlight, HotLight };

class Backend {
 public:
  virtual ~Backend() = default;
  virtual std::unique_ptr<FormPeer> CreateFormPeer(Form& form) = 0;
  virtual std::unique_ptr<TimerPeer> CreateTimerPeer(Timer& timer) = 0;
  virtual std::unique_ptr<ListBoxPeer> CreateListBoxPeer(ListBox& list, Form& owner) = 0;
  virtual std::unique_ptr<TreeViewPeer> CreateTreeViewPeer(TreeView& tree, Form& owner) = 0;
  // None: the field keeps its text itself and shows it drawn.
  virtual std::unique_ptr<EditPeer> CreateEditPeer(Edit& edit, Form& owner) { return nullptr; }
  // The common open-file dialog, modal, with room for `bufferChars` characters of names.
  virtual OpenDialogResult RunOpenDialog(const OpenDialog& dialog, std::size_t bufferChars) = 0;
  // The wait cursor over the program's windows while a long piece of work runs.
  virtual void SetBusy(bool busy) = 0;
  // Waits for the next message and dispatches it.
  virtual void HandleMessage() = 0;
  // Dispatches every message already waiting, without waiting for more.
  virtual void ProcessMessages() = 0;
  // Shows the form and runs messages until its modal result is set (Form::EndModal) or
  // the application ends, then hides it; returns the result.
  virtual int RunModal(Form& form) = 0;
  virtual void SetApplicationTitle(const std::string& title) = 0;
  // The system message box, owned by the application window.
  virtual int MessageBox(const std::string& text, const std::string& caption, unsigned flags) = 0;
  virtual Point CursorPos() = 0;
  // The primary display's size (SM_CXSCREEN, SM_CYSCREEN).
  virtual Size ScreenSize() = 0;
  // The bounding size of all displays (SM_CXVIRTUALSCREEN, SM_CYVIRTUALSCREEN).
  virtual Size VirtualScreenSize() = 0;
  // The display holding the largest part of the rectangle; when it lies on none, the one
  // nearest to it (nearest) or nothing.
  virtual std::optional<Monitor> MonitorFromRect(Rect r, bool nearest) = 0;
  virtual Monitor PrimaryMonitor() = 0;
  // Whether a full-screen program (a video, a game, a presentation) is in front on the display.
  virtual bool FullScreenProgramOn(const Monitor& monitor) = 0;
  // Pops up the menu with its top-left corner at the screen point; returns when it closed.
  virtual void PopupMenu(ui::PopupMenu& menu, Point at, Form& owner) = 0;
  // Adds the tool-window style to the application window (no taskbar button).
  virtual void HideApplicationButton() = 0;
  // One line of text: its size, and drawn onto a surface within a rectangle (clipped),
  // transparent background.
  virtual Size MeasureText(const std::string& text, const Font& font) = 0;
  virtual void DrawText(Bitmap& surface, Rect where, const std::string& text, const Font& font,
                        std::uint32_t colour) = 0;
  // Windows' high-contrast mode (SPI_GETHIGHCONTRAST) is on, and the system's colours.
  virtual bool HighContrast() { return false; }
  virtual std::uint32_t SystemColourOf(SystemColour which) = 0;
};

}  // namespace ui
