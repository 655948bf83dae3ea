#include "desktop/About.h"

#include <string>

#include "RaviloVersion.h"

#include "app/Globals.h"
#include "platform/Platform.h"
#include "shell/PetMonitor.h"
#include "shell/main.h"
#include "ui/Application.h"

namespace {
constexpr std::uint32_t kBlue = ui::Rgb(0, 0, 255);
constexpr std::uint32_t kNavy = ui::Rgb(0, 0, 128);
}  // namespace

TAboutForm::TAboutForm()
    : Image1(*this),
      OkButtonImage(*this),
      Label1(*this),
      Label2(*this),
      Label3(*this),
      Label4(*this),
      Label5(*this),
      CloseButtonImage(*this) {
  SetCaption("About");
  SetClientSize(300, 158);
  OkButtonImage.SetPosition(128, 112);
  CloseButtonImage.SetPosition(260, 16);
  const struct {
    ui::Label& label;
    int left, top;
    const char* caption;
    std::uint32_t colour;
  } labels[] = {{Label1, 120, 64, kSite, kBlue},
                {Label2, 120, 88, kSupportMail, kBlue},
                {Label3, 248, 48, RAVILO_ABOUT_VERSION, kNavy},
                {Label4, 48, 64, "Ravilo site:", ui::Rgb(0, 0, 0)},
                {Label5, 48, 88, "Questions to:", ui::Rgb(0, 0, 0)}};
  for (const auto& l : labels) {
    l.label.SetPosition(l.left, l.top);
    l.label.SetCaption(l.caption);
    l.label.SetColour(l.colour);
  }
  OkButtonImage.SetAccessibleName("OK");
  CloseButtonImage.SetAccessibleName("Close");
  Label1.SetAccessible(ui::Role::Link);
  Label2.SetAccessible(ui::Role::Link);
  for (ui::Label* l : {&Label3, &Label4, &Label5}) l->SetAccessible(ui::Role::StaticText);
  Label1.SetCursor(ui::Cursor::Hand);
  Label2.SetCursor(ui::Cursor::Hand);
  Label1.OnClick = [this] { Label1Click(); };
  Label2.OnClick = [this] { Label2Click(); };
  // The version and the two captions drag the window like the background; the links don't.
  for (ui::Label* l : {&Label3, &Label4, &Label5})
    l->OnMouseDown = [this, l](ui::MouseButton button, int x, int y) {
      FormMouseDown(button, x + l->Left(), y + l->Top());
    };
}

void TAboutForm::FormCreate() {
  SetBackground(Image1, "AboutBack", {32, 6});
  const bool loaded = LoadPictures({{&aOk_, "Images\\AboutWindow\\aok.bmp"},
                                    {&iOk_, "Images\\AboutWindow\\iok.bmp"},
                                    {&aExit_, "Images\\ForAllWindows\\aexit.bmp"},
                                    {&iExit_, "Images\\ForAllWindows\\iexit.bmp"}});
  AddPushButton(OkButtonImage, aOk_, iOk_, {126, 110}, {128, 112}, nullptr);
  AddPushButton(CloseButtonImage, aExit_, iExit_, {258, 14}, {260, 16}, nullptr);
  // A release hides the window and leaves the pressed picture; the next showing resets it.
  OkButtonImage.OnMouseUp = [this](ui::MouseButton, int, int) { HideByButton(); };
  CloseButtonImage.OnMouseUp = [this](ui::MouseButton, int, int) { HideByButton(); };
  SetKeyButtons(OkButtonImage, CloseButtonImage);
  if (!loaded && FormMain) FormMain->ReportDamaged();
}

void TAboutForm::FormDestroy() {
  Trace("About::Destroy");
  aOk_.reset();
  iOk_.reset();
  aExit_.reset();
  iExit_.reset();
}

void TAboutForm::ShowAbout() {
  ResetButtons();
  // On the pet's display, unless the user left it somewhere there.
  if (!Visible()) CentreOnPetDisplay(*this, placed_);
  Show();
}

void TAboutForm::HideByButton() { Hide(); }

void TAboutForm::Label1Click() { platform::kernel().ShellExecute("", Label1.Caption(), "", ""); }

void TAboutForm::Label2Click() {
  platform::kernel().ShellExecute("", "mailto:" + Label2.Caption() + "?subject=Ravilo", "", "");
}
