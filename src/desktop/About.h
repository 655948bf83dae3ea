#pragma once
// The About window: the version, a link to the maker's web site and one that starts a mail
// to the maker's support address. Not modal: the pet goes on living while it is open.
#include "shell/SkinnedForm.h"
#include "ui/Image.h"
#include "ui/Label.h"

class TAboutForm : public TSkinnedForm {
 public:
  static constexpr const char* kSite = "www.mirenworks.com";
  static constexpr const char* kSupportMail = "support@mirenworks.com";

  TAboutForm();

  // Puts both buttons to rest and shows the window, centred on the pet's display the
  // first time.
  void ShowAbout();

  // Components, in declared order (later ones above).
  ui::Image Image1;
  ui::Image OkButtonImage;
  ui::Label Label1;
  ui::Label Label2;
  ui::Label Label3;
  ui::Label Label4;
  ui::Label Label5;
  ui::Image CloseButtonImage;

  void Label1Click();
  void Label2Click();

 protected:
  void FormCreate() override;
  void FormDestroy() override;

 private:
  void HideByButton();
  Picture aOk_, iOk_, aExit_, iExit_;
  bool placed_ = false;
};

inline TAboutForm* AboutForm = nullptr;
