#pragma once
// A single-line text field as a native child control of its form (an EDIT on Windows). The
// text is the control's while it has a peer; Text() asks it.
#include <memory>
#include <string>

#include "ui/Backend.h"
#include "ui/Control.h"

namespace ui {

class Edit : public Control {
 public:
  explicit Edit(Form& owner);
  ~Edit() override;

  std::string Text() const;
  void SetText(const std::string& text);
  // In characters; 0 for no limit.
  void SetMaxLength(int chars);
  void SetFocus();
  void TakeFocus() override { SetFocus(); }
  // A reader is told the text as the field's value.
  std::string AccessibleValue() const override { return Text(); }

  EditPeer* Peer() const { return peer_.get(); }
  void Paint(Bitmap& surface) override;
  void CreatePeer() override;
  void ScaleChanged() override;
  void DestroyPeer() override;

 protected:
  void Placed() override;

 private:
  std::string text_;
  int maxLength_ = 0;
  std::unique_ptr<EditPeer> peer_;
};

}  // namespace ui
