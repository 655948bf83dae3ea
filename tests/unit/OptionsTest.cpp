#include "desktop/OptionsForm.h"

#include <gtest/gtest.h>

#include <string>

#include "TestEnvironment.h"
#include "alarm/AlarmUnit.h"
#include "alarm/Reestr.h"
#include "desktop/MyMessageBoxUnit.h"
#include "shell/Skin.h"
#include "shell/main.h"

namespace {

constexpr const char* kKey = TestEnvironment::kKey;
constexpr const char* kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const std::string kRunCommand = std::string("\"") + TestEnvironment::kProgramDir + "Ravilo.exe\"";
using O = TFormOptions;

}  // namespace

void PrintTo(const AlarmOptions& o, std::ostream* out) {
  *out << "{days " << o.days << ", snooze " << o.snoozeMinutes << " min, gentle start " << o.rampSeconds
       << " s, ends after " << o.autoStopMinutes << " min, ring when muted " << o.ringWhenMuted << ", pet size "
       << o.petSize << ", hide during full screen " << o.hideFullScreen << "}";
}

namespace {

class OptionsTest : public ::testing::Test {
 protected:
  // The settings are read at start-up: a test that stores some first starts the program itself.
  void SetUp() override {
    if (!StoresFirst()) {
      ASSERT_FALSE(env.Start());
    }
  }
  virtual bool StoresFirst() const { return false; }

  void Open() {
    ASSERT_FALSE(env.ChooseFromTrayMenu("Options\u2026"));
    ASSERT_TRUE(FormOptions->Visible());
  }
  ui::Point Middle(const ui::Control& c) const {
    return {FormOptions->Left() + c.Left() + c.Width() / 2, FormOptions->Top() + c.Top() + c.Height() / 2};
  }
  void Click(const ui::Control& c) { ASSERT_EQ(env.desktop.Click(Middle(c)), FormOptions); }
  void Choose(O::Setting setting, int value) {
    ui::Image* image = FormOptions->ChoiceImage(setting, value);
    ASSERT_NE(image, nullptr);
    Click(*image);
  }
  // Which choices of a row show their chosen picture.
  std::vector<int> Shown(O::Setting setting) const {
    std::vector<int> chosen;
    for (int i = 0; i < O::kChoiceCount; ++i) {
      if (O::kChoices[i].setting != setting) continue;
      const auto& picture = FormOptions->ChoiceImages[std::size_t(i)].Picture();
      const auto on = LoadPictureFile(std::string("Images\\OptionsWindow\\a") + O::kChoices[i].name + ".bmp");
      EXPECT_NE(picture, nullptr);
      if (picture && picture->Pixels() == on->Pixels()) chosen.push_back(O::kChoices[i].value);
    }
    return chosen;
  }
  void Key(char c) {
    ui::Application::Instance().Dispatch([&] { FormOptions->HandleKeyPress(c); });
  }

  TestEnvironment env;
};

class OptionsStoredTest : public OptionsTest {
 protected:
  bool StoresFirst() const override { return true; }
};

TEST_F(OptionsStoredTest, OpensFromTheMenuHiddenUntilThenOnThePetsDisplayShowingTheStoredSettings) {
  // The pet stands on a display right of the primary one.
  env.desktop.SetMonitors({{{0, 0, 1280, 800}, {0, 0, 1280, 760}, true},
                           {{1280, 0, 1920, 1080}, {1280, 0, 1920, 1040}, false}});
  env.registry.PutDword(kKey, "xpos", 1600);
  env.registry.PutDword(kKey, "ypos", 300);
  env.registry.PutDword(kKey, "SnoozeMinutes", 20);
  env.registry.PutDword(kKey, "RampSeconds", 30);
  env.registry.PutDword(kKey, "AutoStopMinutes", 60);
  env.registry.PutDword(kKey, "RingWhenMuted", 0);
  env.registry.PutDword(kKey, "PetSize", 200);
  env.registry.PutDword(kKey, "HideFullScreen", 0);
  env.registry.PutString(kRunKey, "Ravilo", kRunCommand);
  ASSERT_FALSE(env.Start());
  ASSERT_NE(FormOptions, nullptr);
  EXPECT_FALSE(FormOptions->Visible());
  EXPECT_EQ(FormOptions->Caption(), "Options");
  Open();
  EXPECT_EQ(FormOptions->Bounds(), (ui::Rect{1280 + (1920 - 480) / 2, (1040 - 340) / 2, 480, 340}));
  // Dragged by its background, it opens again where it was left.
  const ui::Point from{FormOptions->Left() + 300, FormOptions->Top() + 250};
  ASSERT_EQ(env.desktop.Press(from), FormOptions);
  env.desktop.MoveTo({from.x + 40, from.y + 30});
  env.desktop.Release({from.x + 40, from.y + 30});
  Key(27);
  Open();
  EXPECT_EQ(FormOptions->Bounds(), (ui::Rect{1280 + (1920 - 480) / 2 + 40, (1040 - 340) / 2 + 30, 480, 340}));
  EXPECT_EQ(Shown(O::Snooze), std::vector<int>{20});
  EXPECT_EQ(Shown(O::GentleStart), std::vector<int>{30});
  EXPECT_EQ(Shown(O::RingEnds), std::vector<int>{60});
  EXPECT_FALSE(FormOptions->Edited().ringWhenMuted);
  EXPECT_EQ(Shown(O::PetSize), std::vector<int>{200});
  EXPECT_FALSE(FormOptions->Edited().hideFullScreen);
  EXPECT_TRUE(FormOptions->StartAtLogOn());
  // The Run value of another copy, in another letter case, or without quotes.
  for (const auto& [data, same] : {std::pair{std::string("\"D:\\Other\\Ravilo.exe\""), false},
                                   std::pair{std::string("c:\\program files\\ravilo\\RAVILO.EXE"), true}}) {
    env.registry.PutString(kRunKey, "Ravilo", data);
    Open();
    EXPECT_EQ(FormOptions->StartAtLogOn(), same) << data;
  }
}

TEST_F(OptionsTest, EachChoiceStoresItsOwnValueAndOnlyThatOnOk) {
  const struct Case {
    O::Setting setting;
    int value;
    const char* name;
  } cases[] = {{O::Snooze, 5, "SnoozeMinutes"},      {O::Snooze, 15, "SnoozeMinutes"},
               {O::Snooze, 20, "SnoozeMinutes"},     {O::Snooze, 30, "SnoozeMinutes"},
               {O::GentleStart, 15, "RampSeconds"},  {O::GentleStart, 30, "RampSeconds"},
               {O::GentleStart, 60, "RampSeconds"},  {O::RingEnds, 5, "AutoStopMinutes"},
               {O::RingEnds, 10, "AutoStopMinutes"}, {O::RingEnds, 15, "AutoStopMinutes"},
               {O::RingEnds, 30, "AutoStopMinutes"}, {O::RingEnds, 60, "AutoStopMinutes"},
               {O::PetSize, 100, "PetSize"},         {O::PetSize, 150, "PetSize"},
               {O::PetSize, 200, "PetSize"},         {O::PetSize, 300, "PetSize"}};
  const AlarmOptions defaults;
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.name) + " " + std::to_string(c.value));
    Alarm->SetOptions(defaults);
    Open();
    Choose(c.setting, c.value);
    EXPECT_EQ(Shown(c.setting), std::vector<int>{c.value});
    EXPECT_EQ(int(env.registry.Dword(kKey, c.name)), c.setting == O::Snooze ? 10 : 0) << "stored before OK";
    Click(FormOptions->ImageOk);
    EXPECT_FALSE(FormOptions->Visible());
    EXPECT_EQ(int(env.registry.Dword(kKey, c.name)), c.value);
    AlarmOptions want = defaults;
    (c.setting == O::Snooze        ? want.snoozeMinutes
     : c.setting == O::GentleStart ? want.rampSeconds
     : c.setting == O::PetSize     ? want.petSize
                                   : want.autoStopMinutes) = c.value;
    EXPECT_EQ(Alarm->GetOptions(), want);
    EXPECT_EQ(AlarmOptions::Load(*Reestr), want);
    EXPECT_FALSE(env.registry.Has(kRunKey, "Ravilo"));
  }
  // Auto again, after 300 %.
  Open();
  Choose(O::PetSize, 0);
  Click(FormOptions->ImageOk);
  EXPECT_EQ(env.registry.Dword(kKey, "PetSize"), 0u);
  EXPECT_EQ(Alarm->GetOptions().petSize, 0);
  // The switches, off and on again, each its own value; and the days are the set-up windows' own.
  Alarm->SetDays(31);
  Alarm->Save();
  for (const bool on : {false, true}) {
    Open();
    Click(FormOptions->ImageRingWhenMuted);
    Click(FormOptions->ImageOk);
    EXPECT_EQ(env.registry.Dword(kKey, "RingWhenMuted"), on ? 1u : 0u);
    EXPECT_EQ(Alarm->GetOptions().ringWhenMuted, on);
    EXPECT_EQ(Alarm->GetOptions().hideFullScreen, !on);
    Open();
    Click(FormOptions->ImageHideFullScreen);
    Click(FormOptions->ImageOk);
    EXPECT_EQ(env.registry.Dword(kKey, "HideFullScreen"), on ? 1u : 0u);
    EXPECT_EQ(Alarm->GetOptions().hideFullScreen, on);
    EXPECT_EQ(Alarm->GetOptions().ringWhenMuted, on);
  }
  EXPECT_EQ(env.registry.Dword(kKey, "AlarmDays"), 31u);
  EXPECT_EQ(Alarm->Days(), 31);
}

TEST_F(OptionsTest, CancelEscAndCloseChangeNothing) {
  env.registry.PutString(kRunKey, "Ravilo", kRunCommand);
  const AlarmOptions before = Alarm->GetOptions();
  for (const char* how : {"cancel", "Esc", "close", "close request"}) {
    SCOPED_TRACE(how);
    Open();
    Choose(O::Snooze, 30);
    Choose(O::GentleStart, 60);
    Choose(O::RingEnds, 5);
    Click(FormOptions->ImageRingWhenMuted);
    Click(FormOptions->ImageStartAtLogOn);
    const int writes = env.registry.writes;
    const std::string h = how;
    if (h == "cancel")
      Click(FormOptions->ImageCancel);
    else if (h == "Esc")
      Key(27);
    else if (h == "close")
      Click(FormOptions->ImageClose);
    else
      env.Do([&] { env.desktop.RequestClose(*FormOptions); });
    EXPECT_FALSE(FormOptions->Visible());
    EXPECT_EQ(env.registry.writes, writes);
    EXPECT_EQ(Alarm->GetOptions(), before);
    EXPECT_EQ(env.registry.String(kRunKey, "Ravilo"), kRunCommand);
    // Opened again, it shows what is stored, not the dropped edits.
    Open();
    EXPECT_EQ(Shown(O::Snooze), std::vector<int>{10});
    EXPECT_TRUE(FormOptions->StartAtLogOn());
    Key(27);
  }
  // Enter is OK.
  Open();
  Choose(O::Snooze, 5);
  Key(13);
  EXPECT_FALSE(FormOptions->Visible());
  EXPECT_EQ(Alarm->GetOptions().snoozeMinutes, 5);
}

TEST_F(OptionsTest, TheLogOnSwitchWritesAndRemovesTheInstallersRunValueAndRefusedWritesAreTold) {
  Open();
  EXPECT_FALSE(FormOptions->StartAtLogOn());
  Click(FormOptions->ImageStartAtLogOn);
  Click(FormOptions->ImageOk);
  const platform::fake::FakeValue* value = env.registry.Get(kRunKey, "Ravilo");
  ASSERT_NE(value, nullptr);
  EXPECT_EQ(value->type, platform::RegType::Sz);
  EXPECT_EQ(env.registry.String(kRunKey, "Ravilo"), kRunCommand);
  EXPECT_EQ(value->data.size(), kRunCommand.size() + 1);
  Open();
  EXPECT_TRUE(FormOptions->StartAtLogOn());
  Click(FormOptions->ImageStartAtLogOn);
  Click(FormOptions->ImageOk);
  EXPECT_FALSE(env.registry.Has(kRunKey, "Ravilo"));
  // Left as it is, another copy's value stays; turned on, it names this copy.
  env.registry.PutString(kRunKey, "Ravilo", "\"D:\\Other\\Ravilo.exe\"");
  Open();
  Click(FormOptions->ImageOk);
  EXPECT_EQ(env.registry.String(kRunKey, "Ravilo"), "\"D:\\Other\\Ravilo.exe\"");
  Open();
  Click(FormOptions->ImageStartAtLogOn);
  Click(FormOptions->ImageOk);
  EXPECT_EQ(env.registry.String(kRunKey, "Ravilo"), kRunCommand);
  // A refused write is told, and the alarm's settings are stored all the same.
  env.registry.failingWrites.insert("Ravilo");
  std::string told = "(no message)";
  Open();
  Choose(O::Snooze, 15);
  Click(FormOptions->ImageStartAtLogOn);
  env.desktop.PostAfter(50, [&] {
    if (!FormMyMessageBox->Modal()) return;
    told = FormMyMessageBox->LabelText.Caption();
    ui::Application::Instance().Dispatch([] { FormMyMessageBox->HandleKeyPress(13); });
  });
  Click(FormOptions->ImageOk);
  EXPECT_EQ(told, "Could not change whether Ravilo starts when you log on.");
  EXPECT_EQ(Alarm->GetOptions().snoozeMinutes, 15);
  EXPECT_EQ(env.registry.String(kRunKey, "Ravilo"), kRunCommand);
  // A refused write of the alarm's settings is shown, and the window stays with its edits.
  env.registry.failingWrites = {"SnoozeMinutes"};
  Open();
  Choose(O::Snooze, 30);
  Click(FormOptions->ImageOk);
  ASSERT_FALSE(env.desktop.MessageBoxes().empty());
  EXPECT_NE(env.desktop.MessageBoxes().back().text.find("SnoozeMinutes"), std::string::npos);
  EXPECT_TRUE(FormOptions->Visible());
  EXPECT_EQ(Shown(O::Snooze), std::vector<int>{30});
}

TEST_F(OptionsStoredTest, AWrongStoredValueShowsTheDefaultAndAnUnlistedRingEndIsKept) {
  env.registry.PutDword(kKey, "SnoozeMinutes", 7);
  env.registry.PutDword(kKey, "RampSeconds", 45);
  env.registry.PutString(kKey, "RingWhenMuted", "yes");
  env.registry.PutDword(kKey, "AutoStopMinutes", 90);
  env.registry.PutDword(kKey, "PetSize", 125);
  env.registry.PutString(kKey, "HideFullScreen", "no");
  ASSERT_FALSE(env.Start());
  Open();
  EXPECT_EQ(Shown(O::Snooze), std::vector<int>{10});
  EXPECT_EQ(Shown(O::GentleStart), std::vector<int>{0});
  EXPECT_TRUE(FormOptions->Edited().ringWhenMuted);
  EXPECT_EQ(Shown(O::PetSize), std::vector<int>{0});  // a size not offered reads as Auto
  EXPECT_TRUE(FormOptions->Edited().hideFullScreen);
  // 90 minutes is honoured but not offered: no choice shows, and OK keeps it.
  EXPECT_EQ(Shown(O::RingEnds), std::vector<int>{});
  Choose(O::Snooze, 20);
  Click(FormOptions->ImageOk);
  EXPECT_EQ(env.registry.Dword(kKey, "AutoStopMinutes"), 90u);
  EXPECT_EQ(env.registry.Dword(kKey, "SnoozeMinutes"), 20u);
}

TEST_F(OptionsTest, TheRingingSnoozeButtonShowsTheChosenLength) {
  // Whether the button shows that file's picture (compared by pixels: a long list to print).
  auto shows = [&](const char* name) {
    return FormMain->Image10MinMore.Picture()->Pixels() ==
           LoadPictureFile(std::string("Images\\MainWindow\\") + name)->Pixels();
  };
  ui::Image& snooze = FormMain->Image10MinMore;
  // Unchanged, the layout's own first picture of ten minutes.
  const auto first = snooze.Picture();
  FormMain->ShowRingingLayout();
  EXPECT_EQ(snooze.Picture(), first);
  FormMain->ShowNormalLayout();
  Open();
  Choose(O::Snooze, 5);
  Click(FormOptions->ImageOk);
  FormMain->ShowRingingLayout();
  EXPECT_TRUE(shows("i5minmore.bmp"));
  const ui::Point at{FormMain->Left() + 312 + 70, FormMain->Top() + 136 + 50};
  env.desktop.Press(at);
  EXPECT_TRUE(shows("a5minmore.bmp"));
  env.desktop.Release(at);
  EXPECT_TRUE(shows("i5minmore.bmp"));
  EXPECT_FALSE(snooze.Visible());
}

}  // namespace
