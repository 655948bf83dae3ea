#include "ui/win32/Win32Controls.h"

#include <commctrl.h>
#include <cderr.h>
#include <commdlg.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "ui/Application.h"
#include "ui/Form.h"
#include "ui/Label.h"
#include "platform/win32/Utf8.h"
#include "ui/win32/Win32Backend.h"
#include "ui/win32/Win32Decode.h"
#include "ui/Edit.h"
#include "ui/ListBox.h"
#include "ui/OpenDialog.h"
#include "ui/Rescale.h"
#include "ui/TreeView.h"

namespace ui::win32 {
namespace {

constexpr char kPeerProperty[] = "RaviloControl";

HWND ParentOf(Form& owner) { return reinterpret_cast<HWND>(owner.Peer() ? owner.Peer()->NativeHandle() : 0); }

void LogFailure(const char* what) {
  // Creation calls are checked; a failure is told to a debugger and the control stays empty.
  OutputDebugStringA(what);
}

// Enter and Esc typed into a control are the form's keys (OK and cancel), and Tab moves the
// form's focus on; everything else is the control's own (arrows, type-ahead).
LRESULT CALLBACK KeysToForm(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) {
  if (msg == WM_KEYDOWN && wParam == VK_TAB) {
    Form* form = reinterpret_cast<Form*>(data);
    const KeyStroke stroke = DecodeKeyDown(wParam, lParam);
    try {
      Application::Instance().Dispatch([&] { form->HandleKeyDown(stroke); });
    } catch (...) {
    }
    return 0;
  }
  if (msg == WM_CHAR && wParam == '\t') return 0;
  if (msg == WM_CHAR && (wParam == 13 || wParam == 27)) {
    Form* form = reinterpret_cast<Form*>(data);
    try {
      Application::Instance().Dispatch([&] { form->HandleKeyPress(char(wParam)); });
    } catch (...) {
    }
    return 0;
  }
  if (msg == WM_GETDLGCODE) return DLGC_WANTALLKEYS | DefSubclassProc(hwnd, msg, wParam, lParam);
  if (msg == WM_SETFOCUS)
    if (Win32ChildPeer* peer = Win32ChildPeer::Of(hwnd)) peer->GotFocus();
  return DefSubclassProc(hwnd, msg, wParam, lParam);
}

// A child window of the form, destroyed with the peer.
class ChildWindow {
 public:
  // The text is not shown: the system's accessible object names the control by it.
  ChildWindow(const char* cls, DWORD style, Form& owner, HINSTANCE instance, Win32ChildPeer* peer,
              const std::string& text) {
    Attach(CreateWindowExA(0, cls, text.c_str(), WS_CHILD | WS_TABSTOP | style, 0, 0, 10, 10, ParentOf(owner),
                           nullptr, instance, nullptr),
           owner, peer);
  }
  // A Unicode window (a text field, whose text may be in any script whatever the ANSI code
  // page).
  ChildWindow(const wchar_t* cls, DWORD exStyle, DWORD style, Form& owner, HINSTANCE instance, Win32ChildPeer* peer) {
    Attach(CreateWindowExW(exStyle, cls, L"", WS_CHILD | WS_TABSTOP | style, 0, 0, 10, 10, ParentOf(owner), nullptr,
                           instance, nullptr),
           owner, peer);
  }
  ~ChildWindow() {
    if (!hwnd_) return;
    RemoveWindowSubclass(hwnd_, KeysToForm, 1);
    RemovePropA(hwnd_, kPeerProperty);
    DestroyWindow(hwnd_);
  }
  ChildWindow(const ChildWindow&) = delete;
  ChildWindow& operator=(const ChildWindow&) = delete;
  HWND Handle() const { return hwnd_; }
  LRESULT Send(UINT msg, WPARAM w = 0, LPARAM l = 0) const { return hwnd_ ? SendMessageA(hwnd_, msg, w, l) : 0; }
  void Place(Rect r, bool visible) {
    if (!hwnd_) return;
    SetWindowPos(hwnd_, nullptr, r.left, r.top, r.width, r.height, SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(hwnd_, visible ? SW_SHOWNA : SW_HIDE);
  }
  // The form's font at its scale.
  void SetScale(int scale) {
    Font font;
    font.height = -ScaledLength(-font.height, scale);
    Send(WM_SETFONT, reinterpret_cast<WPARAM>(FontHandle(font)), TRUE);
  }
  void SetUpdating(bool updating) {
    Send(WM_SETREDRAW, updating ? FALSE : TRUE);
    if (!updating && hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
  }
  void Focus() {
    if (hwnd_) ::SetFocus(hwnd_);
  }

 private:
  void Attach(HWND hwnd, Form& owner, Win32ChildPeer* peer) {
    hwnd_ = hwnd;
    if (!hwnd_) {
      LogFailure("Ravilo: a child control could not be created\n");
      return;
    }
    SetPropA(hwnd_, kPeerProperty, reinterpret_cast<HANDLE>(peer));
    SetWindowSubclass(hwnd_, KeysToForm, 1, reinterpret_cast<DWORD_PTR>(&owner));
    SendMessageA(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(FontHandle(Font{})), FALSE);
  }
  HWND hwnd_ = nullptr;
};

class Win32ListBoxPeer : public ListBoxPeer, public Win32ChildPeer {
 public:
  Win32ListBoxPeer(ListBox& list, Form& owner, HINSTANCE instance)
      : list_(list),
        window_("LISTBOX", WS_VSCROLL | LBS_EXTENDEDSEL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, owner, instance, this,
                list.AccessibleName()) {
    window_.Send(LB_SETITEMHEIGHT, 0, ListBox::kItemHeight);
  }
  void Place(Rect bounds, bool visible) override { window_.Place(bounds, visible); }
  void SetScale(int scale) override {
    window_.SetScale(scale);
    window_.Send(LB_SETITEMHEIGHT, 0, ScaledLength(ListBox::kItemHeight, scale));
  }
  void Add(const std::string& text) override { window_.Send(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())); }
  void Delete(int index) override { window_.Send(LB_DELETESTRING, WPARAM(index)); }
  void Clear() override { window_.Send(LB_RESETCONTENT); }
  bool Selected(int index) override { return window_.Send(LB_GETSEL, WPARAM(index)) > 0; }
  void SetSelected(int index, bool selected) override { window_.Send(LB_SETSEL, selected, LPARAM(index)); }
  int SelCount() override {
    const LRESULT n = window_.Send(LB_GETSELCOUNT);
    return n < 0 ? 0 : int(n);
  }
  void Focus() override { window_.Focus(); }
  void SetUpdating(bool updating) override { window_.SetUpdating(updating); }
  void Command(unsigned code) override {
    if (code == LBN_DBLCLK && list_.OnDblClick) Application::Instance().Dispatch(list_.OnDblClick);
  }

 private:
  ListBox& list_;
  ChildWindow window_;
};

// A one-line EDIT. It is a Unicode window and its text goes through the W calls, so a name
// typed in any script survives whatever ANSI code page the system gives the process.
class Win32EditPeer : public EditPeer, public Win32ChildPeer {
 public:
  Win32EditPeer(Edit& edit, Form& owner, HINSTANCE instance)
      : edit_(edit), owner_(owner), window_(L"EDIT", WS_EX_CLIENTEDGE, ES_AUTOHSCROLL, owner, instance, this) {}
  void Place(Rect r, bool visible) override { window_.Place(r, visible); }
  void SetScale(int scale) override { window_.SetScale(scale); }
  void SetText(const std::string& text) override {
    if (window_.Handle()) SetWindowTextW(window_.Handle(), platform::win32::WideFromUtf8(text).c_str());
  }
  std::string Text() override {
    if (!window_.Handle()) return {};
    const int n = GetWindowTextLengthW(window_.Handle());
    std::wstring wide(std::size_t(n + 1), L'\0');
    const int got = GetWindowTextW(window_.Handle(), wide.data(), n + 1);
    return platform::win32::Utf8FromWide(wide.data(), got > 0 ? got : 0);
  }
  void SetMaxLength(int chars) override { window_.Send(EM_LIMITTEXT, WPARAM(chars > 0 ? chars : 0)); }
  void Focus() override { window_.Focus(); }
  // Clicked into, the field is the form's focused control, so Tab goes on from it.
  void GotFocus() override {
    if (owner_.FocusedControl() == &edit_) return;
    try {
      Application::Instance().Dispatch([this] { owner_.SetFocusedControl(&edit_); });
    } catch (...) {
    }
  }

 private:
  Edit& edit_;
  Form& owner_;
  ChildWindow window_;
};

// An image list destroyed with its owner.
struct ImageList {
  HIMAGELIST handle = nullptr;
  ~ImageList() {
    if (handle) ImageList_Destroy(handle);
  }
};

class Win32TreeViewPeer : public TreeViewPeer, public Win32ChildPeer {
 public:
  Win32TreeViewPeer(TreeView& tree, Form& owner, HINSTANCE instance)
      : tree_(tree),
        window_(WC_TREEVIEWA, TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS, owner, instance,
                this, tree.AccessibleName()) {
    window_.Send(TVM_SETINDENT, 19);
  }
  void Place(Rect bounds, bool visible) override { window_.Place(bounds, visible); }
  void SetScale(int scale) override {
    window_.SetScale(scale);
    window_.Send(TVM_SETINDENT, WPARAM(ScaledLength(19, scale)));
  }
  void SetImages(const std::vector<std::shared_ptr<const Bitmap>>& images, std::uint32_t key) override {
    if (images.empty()) return;
    const int w = images[0]->Width(), h = images[0]->Height();
    // Images set again (at another scale) replace the list the tree holds.
    window_.Send(TVM_SETIMAGELIST, TVSIL_NORMAL, 0);
    if (images_.handle) ImageList_Destroy(std::exchange(images_.handle, nullptr));
    images_.handle = ImageList_Create(w, h, ILC_COLOR24 | ILC_MASK, int(images.size()), 0);
    if (!images_.handle) return LogFailure("Ravilo: the tree's image list could not be created\n");
    for (const auto& image : images) {
      BITMAPINFO info = TopDownDib(w, h);
      void* bits = nullptr;
      HBITMAP dib = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
      if (!dib) {
        LogFailure("Ravilo: a tree image could not be made\n");
        continue;
      }
      auto* px = static_cast<std::uint32_t*>(bits);
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
          px[y * w + x] = (x < image->Width() && y < image->Height() ? image->At(x, y) : key) & 0xFFFFFF;
      ImageList_AddMasked(images_.handle, dib, RGB((key >> 16) & 0xFF, (key >> 8) & 0xFF, key & 0xFF));
      DeleteObject(dib);
    }
    window_.Send(TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(images_.handle));
  }
  NodeId Add(NodeId parent, const std::string& caption, int image, int selectedImage, bool hasChildren) override {
    TVINSERTSTRUCTA insert{};
    insert.hParent = parent ? reinterpret_cast<HTREEITEM>(parent) : TVI_ROOT;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_CHILDREN;
    insert.item.pszText = const_cast<char*>(caption.c_str());
    insert.item.iImage = image;
    insert.item.iSelectedImage = selectedImage;
    insert.item.cChildren = hasChildren ? 1 : 0;
    return NodeId(window_.Send(TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
  }
  void DeleteChildren(NodeId node) override {
    while (LRESULT child = window_.Send(TVM_GETNEXTITEM, TVGN_CHILD, LPARAM(node)))
      if (!window_.Send(TVM_DELETEITEM, 0, child)) break;
  }
  void SetHasChildren(NodeId node, bool hasChildren) override {
    TVITEMA item{};
    item.mask = TVIF_HANDLE | TVIF_CHILDREN;
    item.hItem = reinterpret_cast<HTREEITEM>(node);
    item.cChildren = hasChildren ? 1 : 0;
    window_.Send(TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
  }
  NodeId Selected() override { return NodeId(window_.Send(TVM_GETNEXTITEM, TVGN_CARET, 0)); }
  void Select(NodeId node) override { window_.Send(TVM_SELECTITEM, TVGN_CARET, LPARAM(node)); }
  void SetUpdating(bool updating) override { window_.SetUpdating(updating); }
  void Focus() override { window_.Focus(); }
  LRESULT Notify(NMHDR* header) override {
    // The form is an ANSI window, but either form carries the item where the other does.
    if (header->code == TVN_ITEMEXPANDINGA || header->code == TVN_ITEMEXPANDINGW) {
      auto* nm = reinterpret_cast<NMTREEVIEWA*>(header);
      if (nm->action & TVE_EXPAND) tree_.HandleExpanding(NodeId(nm->itemNew.hItem));
    }
    return 0;  // the expansion goes ahead
  }

 private:
  TreeView& tree_;
  ChildWindow window_;
  ImageList images_;
};

}  // namespace

Win32ChildPeer* Win32ChildPeer::Of(HWND child) {
  return child ? reinterpret_cast<Win32ChildPeer*>(GetPropA(child, kPeerProperty)) : nullptr;
}

std::unique_ptr<ListBoxPeer> MakeListBoxPeer(ListBox& list, Form& owner, HINSTANCE instance) {
  return std::make_unique<Win32ListBoxPeer>(list, owner, instance);
}

std::unique_ptr<EditPeer> MakeEditPeer(Edit& edit, Form& owner, HINSTANCE instance) {
  return std::make_unique<Win32EditPeer>(edit, owner, instance);
}

std::unique_ptr<TreeViewPeer> MakeTreeViewPeer(TreeView& tree, Form& owner, HINSTANCE instance) {
  return std::make_unique<Win32TreeViewPeer>(tree, owner, instance);
}

namespace {
// comdlg32 is loaded when a file is first picked, not at start: under Wine it brings the
// print spooler and its CUPS, Kerberos and TLS libraries, about 4 MB that a pet which never
// opens the dialog would carry all day. Once loaded it stays.
using GetOpenFileNameFn = BOOL(WINAPI*)(OPENFILENAMEA*);
using CommDlgExtendedErrorFn = DWORD(WINAPI*)();
struct OpenFileNameFunctions {
  GetOpenFileNameFn getOpenFileName = nullptr;
  CommDlgExtendedErrorFn extendedError = nullptr;
};
const OpenFileNameFunctions& OpenFileNameFunction() {
  static const OpenFileNameFunctions functions = [] {
    OpenFileNameFunctions f;
    HMODULE module = LoadLibraryExA("comdlg32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (!module) {
      LogFailure("Ravilo: comdlg32.dll could not be loaded\n");
      return f;
    }
    f.getOpenFileName =
        reinterpret_cast<GetOpenFileNameFn>(reinterpret_cast<void*>(GetProcAddress(module, "GetOpenFileNameA")));
    if (!f.getOpenFileName) LogFailure("Ravilo: GetOpenFileNameA is missing from comdlg32.dll\n");
    f.extendedError = reinterpret_cast<CommDlgExtendedErrorFn>(
        reinterpret_cast<void*>(GetProcAddress(module, "CommDlgExtendedError")));
    if (!f.extendedError) LogFailure("Ravilo: CommDlgExtendedError is missing from comdlg32.dll\n");
    return f;
  }();
  return functions;
}
}  // namespace

OpenDialogResult RunOpenFileDialog(const OpenDialog& dialog, HWND owner, std::size_t bufferChars) {
  OpenDialogResult result;
  const GetOpenFileNameFn getOpenFileName = OpenFileNameFunction().getOpenFileName;
  if (!getOpenFileName) return result;
  // The filter's pairs as zero-separated texts, ended by an empty one.
  std::string filters = dialog.Filter;
  for (char& c : filters)
    if (c == '|') c = '\0';
  filters.append(2, '\0');
  std::vector<char> names(std::max<std::size_t>(bufferChars, MAX_PATH), '\0');
  OPENFILENAMEA ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = filters.c_str();
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = names.data();
  ofn.nMaxFile = DWORD(names.size());
  ofn.lpstrInitialDir = dialog.InitialDir.empty() ? nullptr : dialog.InitialDir.c_str();
  ofn.lpstrTitle = dialog.Title.c_str();
  ofn.Flags = OFN_EXPLORER | OFN_ENABLESIZING | (dialog.HideReadOnly ? OFN_HIDEREADONLY : 0) |
              (dialog.PathMustExist ? OFN_PATHMUSTEXIST : 0) | (dialog.FileMustExist ? OFN_FILEMUSTEXIST : 0) |
              (dialog.MultiSelect ? OFN_ALLOWMULTISELECT : 0);
  if (!getOpenFileName(&ofn)) {
    // Cancelled, or the names did not fit: then the buffer's first WORD holds the size
    // needed, which the caller may use to ask again.
    const auto extendedError = OpenFileNameFunction().extendedError;
    const DWORD error = extendedError ? extendedError() : 0;
    if (error == FNERR_BUFFERTOOSMALL) {
      result.bufferTooSmall = true;
      WORD needed = 0;
      std::memcpy(&needed, names.data(), sizeof needed);
      result.neededChars = needed;
    } else if (error != 0) {
      LogFailure("Ravilo: GetOpenFileNameA failed\n");
    }
    return result;
  }
  // One file: its full path. Several: the folder, then each name, each ended by a zero.
  std::vector<std::string> parts;
  for (const char* p = names.data(); *p; p += parts.back().size() + 1) parts.emplace_back(p);
  if (parts.size() <= 1) {
    result.files = std::move(parts);
    return result;
  }
  std::string dir = parts[0];
  if (dir.back() != '\\') dir += '\\';
  for (std::size_t i = 1; i < parts.size(); ++i) result.files.push_back(dir + parts[i]);
  return result;
}

}  // namespace ui::win32
