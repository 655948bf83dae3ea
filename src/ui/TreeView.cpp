#include "ui/TreeView.h"

#include <algorithm>

#include "ui/Application.h"
#include "ui/Form.h"
#include "ui/ScaledArt.h"

namespace ui {

TreeView::TreeView(Form& owner) : Control(owner) { SetFocusKind(FocusKind::Native); }
TreeView::~TreeView() = default;

void TreeView::CreatePeer() {
  // Made with its form, before the form's creation handler fills it.
  peer_ = Application::Instance().GetBackend().CreateTreeViewPeer(*this, Owner());
  if (!images_.empty()) peer_->SetImages(ShownImages(), key_);
  Placed();
}

void TreeView::ScaleChanged() {
  if (!peer_) return;
  peer_->SetScale(Owner().Scale());
  if (!images_.empty()) peer_->SetImages(ShownImages(), key_);
  Placed();
}

std::vector<std::shared_ptr<const Bitmap>> TreeView::ShownImages() const {
  std::vector<std::shared_ptr<const Bitmap>> shown;
  for (const auto& image : images_) shown.push_back(PictureAt(image, Owner().Scale()));
  return shown;
}

void TreeView::DestroyPeer() { peer_.reset(); }

void TreeView::Placed() {
  if (!peer_) return;
  peer_->Place(Owner().ToScreenPart(Bounds()), Visible());
}

void TreeView::SetImages(std::vector<std::shared_ptr<const Bitmap>> images, std::uint32_t key) {
  images_ = std::move(images);
  key_ = key;
  if (peer_) peer_->SetImages(ShownImages(), key_);
}

TreeNode& TreeView::Add(TreeNode* parent, const std::string& caption, int image, int selectedImage, bool hasChildren) {
  TreeNode& under = parent ? *parent : root_;
  auto node = std::make_unique<TreeNode>();
  node->caption = caption;
  node->image = image;
  node->selectedImage = selectedImage;
  node->hasChildren = hasChildren;
  node->parent = parent;
  node->id = peer_ ? peer_->Add(parent ? parent->id : 0, caption, image, selectedImage, hasChildren) : ++nextLocalId_;
  byId_[node->id] = node.get();
  under.children.push_back(std::move(node));
  return *under.children.back();
}

void TreeView::Forget(TreeNode& node) {
  for (auto& c : node.children) Forget(*c);
  byId_.erase(node.id);
}

void TreeView::DeleteChildren(TreeNode& node) {
  if (peer_) peer_->DeleteChildren(node.id);
  for (auto& c : node.children) Forget(*c);
  node.children.clear();
}

void TreeView::SetHasChildren(TreeNode& node, bool hasChildren) {
  node.hasChildren = hasChildren;
  if (peer_) peer_->SetHasChildren(node.id, hasChildren);
}

TreeNode* TreeView::NodeById(TreeViewPeer::NodeId id) const {
  auto it = byId_.find(id);
  return it == byId_.end() ? nullptr : it->second;
}

TreeNode* TreeView::Selected() const { return peer_ ? NodeById(peer_->Selected()) : nullptr; }

void TreeView::Select(TreeNode* node) {
  if (peer_) peer_->Select(node ? node->id : 0);
}

void TreeView::BeginUpdate() {
  if (peer_) peer_->SetUpdating(true);
}

void TreeView::EndUpdate() {
  if (peer_) peer_->SetUpdating(false);
}

void TreeView::SetFocus() {
  if (peer_) peer_->Focus();
}

void TreeView::HandleExpanding(TreeViewPeer::NodeId id) {
  TreeNode* node = NodeById(id);
  if (node && OnExpanding) Application::Instance().Dispatch([&] { OnExpanding(*node); });
}

void TreeView::Paint(Bitmap& surface) {
  // A white box where the native control stands (it paints over it on Windows).
  surface.FillRect(Owner().ToScreenPart(Bounds()), Rgb(255, 255, 255));
}

}  // namespace ui
