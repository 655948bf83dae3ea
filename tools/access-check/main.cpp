// access-check [TITLE]: asks every visible Ravilo window (or the one with that title) for
// its client area's IAccessible, as a screen reader does (AccessibleObjectFromWindow), and
// prints it and each of its children, one line each, tab-separated:
//   window  TITLE  NAME
//   child   ID  ROLE  NAME  STATES  VALUE
// Roles print in the words Ravilo declares them with ("push button", "spin box"), states as
// words joined by "+" ("checked+focusable"). Exit code 0, or 1 when no window answered.
#include <windows.h>
#include <oleacc.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

// MinGW-w64's liboleacc.a (up to 12 at least) exports IID_IAccessible as a function, not as
// data: taking it gives the import thunk's bytes. The header's own declaration is right.
const IID kIidAccessible = __uuidof(IAccessible);

std::string Narrow(BSTR b) {
  if (!b) return {};
  const int n = WideCharToMultiByte(CP_UTF8, 0, b, int(SysStringLen(b)), nullptr, 0, nullptr, nullptr);
  std::string s(std::size_t(n > 0 ? n : 0), '\0');
  if (n > 0) WideCharToMultiByte(CP_UTF8, 0, b, int(SysStringLen(b)), s.data(), n, nullptr, nullptr);
  SysFreeString(b);
  for (char& c : s)
    if (c == '\t' || c == '\n') c = ' ';
  return s;
}

std::string RoleWords(long role) {
  switch (role) {
    case ROLE_SYSTEM_PUSHBUTTON: return "push button";
    case ROLE_SYSTEM_CHECKBUTTON: return "check box";
    case ROLE_SYSTEM_RADIOBUTTON: return "radio button";
    case ROLE_SYSTEM_SPINBUTTON: return "spin box";
    case ROLE_SYSTEM_TEXT: return "edit";
    case ROLE_SYSTEM_STATICTEXT: return "text";
    case ROLE_SYSTEM_LINK: return "link";
    case ROLE_SYSTEM_LIST: return "list";
    case ROLE_SYSTEM_OUTLINE: return "tree";
  }
  char text[128] = "";
  GetRoleTextA(DWORD(role), text, sizeof text);
  return text[0] ? text : "role " + std::to_string(role);
}

std::string StateWords(long state) {
  static const struct {
    long bit;
    const char* word;
  } kWords[] = {{STATE_SYSTEM_CHECKED, "checked"},         {STATE_SYSTEM_FOCUSED, "focused"},
                {STATE_SYSTEM_FOCUSABLE, "focusable"},     {STATE_SYSTEM_UNAVAILABLE, "unavailable"},
                {STATE_SYSTEM_INVISIBLE, "invisible"},     {STATE_SYSTEM_LINKED, "linked"}};
  std::string s;
  for (const auto& w : kWords)
    if (state & w.bit) {
      if (!s.empty()) s += '+';
      s += w.word;
    }
  return s.empty() ? "-" : s;
}

void PrintChild(IAccessible* acc, long id, VARIANT child) {
  BSTR name = nullptr, value = nullptr;
  VARIANT role, state;
  VariantInit(&role);
  VariantInit(&state);
  acc->get_accName(child, &name);
  acc->get_accValue(child, &value);
  acc->get_accRole(child, &role);
  acc->get_accState(child, &state);
  std::printf("child\t%ld\t%s\t%s\t%s\t%s\n", id, role.vt == VT_I4 ? RoleWords(role.lVal).c_str() : "?",
              Narrow(name).c_str(), state.vt == VT_I4 ? StateWords(state.lVal).c_str() : "?",
              Narrow(value).c_str());
}

bool PrintWindow(HWND hwnd) {
  char title[256] = "";
  GetWindowTextA(hwnd, title, sizeof title);
  IAccessible* acc = nullptr;
  if (FAILED(AccessibleObjectFromWindow(hwnd, DWORD(OBJID_CLIENT), kIidAccessible, reinterpret_cast<void**>(&acc))) ||
      !acc) {
    std::printf("window\t%s\t(no IAccessible)\n", title);
    return false;
  }
  VARIANT self;
  VariantInit(&self);
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  BSTR name = nullptr;
  acc->get_accName(self, &name);
  std::printf("window\t%s\t%s\n", title, Narrow(name).c_str());
  long count = 0;
  acc->get_accChildCount(&count);
  std::vector<VARIANT> children(std::size_t(count > 0 ? count : 0));
  long got = 0;
  if (count > 0 && SUCCEEDED(AccessibleChildren(acc, 0, count, children.data(), &got))) {
    for (long i = 0; i < got; ++i) {
      VARIANT& c = children[std::size_t(i)];
      if (c.vt == VT_I4) {
        PrintChild(acc, c.lVal, c);
      } else if (c.vt == VT_DISPATCH && c.pdispVal) {
        // A native control: its own object, asked about itself.
        IAccessible* native = nullptr;
        if (SUCCEEDED(c.pdispVal->QueryInterface(kIidAccessible, reinterpret_cast<void**>(&native))) && native) {
          PrintChild(native, i + 1, self);
          native->Release();
        }
      }
      VariantClear(&c);
    }
  }
  acc->Release();
  return true;
}

struct Search {
  const char* title;
  int answered = 0;
};

BOOL CALLBACK EachWindow(HWND hwnd, LPARAM param) {
  auto& search = *reinterpret_cast<Search*>(param);
  char cls[64] = "", title[256] = "";
  GetClassNameA(hwnd, cls, sizeof cls);
  GetWindowTextA(hwnd, title, sizeof title);
  if (std::string(cls) != "RaviloForm" || !IsWindowVisible(hwnd)) return TRUE;
  if (search.title && std::string(title) != search.title) return TRUE;
  if (PrintWindow(hwnd)) ++search.answered;
  return TRUE;
}

}  // namespace

int main(int argc, char** argv) {
  if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 2;
  Search search{argc > 1 ? argv[1] : nullptr};
  EnumWindows(EachWindow, reinterpret_cast<LPARAM>(&search));
  std::fflush(stdout);
  CoUninitialize();
  return search.answered > 0 ? 0 : 1;
}
