#include "desktop/MyMessageBoxUnit.h"

#include "app/Globals.h"
#include "shell/PetMonitor.h"
#include "shell/main.h"
#include "ui/Application.h"

TFormMyMessageBox::TFormMyMessageBox()
    : Image1(*this), ImageOk(*this), LabelText(*this), ImageClose(*this), ImageCancel(*this) {
  SetCaption("FormMyMessageBox");
  SetBounds(263, 163, 383, 170);
  ImageOk.SetPosition(152, 104);
  ImageClose.SetPosition(320, 8);
  ImageCancel.SetPosition(232, 104);
  ImageCancel.SetVisible(false);
  ImageCancel.SetAccessibleName("Cancel");
  // One line that runs on to the right as far as it goes; the window's edge cuts it.
  LabelText.SetPosition(128, 48);
  LabelText.SetAccessible(ui::Role::StaticText);
  ImageOk.SetAccessibleName("OK");
  ImageClose.SetAccessibleName("Close");
}

void TFormMyMessageBox::FormCreate() {
  SetBackground(Image1, "MessageBoxBack", {96, 0});
  const bool loaded = LoadPictures({{&iOk_, "Images\\ForAllWindows\\iok.bmp"},
                                    {&aOk_, "Images\\ForAllWindows\\aok.bmp"},
                                    {&iExit_, "Images\\ForAllWindows\\iexit.bmp"},
                                    {&aExit_, "Images\\ForAllWindows\\aexit.bmp"}}) &&
                      LoadPictures({{&iCancel_, "Images\\ForAllWindows\\icancel.bmp"},
                                    {&aCancel_, "Images\\ForAllWindows\\acancel.bmp"}});
  // The close button first: ResetButtons rests it before the OK button.
  AddPushButton(ImageClose, aExit_, iExit_, {318, 6}, {320, 8},
                [this] { EndModal(asking_ ? ui::kIdCancel : ui::kIdOk); });
  // This OK button's pressed picture sits 2 px right of and below its resting one.
  AddPushButton(ImageOk, aOk_, iOk_, {152, 104}, {150, 102}, [this] {
    ui::Application::Instance().ProcessMessages();
    EndModal(ui::kIdOk);
  });
  AddPushButton(ImageCancel, aCancel_, iCancel_, {230, 102}, {232, 104}, [this] { EndModal(ui::kIdCancel); });
  SetKeyButtons(ImageOk, ImageOk);
  if (!loaded) {
    Trace("Abort Program");
    if (FormMain) FormMain->ReportDamaged();
  }
}

void TFormMyMessageBox::FormDestroy() {
  iOk_.reset();
  aOk_.reset();
  iExit_.reset();
  aExit_.reset();
  iCancel_.reset();
  aCancel_.reset();
}

void TFormMyMessageBox::SetAsking(bool asking) {
  asking_ = asking;
  ImageCancel.SetVisible(asking);
  SetKeyButtons(ImageOk, asking ? ImageCancel : ImageOk);
}

namespace {
int ShowBox(const std::string& text) {
  FormMyMessageBox->ResetButtons();
  FormMyMessageBox->LabelText.SetCaption(text);
  // The window keeps its caption; a screen reader is given the message as the box's name.
  FormMyMessageBox->SetAccessibleName(text);
  // On the pet's display, like the window that asks: at its place counted from that
  // display's corner, unless the user left it somewhere there.
  const ui::Monitor pet = FormMyMessageBox->Visible() ? PetMonitor() : TakePetDisplayScale(*FormMyMessageBox);
  if (!LiesOn(*FormMyMessageBox, pet)) {
    const ui::Point at = PlaceOn(pet, *FormMyMessageBox, {263, 163});
    FormMyMessageBox->SetPosition(at.x, at.y);
  }
  return FormMyMessageBox->ShowModal();
}
}  // namespace

void MyMessageBox(const std::string& text) { ShowBox(text); }

bool MyQuestionBox(const std::string& text) {
  FormMyMessageBox->SetAsking(true);
  const int result = ShowBox(text);
  FormMyMessageBox->SetAsking(false);
  return result == ui::kIdOk;
}
