#include "desktop/MyMessageBoxUnit.h"

#include "app/Globals.h"
#include "shell/PetMonitor.h"
#include "shell/main.h"
#include "ui/Application.h"

TFormMyMessageBox::TFormMyMessageBox() : Image1(*this), ImageOk(*this), LabelText(*this), ImageClose(*this) {
  SetCaption("FormMyMessageBox");
  SetBounds(263, 163, 383, 170);
  ImageOk.SetPosition(152, 104);
  ImageClose.SetPosition(320, 8);
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
                                    {&aExit_, "Images\\ForAllWindows\\aexit.bmp"}});
  // The close button first: ResetButtons rests it before the OK button.
  AddPushButton(ImageClose, aExit_, iExit_, {318, 6}, {320, 8}, [this] { EndModal(ui::kIdOk); });
  // This OK button's pressed picture sits 2 px right of and below its resting one.
  AddPushButton(ImageOk, aOk_, iOk_, {152, 104}, {150, 102}, [this] {
    ui::Application::Instance().ProcessMessages();
    EndModal(ui::kIdOk);
  });
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
}

void MyMessageBox(const std::string& text) {
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
  FormMyMessageBox->ShowModal();
}
