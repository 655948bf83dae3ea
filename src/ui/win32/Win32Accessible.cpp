#include "ui/win32/Win32Accessible.h"

#include <oleacc.h>

#include <string>
#include <vector>

#include "ui/Accessible.h"
#include "ui/Control.h"
#include "ui/Form.h"

namespace ui::win32 {
namespace {

// MinGW-w64's liboleacc.a (up to 12 at least) exports IID_IAccessible as a function, not as
// data: taking it gives the import thunk's bytes. The header's own declaration is right.
const IID kIidAccessible = __uuidof(IAccessible);

LONG RoleCode(Role role) {
  switch (role) {
    case Role::PushButton: return ROLE_SYSTEM_PUSHBUTTON;
    case Role::CheckBox: return ROLE_SYSTEM_CHECKBUTTON;
    case Role::RadioButton: return ROLE_SYSTEM_RADIOBUTTON;
    case Role::SpinBox: return ROLE_SYSTEM_SPINBUTTON;
    case Role::Edit: return ROLE_SYSTEM_TEXT;
    case Role::StaticText: return ROLE_SYSTEM_STATICTEXT;
    case Role::Link: return ROLE_SYSTEM_LINK;
    case Role::List: return ROLE_SYSTEM_LIST;
    case Role::Outline: return ROLE_SYSTEM_OUTLINE;
    case Role::None: break;
  }
  return ROLE_SYSTEM_GRAPHIC;
}

LONG StateCode(const Control& c) {
  const AccessibleState s = StateOf(c);
  LONG code = 0;
  if (s.checked) code |= STATE_SYSTEM_CHECKED;
  if (s.focused) code |= STATE_SYSTEM_FOCUSED;
  if (s.focusable) code |= STATE_SYSTEM_FOCUSABLE;
  if (s.unavailable) code |= STATE_SYSTEM_UNAVAILABLE;
  if (s.invisible) code |= STATE_SYSTEM_INVISIBLE;
  if (c.Access().role == Role::Link) code |= STATE_SYSTEM_LINKED;
  return code;
}

// Texts are in the process's code page, as every ...A call takes them.
BSTR Text(const std::string& s) {
  if (s.empty()) return nullptr;
  const int n = MultiByteToWideChar(CP_ACP, 0, s.data(), int(s.size()), nullptr, 0);
  if (n <= 0) return nullptr;
  BSTR b = SysAllocStringLen(nullptr, UINT(n));
  if (b) MultiByteToWideChar(CP_ACP, 0, s.data(), int(s.size()), b, n);
  return b;
}

void SetChild(VARIANT* v, LONG id) {
  VariantInit(v);
  v->vt = VT_I4;
  v->lVal = id;
}

}  // namespace

// The client area of one form. Every call runs on the GUI thread (COM brings a reader's
// calls there), and reads the form as it is now: child ids are places in the form's list of
// declared controls, 1 first.
class FormAccessible final : public IAccessible {
 public:
  FormAccessible(HWND hwnd, Form& form) : hwnd_(hwnd), form_(&form) {
    // The system's object for the same client area answers what concerns the window itself
    // (its parent, place, state).
    const HRESULT hr = CreateStdAccessibleObject(hwnd, OBJID_CLIENT, kIidAccessible, reinterpret_cast<void**>(&std_));
    if (FAILED(hr)) {
      OutputDebugStringA("Ravilo: CreateStdAccessibleObject failed\n");
      std_ = nullptr;
    }
  }
  void Disconnect() {
    form_ = nullptr;
    if (std_) std_->Release();
    std_ = nullptr;
  }

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == kIidAccessible) {
      *out = static_cast<IAccessible*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ULONG(InterlockedIncrement(&refs_)); }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG left = InterlockedDecrement(&refs_);
    if (left == 0) {
      Disconnect();
      delete this;
    }
    return ULONG(left);
  }

  // IDispatch: readers call the vtable; late binding is not offered.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (count) *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
    return E_NOTIMPL;
  }

  // IAccessible
  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
    if (!form_ || !std_) return CO_E_OBJNOTCONNECTED;
    return std_->get_accParent(parent);
  }
  HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override {
    if (!count) return E_POINTER;
    if (!form_) return CO_E_OBJNOTCONNECTED;
    *count = LONG(AccessibleControls(*form_).size());
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT id, IDispatch** child) override {
    if (!child) return E_POINTER;
    *child = nullptr;
    const Control* c = nullptr;
    if (const HRESULT hr = Find(id, c); FAILED(hr)) return hr;
    if (!c) return E_INVALIDARG;
    // A native list or tree is a window of its own: the system's object for its client area
    // walks its items.
    if (HWND native = NativeWindowOf(*c))
      return AccessibleObjectFromWindow(native, DWORD(OBJID_CLIENT), IID_IDispatch, reinterpret_cast<void**>(child));
    return S_FALSE;  // a simple element: its parent answers for it
  }
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT id, BSTR* name) override {
    return Describe(id, name, [](const Control& c) { return NameOf(c); }, [this] { return NameOf(*form_); });
  }
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT id, BSTR* value) override {
    return Describe(id, value, [](const Control& c) { return ValueOf(c); }, [] { return std::string(); });
  }
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT id, BSTR* text) override {
    return Describe(id, text, [](const Control&) { return std::string(); }, [] { return std::string(); });
  }
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT id, VARIANT* role) override {
    if (!role) return E_POINTER;
    const Control* c = nullptr;
    if (const HRESULT hr = Find(id, c); FAILED(hr)) return hr;
    if (!c) return std_ ? std_->get_accRole(id, role) : E_FAIL;
    SetChild(role, RoleCode(c->Access().role));
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT id, VARIANT* state) override {
    if (!state) return E_POINTER;
    const Control* c = nullptr;
    if (const HRESULT hr = Find(id, c); FAILED(hr)) return hr;
    if (!c) return std_ ? std_->get_accState(id, state) : E_FAIL;
    SetChild(state, StateCode(*c));
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT, BSTR* help) override {
    if (help) *help = nullptr;
    return S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT, LONG* topic) override {
    if (file) *file = nullptr;
    if (topic) *topic = 0;
    return S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT, BSTR* keys) override {
    if (keys) *keys = nullptr;
    return S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* id) override {
    if (!id) return E_POINTER;
    VariantInit(id);
    if (!form_) return CO_E_OBJNOTCONNECTED;
    if (GetFocus() != hwnd_) return S_FALSE;
    const Control* focused = form_->FocusedControl();
    SetChild(id, focused ? IdOf(*focused) : CHILDID_SELF);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* id) override {
    if (id) VariantInit(id);
    return S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT, BSTR* action) override {
    if (action) *action = nullptr;
    return S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE accSelect(LONG, VARIANT) override { return DISP_E_MEMBERNOTFOUND; }
  HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height, VARIANT id) override {
    if (!left || !top || !width || !height) return E_POINTER;
    const Control* c = nullptr;
    if (const HRESULT hr = Find(id, c); FAILED(hr)) return hr;
    if (!c) return std_ ? std_->accLocation(left, top, width, height, id) : E_FAIL;
    const Rect r = form_->ToScreenPart(c->Bounds());
    POINT origin{r.left, r.top};
    ClientToScreen(hwnd_, &origin);
    *left = origin.x;
    *top = origin.y;
    *width = r.width;
    *height = r.height;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override {
    if (!end) return E_POINTER;
    VariantInit(end);
    const Control* c = nullptr;
    if (const HRESULT hr = Find(start, c); FAILED(hr)) return hr;
    const LONG count = LONG(AccessibleControls(*form_).size());
    LONG to = 0;
    if (!c) {
      if (direction == NAVDIR_FIRSTCHILD) to = 1;
      else if (direction == NAVDIR_LASTCHILD) to = count;
      else return std_ ? std_->accNavigate(direction, start, end) : S_FALSE;
    } else {
      const LONG at = IdOf(*c);
      if (direction == NAVDIR_NEXT || direction == NAVDIR_DOWN || direction == NAVDIR_RIGHT) to = at + 1;
      else if (direction == NAVDIR_PREVIOUS || direction == NAVDIR_UP || direction == NAVDIR_LEFT) to = at - 1;
    }
    if (to < 1 || to > count) return S_FALSE;
    SetChild(end, to);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* id) override {
    if (!id) return E_POINTER;
    VariantInit(id);
    if (!form_) return CO_E_OBJNOTCONNECTED;
    POINT p{x, y};
    ScreenToClient(hwnd_, &p);
    RECT client{};
    GetClientRect(hwnd_, &client);
    if (!PtInRect(&client, p)) return S_FALSE;
    const Point at = form_->ToDesign(p.x, p.y);
    const std::vector<Control*> shown = AccessibleControls(*form_);
    // The topmost one there, as the mouse finds it.
    for (auto it = shown.rbegin(); it != shown.rend(); ++it)
      if ((*it)->Visible() && (*it)->Bounds().Contains(at)) {
        SetChild(id, LONG(shown.rend() - it));
        return S_OK;
      }
    SetChild(id, CHILDID_SELF);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT) override { return DISP_E_MEMBERNOTFOUND; }
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

  LONG IdOf(const Control& c) const {
    const std::vector<Control*> shown = AccessibleControls(*form_);
    for (std::size_t i = 0; i < shown.size(); ++i)
      if (shown[i] == &c) return LONG(i + 1);
    return 0;
  }

 private:
  ~FormAccessible() = default;

  // The control a child id names (nullptr for the client area itself).
  HRESULT Find(const VARIANT& id, const Control*& c) const {
    c = nullptr;
    if (!form_) return CO_E_OBJNOTCONNECTED;
    if (id.vt != VT_I4) return E_INVALIDARG;
    if (id.lVal == CHILDID_SELF) return S_OK;
    const std::vector<Control*> shown = AccessibleControls(*form_);
    if (id.lVal < 1 || std::size_t(id.lVal) > shown.size()) return E_INVALIDARG;
    c = shown[std::size_t(id.lVal - 1)];
    return S_OK;
  }
  template <class OfControl, class OfSelf>
  HRESULT Describe(const VARIANT& id, BSTR* out, OfControl ofControl, OfSelf ofSelf) const {
    if (!out) return E_POINTER;
    *out = nullptr;
    const Control* c = nullptr;
    if (const HRESULT hr = Find(id, c); FAILED(hr)) return hr;
    *out = Text(c ? ofControl(*c) : ofSelf());
    return *out ? S_OK : S_FALSE;
  }
  // The native child window standing where the control stands, if it is one.
  HWND NativeWindowOf(const Control& c) const {
    if (c.Access().role != Role::List && c.Access().role != Role::Outline) return nullptr;
    const Rect want = form_->ToScreenPart(c.Bounds());
    for (HWND child = GetWindow(hwnd_, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
      RECT r{};
      GetWindowRect(child, &r);
      MapWindowPoints(HWND_DESKTOP, hwnd_, reinterpret_cast<POINT*>(&r), 2);
      if (r.left == want.left && r.top == want.top) return child;
    }
    return nullptr;
  }

  LONG refs_ = 1;
  HWND hwnd_;
  Form* form_;
  IAccessible* std_ = nullptr;
};

AccessibleRoot::~AccessibleRoot() {
  if (!object_) return;
  object_->Disconnect();
  object_->Release();
}

std::optional<LRESULT> AccessibleRoot::Answer(HWND hwnd, Form& form, WPARAM wParam, LPARAM lParam) {
  // OBJID_CLIENT is -4; it comes as a 32-bit value in the low half of lParam.
  if (LONG(DWORD(lParam)) != OBJID_CLIENT) return std::nullopt;
  // COM on the GUI thread, once; a thread already in another mode serves as well.
  static const bool comReady = [] {
    const HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (FAILED(hr) && hr != RPC_E_CHANGED_MODE) OutputDebugStringA("Ravilo: COM could not be started\n");
    return SUCCEEDED(hr) || hr == RPC_E_CHANGED_MODE;
  }();
  if (!comReady) return std::nullopt;
  if (!object_) object_ = new FormAccessible(hwnd, form);
  const LRESULT result = LresultFromObject(kIidAccessible, wParam, static_cast<IAccessible*>(object_));
  if (FAILED(HRESULT(result))) {
    OutputDebugStringA("Ravilo: LresultFromObject failed\n");
    return std::nullopt;
  }
  return result;
}

void AccessibleRoot::FocusMoved(HWND hwnd, const Form& form, const Control& control) {
  const std::vector<Control*> shown = AccessibleControls(form);
  for (std::size_t i = 0; i < shown.size(); ++i)
    if (shown[i] == &control) NotifyWinEvent(EVENT_OBJECT_FOCUS, hwnd, OBJID_CLIENT, LONG(i + 1));
}

}  // namespace ui::win32
