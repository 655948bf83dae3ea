#include "ui/headless/HeadlessControls.h"

#include <algorithm>
#include <cctype>

#include "ui/Application.h"

namespace ui::headless {
namespace {
bool StartsWith(const std::string& text, char c) {
  return !text.empty() && std::tolower(static_cast<unsigned char>(text[0])) == std::tolower(static_cast<unsigned char>(c));
}
void KeyToForm(Form& form, char c) {
  Application::Instance().Dispatch([&] { form.HandleKeyPress(c); });
  Application::Instance().GetBackend().ProcessMessages();
}
}  // namespace

void HeadlessListBoxPeer::Delete(int index) {
  items_.erase(items_.begin() + index);
  selected_.erase(selected_.begin() + index);
}

int HeadlessListBoxPeer::SelCount() { return int(std::count(selected_.begin(), selected_.end(), true)); }

void HeadlessListBoxPeer::Click(int index, bool ctrl) {
  if (!ctrl) std::fill(selected_.begin(), selected_.end(), false);
  if (index >= 0 && index < int(items_.size())) selected_[std::size_t(index)] = ctrl ? !selected_[std::size_t(index)] : true;
}

void HeadlessListBoxPeer::DoubleClick(int index) {
  Click(index);
  if (list_.OnDblClick) Application::Instance().Dispatch(list_.OnDblClick);
  Application::Instance().GetBackend().ProcessMessages();
}

void HeadlessListBoxPeer::Type(char c) {
  if (c == 13 || c == 27) return KeyToForm(owner_, c);
  const int n = int(items_.size());
  int from = 0;
  for (int i = 0; i < n; ++i)
    if (selected_[std::size_t(i)]) from = i + 1;
  for (int k = 0; k < n; ++k) {
    const int i = (from + k) % n;
    if (StartsWith(items_[std::size_t(i)], c)) return Click(i);
  }
}

TreeViewPeer::NodeId HeadlessTreeViewPeer::Add(NodeId parent, const std::string& caption, int, int, bool hasChildren) {
  const NodeId id = ++next_;
  nodes_[id] = {parent, caption, hasChildren, false, {}};
  (parent ? nodes_.at(parent).children : top_).push_back(id);
  return id;
}

void HeadlessTreeViewPeer::Forget(NodeId node) {
  for (NodeId c : nodes_.at(node).children) Forget(c);
  if (selected_ == node) selected_ = nodes_.at(node).parent;
  nodes_.erase(node);
}

void HeadlessTreeViewPeer::DeleteChildren(NodeId node) {
  auto children = std::move(nodes_.at(node).children);
  nodes_.at(node).children.clear();
  for (NodeId c : children) Forget(c);
}

bool HeadlessTreeViewPeer::ShowsButton(NodeId node) const {
  const Node& n = nodes_.at(node);
  return n.hasChildren || !n.children.empty();
}

void HeadlessTreeViewPeer::Expand(NodeId node) {
  if (!nodes_.count(node) || !ShowsButton(node)) return;
  // As TVN_ITEMEXPANDING: the program refills the node, then it opens.
  tree_.HandleExpanding(node);
  if (nodes_.count(node)) nodes_.at(node).expanded = !nodes_.at(node).children.empty();
}

void HeadlessTreeViewPeer::Collapse(NodeId node) {
  if (nodes_.count(node)) nodes_.at(node).expanded = false;
}

void HeadlessTreeViewPeer::VisibleFrom(const std::vector<NodeId>& level, std::vector<NodeId>& out) const {
  for (NodeId id : level) {
    out.push_back(id);
    if (nodes_.at(id).expanded) VisibleFrom(nodes_.at(id).children, out);
  }
}

std::vector<TreeViewPeer::NodeId> HeadlessTreeViewPeer::VisibleOrder() const {
  std::vector<NodeId> out;
  VisibleFrom(top_, out);
  return out;
}

void HeadlessTreeViewPeer::KeyDown(Key key) {
  const auto order = VisibleOrder();
  if (order.empty()) return;
  const auto at = std::find(order.begin(), order.end(), selected_);
  switch (key) {
    case kVkHome: selected_ = order.front(); break;
    case kVkDown:
      if (at == order.end()) selected_ = order.front();
      else if (at + 1 != order.end()) selected_ = *(at + 1);
      break;
    case kVkUp:
      if (at != order.end() && at != order.begin()) selected_ = *(at - 1);
      break;
    case kVkRight:
      if (!selected_) break;
      if (!nodes_.at(selected_).expanded) Expand(selected_);
      else if (!nodes_.at(selected_).children.empty()) selected_ = nodes_.at(selected_).children.front();
      break;
    case kVkLeft:
      if (!selected_) break;
      if (nodes_.at(selected_).expanded) Collapse(selected_);
      else if (nodes_.at(selected_).parent) selected_ = nodes_.at(selected_).parent;
      break;
    default: break;
  }
}

void HeadlessTreeViewPeer::Type(char c) {
  if (c == 13 || c == 27) return KeyToForm(owner_, c);
  const auto order = VisibleOrder();
  const auto at = std::find(order.begin(), order.end(), selected_);
  const std::size_t from = at == order.end() ? 0 : std::size_t(at - order.begin()) + 1;
  for (std::size_t k = 0; k < order.size(); ++k) {
    const NodeId id = order[(from + k) % order.size()];
    if (StartsWith(nodes_.at(id).caption, c)) {
      selected_ = id;
      return;
    }
  }
}

}  // namespace ui::headless

namespace ui::headless {

void HeadlessEditPeer::Type(const std::string& text) {
  for (std::size_t i = 0; i < text.size();) {
    std::size_t end = i + 1;
    while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) ++end;
    std::size_t chars = 0;
    for (unsigned char b : text_) chars += (b & 0xC0) != 0x80;
    if (max_ > 0 && int(chars) >= max_) return;
    text_ += text.substr(i, end - i);
    i = end;
  }
}

}  // namespace ui::headless
