#include "ui/win32/Win32Backend.h"

#include <windowsx.h>
#include <commctrl.h>

#include <algorithm>
#include <exception>
#include <optional>
#include <vector>

#include "ui/Application.h"
#include "ui/Form.h"
#include "ui/Label.h"
#include "ui/PopupMenu.h"
#include "ui/Timer.h"
#include "ui/win32/Win32Accessible.h"
#include "ui/win32/Win32Controls.h"
#include "ui/win32/Win32Decode.h"

namespace ui::win32 {
namespace {

constexpr char kAppClass[] = "RaviloApplication";
constexpr COLORREF kKey = RGB(128, 0, 128);

HWND g_appWindow = nullptr;
// The wait cursor shows over every form while a long piece of work runs.
bool g_busy = false;

constexpr UINT kDpiChanged = 0x02E0;        // WM_DPICHANGED
constexpr UINT kGetDpiScaledSize = 0x02E4;  // WM_GETDPISCALEDSIZE

// Broadcast by the shell when its taskbar has been created (again): icons must be re-added.
// 0 when it could not be registered.
UINT TaskbarCreatedMessage() {
  static const UINT message = RegisterWindowMessageA("TaskbarCreated");
  return message;
}

Rect RectOf(const RECT& r) { return {r.left, r.top, r.right - r.left, r.bottom - r.top}; }
RECT RectOf(const Rect& r) { return {r.left, r.top, r.left + r.width, r.top + r.height}; }

class Win32FormPeer;

// While a timer's handler runs, what it invalidates on visible forms is drawn straight after
// the handler returns, through the window's DC, instead of by a WM_PAINT. The movie's frames
// and the eyes change 10 to 30 times a second; under Wine 8 each WM_PAINT costs six server
// round trips more (the invalidation, the message, BeginPaint's caret and update-region
// calls), about a third of the program's CPU while idle. Windows is no worse for it.
bool g_inTimer = false;
std::vector<Win32FormPeer*> g_pendingPaints;

Win32FormPeer* PeerOf(HWND hwnd) {
  return reinterpret_cast<Win32FormPeer*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}

// Runs a handler so that nothing unwinds through user32's frames.
template <class F>
void Guarded(F&& f) {
  try {
    Application::Instance().Dispatch(f);
  } catch (...) {
  }
}

class Win32FormPeer : public FormPeer {
 public:
  Win32FormPeer(Win32Backend& backend, Form& form) : form_(form) {
    DWORD ex = WS_EX_LAYERED;
    if (form.TopMost()) ex |= WS_EX_TOPMOST;
    hwnd_ = CreateWindowExA(ex, kFormClass, form.Caption().c_str(), WS_POPUP | WS_CLIPCHILDREN, form.Left(),
                            form.Top(), form.Width(), form.Height(), backend.AppWindow(), nullptr, backend.Instance(),
                            nullptr);
    SetWindowLongPtrA(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetLayeredWindowAttributes(hwnd_, kKey, 0, LWA_COLORKEY);
  }
  ~Win32FormPeer() override {
    std::erase(g_pendingPaints, this);
    if (!hwnd_) return;
    SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
  }
  Form& GetForm() const { return form_; }

  void SetBounds(int left, int top, int width, int height) override {
    SetWindowPos(hwnd_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  void SetVisible(bool visible) override {
    if (visible) {
      if (!IsWindowVisible(hwnd_)) before_ = ForegroundBeforeShow();
      // The pet stands over other programs' windows and comes back by itself (after a
      // full-screen program, for a ring): it must never take their keyboard.
      ShowWindow(hwnd_, form_.TopMost() ? SW_SHOWNOACTIVATE : SW_SHOW);
      if (form_.TopMost()) SetWindowPos(hwnd_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    } else {
      const bool active = GetForegroundWindow() == hwnd_;
      ShowWindow(hwnd_, SW_HIDE);
      if (active && !form_.TopMost()) HandBackKeyboard();
    }
  }
  void SetCaption(const std::string& caption) override { SetWindowTextA(hwnd_, caption.c_str()); }
  void Invalidate() override {
    RECT r{};
    if (hwnd_ && GetClientRect(hwnd_, &r)) InvalidatePart(RectOf(r));
  }
  void InvalidatePart(Rect part) override {
    if (!hwnd_) return;
    if (g_inTimer && IsWindowVisible(hwnd_)) {
      if (pending_.Empty()) g_pendingPaints.push_back(this);
      pending_ = Union(pending_, part);
      return;
    }
    const RECT r = RectOf(part);
    InvalidateRect(hwnd_, &r, FALSE);
  }
  // Draws what a timer's handler left to be drawn; a window hidden meanwhile, or one whose
  // DC can't be had, gets it by the usual WM_PAINT.
  void PaintPending() {
    const Rect part = pending_;
    pending_ = {};
    if (part.Empty() || !hwnd_) return;
    const RECT r = RectOf(part);
    HDC dc = IsWindowVisible(hwnd_) ? GetDC(hwnd_) : nullptr;
    if (!dc) {
      InvalidateRect(hwnd_, &r, FALSE);
      return;
    }
    Guarded([&] { Paint(dc, r); });
    ReleaseDC(hwnd_, dc);
  }
  void SetCapture() override { ::SetCapture(hwnd_); }
  void ReleaseCapture() override {
    if (::GetCapture() == hwnd_) ::ReleaseCapture();
  }
  void BeginSystemMove() override { SendMessageA(hwnd_, WM_SYSCOMMAND, 61458, 0); }
  void Activate() override { SetForegroundWindow(hwnd_); }
  void TakeKeyboard() override {
    // Also from a child that has the keyboard (Wine 8 without a window manager may not
    // report the window as the foreground one then).
    const HWND focus = GetFocus();
    if (focus != hwnd_ && (GetForegroundWindow() == hwnd_ || (focus && IsChild(hwnd_, focus)))) ::SetFocus(hwnd_);
  }
  void PostMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) override {
    ::PostMessageA(hwnd_, message, wParam, lParam);
  }
  std::uintptr_t NativeHandle() const override { return reinterpret_cast<std::uintptr_t>(hwnd_); }
  void FocusMoved(const Control& c) override { AccessibleRoot::FocusMoved(hwnd_, form_, c); }

  LRESULT Handle(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
      case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd_, &ps);
        Guarded([&] { Paint(dc, ps.rcPaint); });
        EndPaint(hwnd_, &ps);
        return 0;
      }
      case WM_ERASEBKGND:
        return 1;
      case WM_MOUSEWHEEL:
        Guarded([&] { form_.HandleMouseWheel(GET_WHEEL_DELTA_WPARAM(wParam)); });
        return 0;
      case WM_LBUTTONDOWN:
      case WM_RBUTTONDOWN:
      case WM_MBUTTONDOWN:
      case WM_LBUTTONDBLCLK:
      case WM_RBUTTONDBLCLK:
      case WM_MBUTTONDBLCLK: {
        const UINT down = msg == WM_LBUTTONDBLCLK ? WM_LBUTTONDOWN
                          : msg == WM_RBUTTONDBLCLK ? WM_RBUTTONDOWN
                          : msg == WM_MBUTTONDBLCLK ? WM_MBUTTONDOWN
                                                    : msg;
        const int x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
        Guarded([&] { form_.HandleMouseDown(ButtonOf(down), x, y); });
        return 0;
      }
      case WM_LBUTTONUP:
      case WM_RBUTTONUP:
      case WM_MBUTTONUP: {
        const int x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
        Guarded([&] { form_.HandleMouseUp(ButtonOf(msg), x, y); });
        return 0;
      }
      case WM_KEYDOWN:
      case WM_SYSKEYDOWN: {
        const KeyStroke stroke = DecodeKeyDown(wParam, lParam);
        Guarded([&] { form_.HandleKeyDown(stroke); });
        break;
      }
      case WM_KEYUP:
      case WM_SYSKEYUP:
        Guarded([&] { form_.HandleKeyUp(Key(wParam)); });
        break;
      case WM_CHAR:
        Guarded([&] { form_.HandleKeyPress(char(wParam)); });
        return 0;
      case WM_CLOSE:
        // The form decides; a refused or allowed close never destroys the window itself.
        Guarded([&] { form_.HandleCloseRequest(); });
        return 0;
      case WM_QUERYENDSESSION: {
        bool allowed = true;
        Guarded([&] { allowed = form_.HandleEndSessionQuery(); });
        return allowed;
      }
      case WM_ENDSESSION: {
        const bool ending = wParam != FALSE;
        Guarded([&] { form_.HandleEndSession(ending); });
        return 0;
      }
      case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE)
          Guarded([&] {
            form_.HandleFocusLost();
            form_.HandleCaptureLost();
          });
        break;
      case WM_CAPTURECHANGED:
        // Sent to the window losing the mouse; lParam names the one that takes it, which is
        // this one itself when a press here captures it again.
        if (reinterpret_cast<HWND>(lParam) != hwnd_) Guarded([&] { form_.HandleCaptureLost(); });
        return 0;
      case WM_CANCELMODE:
        // The system cancels mouse modes (a system dialog, the secure desktop); DefWindowProc
        // then releases the capture.
        Guarded([&] { form_.HandleCaptureLost(); });
        break;
      case WM_KILLFOCUS:
        Guarded([&] { form_.HandleFocusLost(); });
        break;
      case WM_DESTROY: {
        // Our own release clears the window's peer first, so this is a window destroyed
        // from outside (its owner went, or the system took it): the form learns that it
        // has none any more.
        SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
        hwnd_ = nullptr;
        Guarded([&] { form_.HandleWindowDestroyed(); });
        return 0;
      }
      case WM_POWERBROADCAST:
        // Windows sends the automatic resume at every wake, and the suspend resume as well
        // when a user is there; either may be the first sign of the wake.
        if (wParam == PBT_APMRESUMEAUTOMATIC || wParam == PBT_APMRESUMESUSPEND)
          Guarded([&] { form_.HandlePowerResume(); });
        return TRUE;
      case WM_TIMECHANGE:
        Guarded([&] { form_.HandleTimeChange(); });
        return 0;
      case WM_GETOBJECT:
        if (const auto answer = access_.Answer(hwnd_, form_, wParam, lParam)) return *answer;
        break;
      case WM_SYSCOLORCHANGE:
      case WM_SETTINGCHANGE:  // high contrast switched (SPI_SETHIGHCONTRAST) comes as this
        Guarded([&] { form_.HandleColoursChanged(); });
        break;
      case WM_MOVE: {
        RECT r;
        GetWindowRect(hwnd_, &r);
        form_.HandleMoved(r.left, r.top);
        return 0;
      }
      case WM_COMMAND:
        if (auto* child = Win32ChildPeer::Of(reinterpret_cast<HWND>(lParam))) {
          Guarded([&] { child->Command(HIWORD(wParam)); });
          return 0;
        }
        break;
      case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        LRESULT result = 0;
        if (auto* child = header ? Win32ChildPeer::Of(header->hwndFrom) : nullptr) {
          Guarded([&] { result = child->Notify(header); });
          return result;
        }
        break;
      }
      case WM_SETFOCUS: {
        // Given for a control drawn here (Tab from a text field to the hour), it stays here.
        if (const Control* f = form_.FocusedControl(); f && f->GetFocusKind() != FocusKind::Native) break;
        // Else, like a dialog, to the first list or tree; a text field only by Tab or a click.
        for (HWND child = GetWindow(hwnd_, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
          char cls[16] = {};
          GetClassNameA(child, cls, sizeof cls);
          if (!IsWindowVisible(child) || lstrcmpiA(cls, "Edit") == 0) continue;
          ::SetFocus(child);
          return 0;
        }
        break;
      }
      case WM_SETCURSOR: {
        // Only over the client area; a window disabled by a modal one gets HTERROR, which the
        // system answers (beep, the modal window flashes).
        if (LOWORD(lParam) != HTCLIENT) break;
        if (g_busy) {
          ::SetCursor(LoadCursor(nullptr, IDC_WAIT));
          return TRUE;
        }
        POINT p{};
        GetCursorPos(&p);
        ScreenToClient(hwnd_, &p);
        const bool hand = form_.CursorAt(p.x, p.y) == Cursor::Hand;
        ::SetCursor(LoadCursor(nullptr, hand ? IDC_HAND : IDC_ARROW));
        return TRUE;
      }
      case kGetDpiScaledSize: {
        // Per-monitor v2: the system would scale the window linearly on a move to a display
        // of another scaling. The form tells the size it draws itself at there instead, so
        // the suggested rectangle of WM_DPICHANGED fits it exactly.
        Size size{};
        Guarded([&] { size = form_.ScreenSizeAtDpi(int(wParam)); });
        if (auto* s = reinterpret_cast<SIZE*>(lParam); s && size.width > 0) *s = SIZE{size.width, size.height};
        return TRUE;
      }
      case kDpiChanged: {
        const auto* suggested = reinterpret_cast<const RECT*>(lParam);
        if (!suggested) return 0;
        const Rect r{suggested->left, suggested->top, suggested->right - suggested->left,
                     suggested->bottom - suggested->top};
        Guarded([&] { form_.HandleDpiChanged(int(LOWORD(wParam)), r); });
        return 0;
      }
      case kTrayCallbackMessage:
        if (const auto event = DecodeTrayMouse(UINT(LOWORD(lParam))))
          Guarded([&] { form_.HandleTrayEvent(*event); });
        return 0;
      case kMenuCommand:
        if (auto* menu = reinterpret_cast<ui::PopupMenu*>(lParam)) menu->Click(int(wParam));
        return 0;
      default:
        if (msg == TaskbarCreatedMessage() && msg != 0) {
          Guarded([&] { form_.HandleTaskbarCreated(); });
          return 0;
        }
        if (msg >= WM_USER || msg == 0x3B9 /*MM_MCINOTIFY*/) {
          bool handled = false;
          Guarded([&] { handled = form_.HandleMessage(msg, wParam, lParam); });
          if (handled) return 0;
        }
        break;
    }
    return DefWindowProcA(hwnd_, msg, wParam, lParam);
  }

 private:
  // Copies only the rectangle to be painted: its rows are passed as a top-down DIB of their
  // own, so that the source's vertical origin is its first row whichever way GDI counts.
  void Paint(HDC dc, const RECT& paint) {
    const Bitmap& surface = form_.Compose();
    const Rect part = Intersect({int(paint.left), int(paint.top), int(paint.right - paint.left),
                                 int(paint.bottom - paint.top)},
                                {0, 0, surface.Width(), surface.Height()});
    if (part.Empty()) return;
    BITMAPINFO info = TopDownDib(surface.Width(), part.height);
    const std::uint32_t* rows = surface.Pixels().data() + std::size_t(part.top) * std::size_t(surface.Width());
    SetDIBitsToDevice(dc, part.left, part.top, DWORD(part.width), DWORD(part.height), part.left, 0, 0,
                      UINT(part.height), rows, &info, DIB_RGB_COLORS);
  }

  // Windows gives the keyboard of an active window that hides to the next window in z-order,
  // which is the topmost pet: Enter that closes a box would go on to the pet. It goes back
  // to the window that had it before this one was shown instead, when that is still there.
  void HandBackKeyboard() {
    if (!TopMostForm(GetForegroundWindow())) return;
    if (!before_ || before_ == hwnd_ || !IsWindow(before_) || !IsWindowVisible(before_) || TopMostForm(before_)) return;
    if (!SetForegroundWindow(before_)) OutputDebugStringA("Ravilo: SetForegroundWindow gave the keyboard back to no one\n");
  }

  Form& form_;
  HWND hwnd_ = nullptr;
  HWND before_ = nullptr;  // the foreground window when this one was last shown
  Rect pending_;           // to be drawn once the running timer handler returns
  AccessibleRoot access_;  // what screen readers are given of the client area
};

void PaintPendingForms() {
  std::vector<Win32FormPeer*> peers;
  peers.swap(g_pendingPaints);
  for (Win32FormPeer* peer : peers) peer->PaintPending();
}

// A message reaching a window while a timer's handler runs comes from a loop inside that
// handler (a message box, a menu) or from a call the handler made: what the handler left to
// draw is drawn now, and the message's own handler invalidates the usual way.
class OutsideTimer {
 public:
  OutsideTimer() : saved_(g_inTimer) {
    if (g_inTimer) PaintPendingForms();
    g_inTimer = false;
  }
  ~OutsideTimer() { g_inTimer = saved_; }
  OutsideTimer(const OutsideTimer&) = delete;
  OutsideTimer& operator=(const OutsideTimer&) = delete;

 private:
  bool saved_;
};

LRESULT CALLBACK FormProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  const OutsideTimer outside;
  if (Win32FormPeer* peer = PeerOf(hwnd)) return peer->Handle(msg, wParam, lParam);
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK AppProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  const OutsideTimer outside;
  if (msg == WM_CLOSE) {
    // DefWindowProc would destroy the application window and with it every form it owns,
    // leaving the process running with nothing on screen. A close request here is the
    // main form's to decide (taskkill without /F posts one to every top-level window).
    Guarded([] { Application::Instance().HandleCloseRequest(); });
    return 0;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

// Wine tells itself by an export of its ntdll.
bool RunningUnderWine() {
  static const bool wine = [] {
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
  }();
  return wine;
}
}  // namespace

// A timer may fire inside another's handler (in a message box's loop): each draws what is
// pending when it ends, the outer one's invalidations so far included.
void RunTimerHandler(Timer& timer) {
  const bool saved = g_inTimer;
  g_inTimer = true;
  try {
    timer.Fire();
  } catch (...) {
  }
  g_inTimer = saved;
  PaintPendingForms();
}

HWND ApplicationWindow() { return g_appWindow; }


Win32Backend::Win32Backend(HINSTANCE instance) : instance_(instance) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TREEVIEW_CLASSES | ICC_LISTVIEW_CLASSES};
  if (!InitCommonControlsEx(&controls)) OutputDebugStringA("Ravilo: InitCommonControlsEx failed\n");
  WNDCLASSA form{};
  form.style = CS_DBLCLKS;
  form.lpfnWndProc = FormProc;
  form.hInstance = instance;
  form.hCursor = LoadCursor(nullptr, IDC_ARROW);
  form.hIcon = LoadIconA(instance, "MAINICON");
  form.lpszClassName = kFormClass;
  RegisterClassA(&form);
  WNDCLASSA app{};
  app.lpfnWndProc = AppProc;
  app.hInstance = instance;
  app.hIcon = form.hIcon;
  app.lpszClassName = kAppClass;
  RegisterClassA(&app);
  // The application window: never shown, owner of every form.
  appWindow_ = CreateWindowExA(0, kAppClass, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance, nullptr);
  g_appWindow = appWindow_;
}

Win32Backend::~Win32Backend() {
  if (appWindow_) DestroyWindow(appWindow_);
  g_appWindow = nullptr;
}

std::unique_ptr<FormPeer> Win32Backend::CreateFormPeer(Form& form) {
  return std::make_unique<Win32FormPeer>(*this, form);
}

std::unique_ptr<TimerPeer> Win32Backend::CreateTimerPeer(Timer& timer) {
  return MakeTimerPeer(timer);
}

std::unique_ptr<ListBoxPeer> Win32Backend::CreateListBoxPeer(ListBox& list, Form& owner) {
  return MakeListBoxPeer(list, owner, instance_);
}

std::unique_ptr<EditPeer> Win32Backend::CreateEditPeer(Edit& edit, Form& owner) {
  return MakeEditPeer(edit, owner, instance_);
}

std::unique_ptr<TreeViewPeer> Win32Backend::CreateTreeViewPeer(TreeView& tree, Form& owner) {
  return MakeTreeViewPeer(tree, owner, instance_);
}

OpenDialogResult Win32Backend::RunOpenDialog(const OpenDialog& dialog, std::size_t bufferChars) {
  HWND owner = GetActiveWindow();
  return RunOpenFileDialog(dialog, owner ? owner : appWindow_, bufferChars);
}

void Win32Backend::SetBusy(bool busy) {
  g_busy = busy;
  ::SetCursor(LoadCursor(nullptr, busy ? IDC_WAIT : IDC_ARROW));
}

void Win32Backend::Dispatch(MSG& msg) {
  TranslateMessage(&msg);
  DispatchMessageA(&msg);
}

void Win32Backend::HandleMessage() {
  MSG msg;
  const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
  if (got == 0) {
    Application::Instance().Terminate();
    return;
  }
  if (got < 0) return;
  Dispatch(msg);
}

void Win32Backend::ProcessMessages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      Application::Instance().Terminate();
      return;
    }
    Dispatch(msg);
  }
}

int Win32Backend::RunModal(Form& form) {
  const HWND self = reinterpret_cast<HWND>(form.Peer() ? form.Peer()->NativeHandle() : 0);
  // The program's other shown, enabled windows take no input while the form is up.
  struct Others {
    HWND self;
    std::vector<HWND> disabled;
  } others{self, {}};
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND hwnd, LPARAM data) -> BOOL {
        auto* o = reinterpret_cast<Others*>(data);
        if (hwnd != o->self && IsWindowVisible(hwnd) && IsWindowEnabled(hwnd)) o->disabled.push_back(hwnd);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&others));
  // A form that must stay usable (the pet while it rings) is left enabled, and is asked
  // again at every message, since a ring can start while the form is up.
  const auto sync = [&others] {
    for (HWND hwnd : others.disabled) {
      Win32FormPeer* peer = PeerOf(hwnd);
      const bool takesInput = peer && peer->GetForm().TakesInputWhileModal();
      if (bool(IsWindowEnabled(hwnd)) != takesInput) EnableWindow(hwnd, takesInput ? TRUE : FALSE);
    }
  };
  sync();
  form.Show();
  // Under Wine (8.0) the window whose button opened the form is raised when the click's focus
  // events arrive, after the form is shown, and would cover it: there the form is topmost
  // while it is up. Windows keeps an owned, activated form above its owner without that.
  const bool raise = self && !form.TopMost() && RunningUnderWine();
  if (raise) SetWindowPos(self, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  if (self) SetForegroundWindow(self);
  auto& app = Application::Instance();
  MSG msg;
  while (form.ModalResult() == 0 && !app.Terminated()) {
    sync();
    const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
    if (got == 0) {
      // The outer loop must see the quit too.
      PostQuitMessage(int(msg.wParam));
      break;
    }
    if (got < 0) break;
    Dispatch(msg);
  }
  // Enabled again before the form hides, so that activation returns to one of them.
  for (HWND hwnd : others.disabled) EnableWindow(hwnd, TRUE);
  if (raise) SetWindowPos(self, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  form.Hide();
  return form.ModalResult();
}

}  // namespace ui::win32

