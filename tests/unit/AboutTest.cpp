#include "desktop/About.h"

#include <gtest/gtest.h>

#include <string>

#include "TestEnvironment.h"
#include "alarm/Reestr.h"
#include "desktop/MyMessageBoxUnit.h"
#include "setup/AddDirectoryDialog.h"
#include "setup/PlayListAlarm.h"
#include "setup/SimpleAlarmUnit.h"
#include "shell/main.h"

namespace {

constexpr const char* kDamagedText = "Program is damaged. Try to reinstall the application.";

class AboutTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_FALSE(env.Start()); }

  // The user picks "About" from the tray menu.
  void ChooseAbout() { ASSERT_FALSE(env.ChooseFromTrayMenu("About")); }
  ui::Point At(int x, int y) const { return {AboutForm->Left() + x, AboutForm->Top() + y}; }
  ui::Point Middle(const ui::Control& c) const { return At(c.Left() + c.Width() / 2, c.Top() + c.Height() / 2); }
  // A left drag by (dx, dy) from a screen point.
  void Drag(ui::Point from, int dx, int dy) {
    ASSERT_EQ(env.desktop.Press(from), AboutForm);
    env.desktop.MoveTo({from.x + dx, from.y + dy});
    env.desktop.Release({from.x + dx, from.y + dy});
  }

  TestEnvironment env;
};

TEST_F(AboutTest, ShowsCentredOnceAndEachShowingRestsBothButtons) {
  ASSERT_NE(AboutForm, nullptr);
  EXPECT_FALSE(AboutForm->Visible());
  env.desktop.SetScreen({1280, 800}, {2560, 1024});
  ChooseAbout();
  ASSERT_TRUE(AboutForm->Visible());
  EXPECT_FALSE(AboutForm->TopMost());
  // The middle of the display the pet stands on, not of the whole desktop.
  EXPECT_EQ(AboutForm->Bounds(), (ui::Rect{(1280 - 300) / 2, (800 - 158) / 2, 300, 158}));
  const auto okRest = AboutForm->OkButtonImage.Picture();
  const auto closeRest = AboutForm->CloseButtonImage.Picture();
  ASSERT_NE(okRest, nullptr);
  ASSERT_NE(closeRest, nullptr);

  // Both pressed and held; choosing About again leaves one window with both at rest.
  env.desktop.Press(Middle(AboutForm->OkButtonImage), ui::MouseButton::Right);
  env.desktop.Press(Middle(AboutForm->CloseButtonImage));
  EXPECT_NE(AboutForm->OkButtonImage.Picture(), okRest);
  EXPECT_EQ(AboutForm->OkButtonImage.Left(), 126);
  ChooseAbout();
  EXPECT_TRUE(AboutForm->Visible());
  for (const auto& [image, rest, at] : {std::tuple{&AboutForm->OkButtonImage, okRest, ui::Point{128, 112}},
                                        std::tuple{&AboutForm->CloseButtonImage, closeRest, ui::Point{260, 16}}}) {
    EXPECT_EQ(image->Picture(), rest);
    EXPECT_EQ((ui::Point{image->Left(), image->Top()}), at);
  }
}

TEST_F(AboutTest, ButtonsAndKeysHideItLeavingThePressedLookUntilTheNextShowing) {
  const struct Case {
    const char* name;
    int key;  // 0: a click on the button
    bool close;
  } cases[] = {{"OK", 0, false}, {"close", 0, true}, {"Enter", 13, false}, {"Esc", 27, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ChooseAbout();
    ui::Image& button = c.close ? AboutForm->CloseButtonImage : AboutForm->OkButtonImage;
    const auto rest = button.Picture();
    if (c.key) {
      ui::Application::Instance().Dispatch([&] { AboutForm->HandleKeyPress(char(c.key)); });
      EXPECT_EQ(button.Picture(), rest);
    } else {
      env.desktop.Click(Middle(button));
      EXPECT_NE(button.Picture(), rest);
      EXPECT_EQ(button.Left(), c.close ? 258 : 126);
    }
    EXPECT_FALSE(AboutForm->Visible());
    EXPECT_FALSE(env.RunFor(1000));
  }
  EXPECT_TRUE(env.kernel.shellCalls.empty());
}

TEST_F(AboutTest, LinksShowTheHandAndOnlyALeftClickCallsTheShellLeavingTheWindowOpen) {
  ChooseAbout();
  EXPECT_EQ(AboutForm->Label3.Caption(), "v040");
  const struct {
    ui::Point at;
    ui::Cursor shape;
  } pointers[] = {{Middle(AboutForm->Label1), ui::Cursor::Hand},
                  {Middle(AboutForm->Label2), ui::Cursor::Hand},
                  {Middle(AboutForm->OkButtonImage), ui::Cursor::Arrow},
                  {Middle(AboutForm->Label4), ui::Cursor::Arrow},
                  {At(60, 130), ui::Cursor::Arrow}};
  for (const auto& p : pointers) {
    env.desktop.MoveTo(p.at);
    EXPECT_EQ(env.desktop.PointerShape(), p.shape) << p.at.x << "," << p.at.y;
  }
  for (const ui::MouseButton button : {ui::MouseButton::Right, ui::MouseButton::Middle}) {
    env.desktop.Click(Middle(AboutForm->Label1), button);
    env.desktop.Click(Middle(AboutForm->Label2), button);
  }
  EXPECT_TRUE(env.kernel.shellCalls.empty());
  env.desktop.Click(Middle(AboutForm->Label1));
  env.desktop.Click(Middle(AboutForm->Label2));
  ASSERT_EQ(env.kernel.shellCalls.size(), 2u);
  const auto& site = env.kernel.shellCalls[0];
  EXPECT_EQ(site.verb + "|" + site.file + "|" + site.params + "|" + site.dir, "|www.mirenworks.com||");
  const auto& mail = env.kernel.shellCalls[1];
  EXPECT_EQ(mail.verb + "|" + mail.file + "|" + mail.params + "|" + mail.dir,
            "|mailto:support@mirenworks.com?subject=Ravilo||");
  EXPECT_TRUE(AboutForm->Visible());
}

// The window is hidden nearly all day: its large background is not kept meanwhile, and
// each showing draws it again exactly as the first did.
TEST_F(AboutTest, AHiddenWindowKeepsNoBackgroundAndDrawsTheSameWhenShownAgain) {
  EXPECT_EQ(AboutForm->Image1.Picture(), nullptr);  // created hidden
  const auto showAndCompose = [&] {
    ChooseAbout();
    const ui::Bitmap& surface = AboutForm->Compose();
    EXPECT_NE(AboutForm->Image1.Picture(), nullptr);
    return surface.Pixels();
  };
  const auto first = showAndCompose();
  ASSERT_FALSE(first.empty());
  AboutForm->Hide();
  EXPECT_EQ(AboutForm->Image1.Picture(), nullptr);
  EXPECT_EQ(showAndCompose(), first);
}

TEST_F(AboutTest, DragsByTheBackgroundAndCaptionsOnlyAndOpensAgainWhereLeft) {
  ChooseAbout();
  const struct Case {
    const char* name;
    const ui::Control* control;  // nullptr: a free part of the background
    bool moves;
  } cases[] = {{"background", nullptr, true},
               {"version", &AboutForm->Label3, true},
               {"site caption", &AboutForm->Label4, true},
               {"mail caption", &AboutForm->Label5, true},
               {"site link", &AboutForm->Label1, false},
               {"mail link", &AboutForm->Label2, false},
               {"OK", &AboutForm->OkButtonImage, false},
               {"close", &AboutForm->CloseButtonImage, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (!AboutForm->Visible()) AboutForm->ShowAbout();
    env.kernel.shellCalls.clear();
    const ui::Rect before = AboutForm->Bounds();
    // Released where it was pressed when the window stays put, so that buttons and links act.
    Drag(c.control ? Middle(*c.control) : At(60, 130), c.moves ? -40 : 0, c.moves ? 25 : 0);
    const ui::Rect want = c.moves ? ui::Rect{before.left - 40, before.top + 25, 300, 158} : before;
    EXPECT_EQ(AboutForm->Bounds(), want);
  }
  // The window was last hidden by the close button; it opens where it was left.
  EXPECT_FALSE(AboutForm->Visible());
  const ui::Rect left = AboutForm->Bounds();
  ChooseAbout();
  EXPECT_EQ(AboutForm->Bounds(), left);
}

// The About window, the alarm window and its message box open on the display the pet stands on.
TEST(PetsDisplay, AboutAndTheAlarmWindowOpenWhereThePetIs) {
  TestEnvironment env;
  env.desktop.SetMonitors({{{0, 0, 1280, 800}, {0, 0, 1280, 760}, true},
                           {{-1920, -100, 1920, 1080}, {-1920, -100, 1920, 1040}, false}});
  env.registry.PutDword(TestEnvironment::kKey, "xpos", std::uint32_t(-1500));
  env.registry.PutDword(TestEnvironment::kKey, "ypos", 300);
  ASSERT_FALSE(env.Start());
  const auto choose = [&](const std::string& prefix) {
    env.desktop.MenuChooser = [prefix](const ui::headless::RecordedMenu& menu) {
      for (std::size_t i = 0; i < menu.captions.size(); ++i)
        if (menu.captions[i].rfind(prefix, 0) == 0) return int(i);
      return -1;
    };
    ASSERT_FALSE(env.ClickTrayIcon(ui::TrayEvent::RightClick));
  };
  const auto closeBoth = [&] {
    ui::Application::Instance().Dispatch([] {
      AboutForm->HandleKeyPress(27);
      FormSimpleAlarm->HandleKeyPress(27);
    });
  };
  choose("About");
  choose("Alarm");
  EXPECT_EQ(AboutForm->Bounds(), (ui::Rect{-1920 + (1920 - 300) / 2, -100 + (1040 - 158) / 2, 300, 158}));
  EXPECT_EQ((ui::Point{FormSimpleAlarm->Left(), FormSimpleAlarm->Top()}), (ui::Point{-1920 + 242, -100 + 167}));
  // The message box the alarm window shows, too.
  ui::Point boxAt;
  env.desktop.PostAfter(10, [&] {
    boxAt = {FormMyMessageBox->Left(), FormMyMessageBox->Top()};
    FormMyMessageBox->EndModal(ui::kIdOk);
  });
  ASSERT_FALSE(env.Do([] { MyMessageBox("Message"); }));
  EXPECT_EQ(boxAt, (ui::Point{-1920 + 263, -100 + 163}));
  closeBoth();
  // The pet moves to the primary display: both follow it there.
  FormMain->SetPosition(300, 200);
  choose("About");
  choose("Alarm");
  EXPECT_EQ(AboutForm->Bounds(), (ui::Rect{(1280 - 300) / 2, (760 - 158) / 2, 300, 158}));
  EXPECT_EQ((ui::Point{FormSimpleAlarm->Left(), FormSimpleAlarm->Top()}), (ui::Point{242, 167}));
  // Moved on that display by the user, they open again where they were left.
  AboutForm->SetPosition(20, 30);
  FormSimpleAlarm->SetPosition(700, 300);
  closeBoth();
  choose("About");
  choose("Alarm");
  EXPECT_EQ((ui::Point{AboutForm->Left(), AboutForm->Top()}), (ui::Point{20, 30}));
  EXPECT_EQ((ui::Point{FormSimpleAlarm->Left(), FormSimpleAlarm->Top()}), (ui::Point{700, 300}));
}

// The playlist window and its folder dialog as well, wherever the primary display is: they
// were once placed from the primary's corner by the size of all displays, which with a
// display left of it put them on none.
TEST(PetsDisplay, ThePlaylistWindowAndItsFolderDialogOpenWhereThePetIs) {
  TestEnvironment env;
  env.desktop.SetMonitors({{{0, 0, 1280, 800}, {0, 0, 1280, 760}, true},
                           {{-1920, -100, 1920, 1080}, {-1920, -100, 1920, 1040}, false}});
  env.registry.PutDword(TestEnvironment::kKey, "xpos", std::uint32_t(-1500));
  env.registry.PutDword(TestEnvironment::kKey, "ypos", 300);
  // A whole stored alarm in playlist mode.
  for (const char* name : {"AlarmHour", "AlarmMin", "AlarmIsOn"}) env.registry.PutDword(TestEnvironment::kKey, name, 0);
  env.registry.PutDword(TestEnvironment::kKey, "UsePlayist", 1);
  env.registry.PutString(TestEnvironment::kKey, "AlarmSound", "Sounds\\Alarms\\alarm0.wav");
  env.files.Put(std::string(TestEnvironment::kProgramDir) + "Playlist.txt", FormatListFile({"C:\\one.wav"}));
  ASSERT_FALSE(env.Start());
  TFormPlayListAlarm& w = *FormPlayListAlarm;
  // Opens the window from the tray menu, then the folder dialog from its button; returns
  // where the dialog stood, after the user moved it by `drag` (if at all) and cancelled.
  const auto open = [&](ui::Point drag = {}) {
    EXPECT_FALSE(env.ChooseFromTrayMenu("Alarm ["));
    EXPECT_TRUE(w.Visible());
    ui::Rect dialog;
    env.desktop.PostAfter(10, [&] {
      EXPECT_TRUE(DialogAddDir->Modal());
      dialog = DialogAddDir->Bounds();
      DialogAddDir->SetPosition(dialog.left + drag.x, dialog.top + drag.y);
      env.desktop.RequestClose(*DialogAddDir);
    });
    const ui::Control& add = w.ImageAddDir;
    EXPECT_FALSE(env.Do([&] {
      env.desktop.Click({w.Left() + add.Left() + add.Width() / 2, w.Top() + add.Top() + add.Height() / 2});
    }));
    return dialog;
  };
  const auto centred = [](const ui::Form& f, ui::Rect area) {
    return ui::Rect{area.left + (area.width - f.Width()) / 2, area.top + (area.height - f.Height()) / 2, f.Width(),
                    f.Height()};
  };
  const ui::Rect left{-1920, -100, 1920, 1040}, primary{0, 0, 1280, 760};
  ui::Rect dialog = open();
  EXPECT_EQ(w.Bounds(), centred(w, left));
  EXPECT_EQ(dialog, centred(*DialogAddDir, left));
  ui::Application::Instance().Dispatch([&] { w.HandleKeyPress(27); });
  // The pet moves to the primary display: both follow it there.
  FormMain->SetPosition(300, 200);
  dialog = open({-200, 30});
  EXPECT_EQ(w.Bounds(), centred(w, primary));
  EXPECT_EQ(dialog, centred(*DialogAddDir, primary));
  // Moved on that display by the user, they open again where they were left.
  w.SetPosition(700, 100);
  ui::Application::Instance().Dispatch([&] { w.HandleKeyPress(27); });
  dialog = open();
  EXPECT_EQ((ui::Point{w.Left(), w.Top()}), (ui::Point{700, 100}));
  const ui::Rect first = centred(*DialogAddDir, primary);
  EXPECT_EQ((ui::Point{dialog.left, dialog.top}), (ui::Point{first.left - 200, first.top + 30}));
}

// The About window's bitmaps, and one only the message box loads.
TEST(SkinDamaged, AMissingBitmapIsReportedAndTheProgramEndsWithZero) {
  for (const char* file : {"AboutWindow\\aok.bmp", "AboutWindow\\iok.bmp", "ForAllWindows\\aexit.bmp",
                           "ForAllWindows\\iexit.bmp", "ForAllWindows\\iok.bmp"}) {
    SCOPED_TRACE(file);
    TestEnvironment env;
    env.files.Hide(std::string(TestEnvironment::kProgramDir) + "Images\\" + file);
    EXPECT_EQ(env.Start(), 0);
    // The close button's bitmaps are loaded by both windows; the damage is told once.
    ASSERT_EQ(env.desktop.MessageBoxes().size(), 1u);
    EXPECT_EQ(env.desktop.MessageBoxes()[0].text, kDamagedText);
    EXPECT_EQ(env.desktop.MessageBoxes()[0].caption, "Error");
  }
}

}  // namespace
