// The keyboard focus of a form: the order of its controls, the keys that move the focus and
// act on the focused control, and the mark drawn round it.
#include <algorithm>

#include "ui/Contrast.h"
#include "ui/Form.h"
#include "ui/Rescale.h"

namespace ui {
namespace {
// The mark: a dark outer and a light inner line, so that it shows on any picture and on the
// desktop behind a shaped window; neither is near the key colour. In high contrast the inner
// line is the system's highlight.
constexpr std::uint32_t kMarkOuter = Rgb(16, 16, 16);
constexpr std::uint32_t kMarkInner = Rgb(255, 255, 255);
constexpr int kMarkGap = 3;  // design pixels between the control and the mark's outer edge

void Ring(Bitmap& surface, Rect r, int thickness, std::uint32_t colour) {
  surface.FillRect({r.left, r.top, r.width, thickness}, colour);
  surface.FillRect({r.left, r.top + r.height - thickness, r.width, thickness}, colour);
  surface.FillRect({r.left, r.top, thickness, r.height}, colour);
  surface.FillRect({r.left + r.width - thickness, r.top, thickness, r.height}, colour);
}

// What a click does, for the keys that stand for one.
void Click(Control& c) {
  if (c.OnMouseDown) c.OnMouseDown(MouseButton::Left, 0, 0);
  if (c.OnMouseUp) c.OnMouseUp(MouseButton::Left, 0, 0);
  if (c.OnClick) c.OnClick();
}

bool Clicks(const Control& c) { return c.GetFocusKind() == FocusKind::Button || c.GetFocusKind() == FocusKind::Switch; }
}  // namespace

std::vector<Control*> Form::FocusOrder() const {
  std::vector<Control*> order;
  for (Control* c : controls_)
    if (c->Focusable()) order.push_back(c);
  std::stable_sort(order.begin(), order.end(), [](Control* a, Control* b) { return a->Top() < b->Top(); });
  for (auto line = order.begin(); line != order.end();) {
    const int below = (*line)->Top() + (*line)->Height() / 2;
    const auto end = std::find_if(line, order.end(), [below](Control* c) { return c->Top() >= below; });
    std::stable_sort(line, end, [](Control* a, Control* b) { return a->Left() < b->Left(); });
    line = end;
  }
  return order;
}

Rect Form::FocusMarkBounds(const Control& c) {
  const Rect r = c.FocusBounds();
  return {r.left - kMarkGap, r.top - kMarkGap, r.width + 2 * kMarkGap, r.height + 2 * kMarkGap};
}

void Form::SetFocusedControl(Control* c) {
  if (c == focused_) return;
  ReleaseStep();
  typedDigit_ = -1;
  if (focused_) Invalidate(FocusMarkBounds(*focused_));
  focused_ = c;
  if (!c) return;
  if (const int group = c->FocusGroup()) {
    std::erase_if(lastInGroup_, [group](const auto& last) { return last.first == group; });
    lastInGroup_.push_back({group, c});
  }
  Invalidate(FocusMarkBounds(*c));
  if (c->GetFocusKind() == FocusKind::Native)
    c->TakeFocus();
  else if (peer_)
    peer_->TakeKeyboard();
  if (Peer()) Peer()->FocusMoved(*c);
}

void Form::HandleKeyDown(KeyStroke stroke) {
  if (!FocusKeyDown(stroke)) FormKeyDown(stroke);
}

void Form::HandleKeyUp(Key key) {
  if (key == kVkUpArrow || key == kVkDownArrow) ReleaseStep();
  FormKeyUp(key);
}

void Form::HandleKeyPress(char c) {
  if (!FocusKeyPress(c)) FormKeyPress(c);
}

bool Form::FocusKeyDown(KeyStroke stroke) {
  const std::vector<Control*> order = FocusOrder();
  // A window that declares no control keeps every key for itself.
  if (order.empty()) return false;
  Control* f = focused_ && focused_->Focusable() ? focused_ : nullptr;
  const unsigned key = stroke.key;
  if (key == kVkTab) {
    MoveFocus(stroke.shift ? -1 : 1);
    return true;
  }
  // A native control has the keyboard; only its Tab and its Enter and Esc come here.
  if (f && f->GetFocusKind() == FocusKind::Native) return false;
  const bool arrow = key == kVkLeftArrow || key == kVkRightArrow || key == kVkUpArrow || key == kVkDownArrow;
  if (arrow) {
    // The first arrow key shows where the focus is, as the first Tab does.
    if (!f) {
      MoveFocus(1);
      return true;
    }
    const bool vertical = key == kVkUpArrow || key == kVkDownArrow;
    if (f->GetFocusKind() == FocusKind::Spin && vertical) {
      // The keyboard's own repeat is not wanted: the control repeats at its own pace.
      if (!stroke.repeat && f->OnStepPress) {
        ReleaseStep();
        typedDigit_ = -1;
        stepping_ = f;
        f->OnStepPress(key == kVkUpArrow ? 1 : -1);
      }
    } else if (f->FocusGroup() && !vertical) {
      MoveInGroup(key == kVkRightArrow ? 1 : -1);
    }
    return true;
  }
  if (key == kVkSpace && f && Clicks(*f)) {
    if (!stroke.repeat) Click(*f);
    return true;
  }
  return false;
}

bool Form::FocusKeyPress(char c) {
  Control* f = focused_ && focused_->Focusable() ? focused_ : nullptr;
  if (!f) return false;
  if (c >= '0' && c <= '9' && f->GetFocusKind() == FocusKind::Spin) {
    const int digit = c - '0';
    const int max = std::max(f->SpinMaximum, 0);
    int value = digit;
    // Two digits make one number when it is in range; otherwise the digit starts a new one.
    if (typedDigit_ >= 0 && typedDigit_ * 10 + digit <= max) {
      value = typedDigit_ * 10 + digit;
      typedDigit_ = -1;
    } else {
      typedDigit_ = digit * 10 <= max ? digit : -1;
    }
    if (value <= max && f->OnTyped) f->OnTyped(value);
    return true;
  }
  // Enter clicks a button or a switch of its own; in a group, as anywhere else, it is OK.
  if (c == '\r' && Clicks(*f) && !f->FocusGroup()) {
    Click(*f);
    return true;
  }
  return false;
}

Control* Form::GroupEntry(int group, const std::vector<Control*>& order) const {
  for (const auto& [g, c] : lastInGroup_)
    if (g == group && std::ranges::find(order, c) != order.end()) return c;
  Control* first = nullptr;
  Control* on = nullptr;
  int onCount = 0;
  for (Control* c : order) {
    if (c->FocusGroup() != group) continue;
    if (!first) first = c;
    if (c->Checked && c->Checked()) {
      on = c;
      ++onCount;
    }
  }
  return onCount == 1 ? on : first;
}

void Form::MoveFocus(int direction) {
  const std::vector<Control*> order = FocusOrder();
  // One stop for each control outside a group and one for each group.
  std::vector<Control*> stops;
  std::vector<int> groups;
  for (Control* c : order) {
    const int group = c->FocusGroup();
    if (!group) {
      stops.push_back(c);
    } else if (std::ranges::find(groups, group) == groups.end()) {
      groups.push_back(group);
      stops.push_back(GroupEntry(group, order));
    }
  }
  if (stops.empty()) return;
  const auto at = std::ranges::find_if(stops, [this](Control* s) {
    return focused_ && (s == focused_ || (focused_->FocusGroup() && s->FocusGroup() == focused_->FocusGroup()));
  });
  const int n = int(stops.size());
  int next = direction > 0 ? 0 : n - 1;
  if (at != stops.end()) next = (int(at - stops.begin()) + direction + n) % n;
  SetFocusedControl(stops[std::size_t(next)]);
}

void Form::MoveInGroup(int direction) {
  std::vector<Control*> members;
  for (Control* c : FocusOrder())
    if (c->FocusGroup() == focused_->FocusGroup()) members.push_back(c);
  const auto at = std::ranges::find(members, focused_);
  if (at == members.end()) return;
  const int n = int(members.size());
  SetFocusedControl(members[std::size_t((int(at - members.begin()) + direction + n) % n)]);
}

void Form::ReleaseStep() {
  Control* c = std::exchange(stepping_, nullptr);
  if (c && c->OnStepRelease) c->OnStepRelease();
}

void Form::PaintFocusMark() {
  if (!focused_ || !focused_->Focusable()) return;
  const Rect r = ToScreenPart(FocusMarkBounds(*focused_));
  const int line = std::max(1, ScaledLength(1, scale_));
  Ring(surface_, r, line, kMarkOuter);
  Ring(surface_, {r.left + line, r.top + line, r.width - 2 * line, r.height - 2 * line}, line,
       FocusMarkColour(kMarkInner));
}

}  // namespace ui
