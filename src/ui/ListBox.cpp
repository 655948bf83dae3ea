#include "ui/ListBox.h"

#include <algorithm>

#include "ui/Application.h"
#include "ui/Form.h"
#include "ui/Label.h"
#include "ui/Rescale.h"

namespace ui {

ListBox::ListBox(Form& owner) : Control(owner) { SetFocusKind(FocusKind::Native); }
ListBox::~ListBox() = default;

void ListBox::CreatePeer() {
  peer_ = Application::Instance().GetBackend().CreateListBoxPeer(*this, Owner());
  for (const auto& item : items_) peer_->Add(item);
  Placed();
}

void ListBox::DestroyPeer() { peer_.reset(); }

void ListBox::ScaleChanged() {
  if (!peer_) return;
  peer_->SetScale(Owner().Scale());
  Placed();
}

void ListBox::Placed() {
  if (!peer_) return;
  peer_->Place(Owner().ToScreenPart(Bounds()), Visible());
}

void ListBox::Add(const std::string& text) {
  items_.push_back(text);
  if (peer_) peer_->Add(text);
  // Thousands of additions in a row repaint the form once, at EndUpdate.
  if (!updating_) Invalidate();
}

void ListBox::Delete(int index) {
  if (index < 0 || index >= Count()) return;
  items_.erase(items_.begin() + index);
  if (peer_) peer_->Delete(index);
  Invalidate();
}

void ListBox::Clear() {
  items_.clear();
  if (peer_) peer_->Clear();
  Invalidate();
}

bool ListBox::Selected(int index) const {
  if (index < 0 || index >= Count() || !peer_) return false;
  return peer_->Selected(index);
}

void ListBox::SetSelected(int index, bool selected) {
  if (index >= 0 && index < Count() && peer_) peer_->SetSelected(index, selected);
}

int ListBox::SelCount() const { return peer_ ? peer_->SelCount() : 0; }

void ListBox::SetFocus() {
  if (peer_) peer_->Focus();
}

void ListBox::BeginUpdate() {
  updating_ = true;
  if (peer_) peer_->SetUpdating(true);
}

void ListBox::EndUpdate() {
  updating_ = false;
  if (peer_) peer_->SetUpdating(false);
  Invalidate();
}

void ListBox::Paint(Bitmap& surface) {
  // What the native control shows, for captures of the headless desktop: a white box with
  // the items one under the other (the Windows control paints over it).
  const Rect box = Owner().ToScreenPart(Bounds());
  surface.FillRect(box, Rgb(255, 255, 255));
  auto& backend = Application::Instance().GetBackend();
  const int scale = Owner().Scale();
  const int itemHeight = ScaledLength(kItemHeight, scale);
  for (int i = 0; i < Count() && (i + 1) * itemHeight <= box.height; ++i)
    backend.DrawText(surface, {box.left + 2, box.top + i * itemHeight, box.width - 4, itemHeight},
                     items_[std::size_t(i)], Font{"MS Sans Serif", -ScaledLength(11, scale)}, Rgb(0, 0, 0));
}

}  // namespace ui
