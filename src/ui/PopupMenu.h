#pragma once
// A popup menu: items in display order, each with a caption ("-" is a separator), a check
// mark, a click handler, and whether it is shown at all.
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace ui {

class MenuItem {
 public:
  explicit MenuItem(std::string caption) : caption_(std::move(caption)) {}
  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string caption) { caption_ = std::move(caption); }
  bool Checked() const { return checked_; }
  void SetChecked(bool checked) { checked_ = checked; }
  bool Visible() const { return visible_; }
  void SetVisible(bool visible) { visible_ = visible; }
  bool IsSeparator() const { return caption_ == "-"; }
  std::function<void()> OnClick;

 private:
  std::string caption_;
  bool checked_ = false;
  bool visible_ = true;
};

class PopupMenu {
 public:
  MenuItem& Add(const std::string& caption);
  int Count() const { return int(items_.size()); }
  MenuItem& Item(int index) { return *items_.at(std::size_t(index)); }
  // The first item whose caption matches, compared without regard to case and ignoring the
  // accelerator marker '&'; nullptr when none does.
  MenuItem* Find(const std::string& caption);
  // Runs the item's click handler through the application's dispatcher.
  void Click(int index);

 private:
  std::vector<std::unique_ptr<MenuItem>> items_;
};

}  // namespace ui
