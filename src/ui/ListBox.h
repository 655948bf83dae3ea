#pragma once
// A list box of one-line texts, several items selectable, as a native child control of its
// form. The items are kept here; which are selected is the control's (the user changes it).
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/Backend.h"
#include "ui/Control.h"

namespace ui {

class ListBox : public Control {
 public:
  explicit ListBox(Form& owner);
  ~ListBox() override;

  int Count() const { return int(items_.size()); }
  const std::string& Item(int index) const { return items_.at(std::size_t(index)); }
  const std::vector<std::string>& Items() const { return items_; }
  void Add(const std::string& text);
  void Delete(int index);
  void Clear();
  bool Selected(int index) const;
  void SetSelected(int index, bool selected);
  int SelCount() const;
  void SetFocus();
  void TakeFocus() override { SetFocus(); }
  // No repainting between the two, so many additions don't flicker or crawl.
  void BeginUpdate();
  void EndUpdate();

  // A double click on an item.
  std::function<void()> OnDblClick;

  ListBoxPeer* Peer() const { return peer_.get(); }
  void Paint(Bitmap& surface) override;
  void CreatePeer() override;
  void ScaleChanged() override;
  void DestroyPeer() override;

  static constexpr int kItemHeight = 13;

 protected:
  void Placed() override;

 private:
  std::vector<std::string> items_;
  std::unique_ptr<ListBoxPeer> peer_;
  bool updating_ = false;
};

}  // namespace ui
