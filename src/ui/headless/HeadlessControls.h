#pragma once
// The native child controls on the headless desktop: models that tests drive as a user
// would (select, double-click, expand, type), raising the events Windows would.
#include <map>
#include <string>
#include <vector>

#include "ui/Backend.h"
#include "ui/Edit.h"
#include "ui/Form.h"
#include "ui/ListBox.h"
#include "ui/TreeView.h"

namespace ui::headless {

// Virtual-key codes the controls answer.
constexpr Key kVkHome = 0x24, kVkLeft = 0x25, kVkUp = 0x26, kVkRight = 0x27, kVkDown = 0x28;

class HeadlessListBoxPeer : public ListBoxPeer {
 public:
  HeadlessListBoxPeer(ListBox& list, Form& owner) : list_(list), owner_(owner) {}
  static HeadlessListBoxPeer& Of(ListBox& list) { return *static_cast<HeadlessListBoxPeer*>(list.Peer()); }

  void Place(Rect bounds, bool visible) override { visible_ = visible; }
  void Add(const std::string& text) override {
    items_.push_back(text);
    selected_.push_back(false);
  }
  void Delete(int index) override;
  void Clear() override {
    items_.clear();
    selected_.clear();
  }
  bool Selected(int index) override { return selected_.at(std::size_t(index)); }
  void SetSelected(int index, bool selected) override { selected_.at(std::size_t(index)) = selected; }
  int SelCount() override;
  void Focus() override { focused_ = true; }
  void SetUpdating(bool updating) override { updating_ = updating; }
  bool Updating() const { return updating_; }

  // A click selects only that item; with Ctrl held it toggles it.
  void Click(int index, bool ctrl = false);
  void DoubleClick(int index);
  // A character typed while the list has the focus: Enter and Esc go to the form, a letter
  // selects the next item that begins with it.
  void Type(char c);
  const std::vector<std::string>& Shown() const { return items_; }
  bool Visible() const { return visible_; }
  bool Focused() const { return focused_; }

 private:
  ListBox& list_;
  Form& owner_;
  std::vector<std::string> items_;
  std::vector<bool> selected_;
  bool visible_ = true;
  bool focused_ = false;
  bool updating_ = false;
};

class HeadlessEditPeer : public EditPeer {
 public:
  static HeadlessEditPeer& Of(Edit& edit) { return *static_cast<HeadlessEditPeer*>(edit.Peer()); }
  void Place(Rect bounds, bool visible) override { visible_ = visible; }
  void SetText(const std::string& text) override { text_ = text; }
  std::string Text() override { return text_; }
  void SetMaxLength(int chars) override { max_ = chars; }
  void Focus() override { focused_ = true; }
  // Typed at the end, as far as the limit lets it (in characters of UTF-8).
  void Type(const std::string& text);
  bool Focused() const { return focused_; }
  bool Visible() const { return visible_; }

 private:
  std::string text_;
  int max_ = 0;
  bool visible_ = true;
  bool focused_ = false;
};

class HeadlessTreeViewPeer : public TreeViewPeer {
 public:
  HeadlessTreeViewPeer(TreeView& tree, Form& owner) : tree_(tree), owner_(owner) {}
  static HeadlessTreeViewPeer& Of(TreeView& tree) { return *static_cast<HeadlessTreeViewPeer*>(tree.Peer()); }

  void Place(Rect bounds, bool visible) override {}
  void SetImages(const std::vector<std::shared_ptr<const Bitmap>>& images, std::uint32_t key) override {
    images_ = images;
    key_ = key;
  }
  NodeId Add(NodeId parent, const std::string& caption, int image, int selectedImage, bool hasChildren) override;
  void DeleteChildren(NodeId node) override;
  void SetHasChildren(NodeId node, bool hasChildren) override { nodes_.at(node).hasChildren = hasChildren; }
  NodeId Selected() override { return selected_; }
  void Select(NodeId node) override { selected_ = node; }
  void SetUpdating(bool updating) override { updating_ = updating; }
  void Focus() override { focused_ = true; }

  // The user's actions: a click on a node's expand button, a key, a typed character.
  void Expand(NodeId node);
  void Collapse(NodeId node);
  void KeyDown(Key key);
  void Type(char c);
  bool Expanded(NodeId node) const { return nodes_.count(node) && nodes_.at(node).expanded; }
  // Shows an expand button: children, or the mark before they are read.
  bool ShowsButton(NodeId node) const;
  // The nodes a user can see, top to bottom.
  std::vector<NodeId> VisibleOrder() const;
  const std::vector<std::shared_ptr<const Bitmap>>& Images() const { return images_; }
  std::uint32_t ImageKey() const { return key_; }
  bool Updating() const { return updating_; }
  bool Focused() const { return focused_; }

 private:
  struct Node {
    NodeId parent = 0;
    std::string caption;
    bool hasChildren = false;
    bool expanded = false;
    std::vector<NodeId> children;
  };
  void Forget(NodeId node);
  void VisibleFrom(const std::vector<NodeId>& level, std::vector<NodeId>& out) const;
  TreeView& tree_;
  Form& owner_;
  std::map<NodeId, Node> nodes_;
  std::vector<NodeId> top_;
  NodeId next_ = 0;
  NodeId selected_ = 0;
  bool updating_ = false;
  bool focused_ = false;
  std::vector<std::shared_ptr<const Bitmap>> images_;
  std::uint32_t key_ = 0;
};

}  // namespace ui::headless
