#pragma once
// The skinned message box: one line of text, an OK button and a close button, shown
// modally by MyMessageBox. Created once, hidden between messages.
#include <string>

#include "shell/SkinnedForm.h"
#include "ui/Image.h"
#include "ui/Label.h"

class TFormMyMessageBox : public TSkinnedForm {
 public:
  TFormMyMessageBox();

  // Components, in declared order (later ones above).
  ui::Image Image1;
  ui::Image ImageOk;
  ui::Label LabelText;
  ui::Image ImageClose;
  // Shown only while the box asks (MyQuestionBox).
  ui::Image ImageCancel;
  // The box asks: OK or cancel.
  void SetAsking(bool asking);

 protected:
  void FormCreate() override;
  void FormDestroy() override;

 private:
  Picture iOk_, aOk_, iExit_, aExit_, iCancel_, aCancel_;
  bool asking_ = false;
};

inline TFormMyMessageBox* FormMyMessageBox = nullptr;

// Shows the text in the box and returns once the box has been closed.
void MyMessageBox(const std::string& text);
// Asks in the same box, with OK and Cancel: true for OK. Esc and the close button cancel.
bool MyQuestionBox(const std::string& text);
