#include "ui/Accessible.h"

#include "ui/Control.h"
#include "ui/Form.h"

namespace ui {

const char* RoleName(Role role) {
  switch (role) {
    case Role::None: return "none";
    case Role::PushButton: return "push button";
    case Role::CheckBox: return "check box";
    case Role::RadioButton: return "radio button";
    case Role::SpinBox: return "spin box";
    case Role::Edit: return "edit";
    case Role::StaticText: return "text";
    case Role::Link: return "link";
    case Role::List: return "list";
    case Role::Outline: return "tree";
  }
  return "none";
}

std::string NameOf(const Control& c) { return c.AccessibleName(); }

std::string ValueOf(const Control& c) { return c.AccessibleValue(); }

AccessibleState StateOf(const Control& c) {
  const Accessible& a = c.Access();
  AccessibleState s;
  s.checked = a.checked && a.checked();
  s.focused = c.Owner().FocusedControl() == &c;
  s.focusable = a.role != Role::StaticText && a.role != Role::None;
  s.unavailable = !c.Enabled();
  s.invisible = !c.Visible();
  return s;
}

std::vector<Control*> AccessibleControls(const Form& form) {
  std::vector<Control*> shown;
  for (Control* c : form.Controls()) {
    const Role role = c->Access().role;
    // An empty text shows nothing, and is read as nothing.
    if (role == Role::None || (role == Role::StaticText && NameOf(*c).empty())) continue;
    shown.push_back(c);
  }
  return shown;
}

std::string NameOf(const Form& form) {
  return form.AccessibleName().empty() ? form.Caption() : form.AccessibleName();
}

}  // namespace ui
