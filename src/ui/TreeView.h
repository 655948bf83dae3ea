#pragma once
// A tree of captioned nodes with images, as a native child control of its form. The nodes
// are kept here, each with its peer's id; the control keeps which node is selected and
// which are expanded, and asks before it expands a node (so children can be read lazily).
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ui/Backend.h"
#include "ui/Control.h"

namespace ui {

class TreeNode {
 public:
  const std::string& Caption() const { return caption; }
  int ImageIndex() const { return image; }
  int SelectedIndex() const { return selectedImage; }
  bool HasChildren() const { return hasChildren; }
  TreeNode* Parent() const { return parent; }
  int Count() const { return int(children.size()); }
  TreeNode& Child(int i) const { return *children.at(std::size_t(i)); }
  TreeViewPeer::NodeId Id() const { return id; }

 private:
  friend class TreeView;
  std::string caption;
  int image = 0, selectedImage = 0;
  bool hasChildren = false;
  TreeNode* parent = nullptr;
  std::vector<std::unique_ptr<TreeNode>> children;
  TreeViewPeer::NodeId id = 0;
};

class TreeView : public Control {
 public:
  explicit TreeView(Form& owner);
  ~TreeView() override;

  void SetImages(std::vector<std::shared_ptr<const Bitmap>> images, std::uint32_t key);
  // Adds a node under parent (nullptr: a top-level node).
  TreeNode& Add(TreeNode* parent, const std::string& caption, int image, int selectedImage, bool hasChildren);
  void DeleteChildren(TreeNode& node);
  void SetHasChildren(TreeNode& node, bool hasChildren);
  int Count() const { return root_.Count(); }
  TreeNode& Item(int i) const { return root_.Child(i); }
  // The selected node, or nullptr.
  TreeNode* Selected() const;
  void Select(TreeNode* node);
  // No repainting between the two, so a refill does not flicker.
  void BeginUpdate();
  void EndUpdate();
  void SetFocus();
  void TakeFocus() override { SetFocus(); }

  // A node is about to expand (every time); the expansion goes ahead.
  std::function<void(TreeNode&)> OnExpanding;

  // Used by the peer.
  TreeNode* NodeById(TreeViewPeer::NodeId id) const;
  void HandleExpanding(TreeViewPeer::NodeId id);

  TreeViewPeer* Peer() const { return peer_.get(); }
  void Paint(Bitmap& surface) override;
  void CreatePeer() override;
  void ScaleChanged() override;
  void DestroyPeer() override;

 protected:
  void Placed() override;

 private:
  // The images as drawn at the form's scale.
  std::vector<std::shared_ptr<const Bitmap>> ShownImages() const;
  void Forget(TreeNode& node);
  TreeNode root_;
  std::map<TreeViewPeer::NodeId, TreeNode*> byId_;
  std::vector<std::shared_ptr<const Bitmap>> images_;
  std::uint32_t key_ = 0;
  std::unique_ptr<TreeViewPeer> peer_;
  TreeViewPeer::NodeId nextLocalId_ = 0;
};

}  // namespace ui
