#pragma once
// What a screen reader is told about a windowless control: its role, its name, whether it is
// checked, focused or unavailable, and for the time fields their value. A window declares it
// for each control it makes; the backend hands it to the reader (MSAA on Windows).
#include <functional>
#include <string>
#include <vector>

namespace ui {

class Control;
class Form;

// None: not shown to a reader (a background picture, an arrow drawn into a field).
enum class Role { None, PushButton, CheckBox, RadioButton, SpinBox, Edit, StaticText, Link, List, Outline };

struct Accessible {
  Role role = Role::None;
  // Empty: the control's own text (a label's caption).
  std::string name;
  // For check boxes and radio buttons: whether it is on now.
  std::function<bool()> checked;
};

struct AccessibleState {
  bool checked = false;
  bool focused = false;
  bool focusable = false;
  bool unavailable = false;
  bool invisible = false;
  friend bool operator==(const AccessibleState&, const AccessibleState&) = default;
};

// The words a reader says for a role ("push button"), as the probe and the tests print them.
const char* RoleName(Role role);
// What a reader sees of a control now.
std::string NameOf(const Control& c);
std::string ValueOf(const Control& c);
AccessibleState StateOf(const Control& c);
// The form's controls a reader is told of, in the order the form holds them (a text only
// while it says something).
std::vector<Control*> AccessibleControls(const Form& form);
// The reader's name for the window's client area: its caption unless the form names it.
std::string NameOf(const Form& form);

}  // namespace ui
