#include "setup/SimpleAlarmUnit.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <vector>
#include <string>

#include "TestEnvironment.h"
#include "alarm/AlarmUnit.h"
#include "alarm/Reestr.h"
#include "alarm/SoundSystemForm.h"
#include "desktop/MyMessageBoxUnit.h"
#include "setup/PlayListAlarm.h"
#include "shell/main.h"
#include "ui/headless/HeadlessControls.h"

namespace {

constexpr const char* kKey = TestEnvironment::kKey;

class SimpleAlarmTest : public ::testing::Test {
 protected:
  // The stored alarm: 06:30, off, with the given sound.
  void Start(const std::string& sound = "Sounds\\Alarms\\alarm0.wav", bool playlistMode = false) {
    env.registry.PutDword(kKey, "AlarmHour", 6);
    env.registry.PutDword(kKey, "AlarmMin", 30);
    env.registry.PutDword(kKey, "AlarmIsOn", 0);
    env.registry.PutDword(kKey, "UsePlayist", playlistMode ? 1 : 0);
    env.registry.PutString(kKey, "AlarmSound", sound);
    ASSERT_FALSE(env.Start());
    ASSERT_NE(FormSimpleAlarm, nullptr);
    EXPECT_FALSE(w().Visible());
  }
  // The tray menu's "Alarm" command.
  void ChooseAlarm() { ASSERT_FALSE(env.ChooseFromTrayMenu("Alarm [")); }
  static TFormSimpleAlarm& w() { return *FormSimpleAlarm; }
  static ui::Point Middle(const ui::Control& c) {
    return {w().Left() + c.Left() + c.Width() / 2, w().Top() + c.Top() + c.Height() / 2};
  }
  void Click(const ui::Control& c) {
    ASSERT_FALSE(env.Do([&] { env.desktop.Click(Middle(c)); }));
  }
  void Key(char c) {
    ASSERT_FALSE(env.Do([&] { ui::Application::Instance().Dispatch([&] { w().HandleKeyPress(c); }); }));
  }
  // Runs `act`, which should open the message box; answers it with Enter and returns its text.
  std::string Answered(const std::function<void()>& act) {
    std::string text = "(no message)";
    env.desktop.PostAfter(50, [&] {
      if (!FormMyMessageBox->Modal()) return;
      text = FormMyMessageBox->LabelText.Caption();
      ui::Application::Instance().Dispatch([] { FormMyMessageBox->HandleKeyPress(13); });
    });
    act();
    EXPECT_FALSE(FormMyMessageBox->Visible());
    return text;
  }
  std::string Shown() const { return w().MaskEditHour.Caption() + ":" + w().MaskEditMin.Caption(); }

  TestEnvironment env;
};

TEST_F(SimpleAlarmTest, OpensFromTheTrayWithTheAlarmsValuesWhateverItShowedBefore) {
  env.registry.PutDword(kKey, "AlarmDays", 0x1F);  // Monday to Friday
  Start("C:\\Music\\wake up.wav");
  ChooseAlarm();
  ASSERT_TRUE(w().Visible());
  EXPECT_EQ(w().Bounds(), (ui::Rect{242, 167, 371, 376}));
  EXPECT_EQ(w().Caption(), "Alarm(simple mode)");
  EXPECT_EQ(Shown(), "06:30");
  EXPECT_EQ(w().LabelMusic.Caption(), "wake up.wav");
  EXPECT_EQ(w().SoundFile(), "C:\\Music\\wake up.wav");
  EXPECT_FALSE(w().OnOffState());
  const auto off = w().ImageOnOff.Picture();
  EXPECT_EQ(w().Days.Days(), 0x1F);
  ui::Image& saturday = w().Days.Button(5);
  const auto saturdayOff = saturday.Picture();
  ASSERT_NE(saturdayOff, nullptr);
  EXPECT_NE(w().Days.Button(4).Picture(), nullptr);

  // Edits, then each way of leaving without OK; the next opening shows the alarm again.
  const struct Way {
    const char* name;
    std::function<void()> leave;
  } ways[] = {{"cancel", [&] { Click(w().ImageCancel); }},
              {"close", [&] { Click(w().ImageClose); }},
              {"Esc", [&] { Key(27); }},
              {"system close", [&] { EXPECT_FALSE(env.desktop.RequestClose(w())); }},
              {"playlist mode", [&] { Click(w().ImagePlayListMode); }}};
  for (const Way& way : ways) {
    SCOPED_TRACE(way.name);
    Click(w().ImageUp1);
    Click(w().ImageDown2);
    Click(w().ImageOnOff);
    Click(saturday);
    EXPECT_TRUE(w().OnOffState());
    EXPECT_NE(w().ImageOnOff.Picture(), off);
    EXPECT_EQ(w().Days.Days(), 0x3F);
    EXPECT_NE(saturday.Picture(), saturdayOff);
    EXPECT_EQ(Shown(), "07:29");
    way.leave();
    EXPECT_FALSE(w().Visible());
    EXPECT_EQ(Alarm->GetHour() * 100 + Alarm->GetMinute(), 630);
    EXPECT_FALSE(Alarm->IsOn());
    ChooseAlarm();
    ASSERT_TRUE(w().Visible());
    EXPECT_EQ(Shown(), "06:30");
    EXPECT_FALSE(w().OnOffState());
    EXPECT_EQ(w().ImageOnOff.Picture(), off);
    EXPECT_EQ(w().Days.Days(), 0x1F);
    EXPECT_EQ(saturday.Picture(), saturdayOff);
    EXPECT_EQ(Alarm->Days(), 0x1F);
  }
  EXPECT_EQ(FormMain->SetAlarmTime1.Caption(), "Alarm [off]");
}

TEST_F(SimpleAlarmTest, InPlaylistModeTheTrayCommandOpensThePlaylistWindowInstead) {
  Start("Sounds\\Alarms\\alarm0.wav", true);
  ChooseAlarm();
  EXPECT_FALSE(w().Visible());
  EXPECT_TRUE(FormPlayListAlarm->Visible());
}

TEST_F(SimpleAlarmTest, PlaylistModeDropsTheEditsAndOpensThePlaylistWindowWithTheAlarmsValues) {
  Start();
  ChooseAlarm();
  Click(w().ImageUp1);
  Click(w().ImageOnOff);
  Click(w().ImagePlayListMode);
  EXPECT_FALSE(w().Visible());
  ASSERT_TRUE(FormPlayListAlarm->Visible());
  EXPECT_EQ(FormPlayListAlarm->MaskEditHour.Caption() + ":" + FormPlayListAlarm->MaskEditMin.Caption(), "06:30");
  EXPECT_FALSE(FormPlayListAlarm->OnOffState());
  EXPECT_FALSE(Alarm->IsPlaylistMode());
  EXPECT_EQ(env.registry.Dword(kKey, "UsePlayist"), 0u);
}

TEST_F(SimpleAlarmTest, OkAndEnterStoreTheValuesAndTheTrayFollows) {
  Start();
  const struct Case {
    const char* name;
    bool enter;
    bool switchOn;
    const char* caption;
  } cases[] = {{"OK, on", false, true, "Alarm [on]"}, {"Enter, off", true, false, "Alarm [off]"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ChooseAlarm();
    if (c.switchOn != w().OnOffState()) Click(w().ImageOnOff);
    Click(w().ImageUp1);
    Click(w().ImageUp2);
    Click(w().Days.Button(6));  // Sunday off, then on again
    const int hour = Alarm->GetHour() + 1, minute = Alarm->GetMinute() + 1;
    if (c.enter)
      Key(13);
    else
      Click(w().ImageOk);
    EXPECT_FALSE(w().Visible());
    EXPECT_EQ(Alarm->IsOn(), c.switchOn);
    EXPECT_EQ(env.registry.Dword(kKey, "AlarmIsOn"), c.switchOn ? 1u : 0u);
    EXPECT_EQ(env.registry.Dword(kKey, "AlarmHour"), unsigned(hour));
    EXPECT_EQ(env.registry.Dword(kKey, "AlarmMin"), unsigned(minute));
    EXPECT_EQ(env.registry.Dword(kKey, "UsePlayist"), 0u);
    EXPECT_EQ(env.registry.Dword(kKey, "AlarmDays"), c.enter ? 0x7Fu : 0x3Fu);
    EXPECT_EQ(env.registry.String(kKey, "AlarmSound"), "Sounds\\Alarms\\alarm0.wav");
    EXPECT_EQ(FormMain->SetAlarmTime1.Caption(), c.caption);
  }
}

TEST_F(SimpleAlarmTest, OkWithNoDayChosenIsRefusedAndStoresNothing) {
  env.registry.PutDword(kKey, "AlarmDays", 0x04);  // Wednesday only
  Start();
  ChooseAlarm();
  Click(w().Days.Button(2));
  Click(w().ImageUp1);
  EXPECT_EQ(w().Days.Days(), 0);
  EXPECT_EQ(Answered([&] { Click(w().ImageOk); }), "Choose at least one day\nfor the alarm.");
  EXPECT_TRUE(w().Visible());
  EXPECT_EQ(Shown(), "07:30");
  EXPECT_EQ(env.registry.Dword(kKey, "AlarmDays"), 0x04u);
  EXPECT_EQ(env.registry.Dword(kKey, "AlarmHour"), 6u);
  EXPECT_EQ(Alarm->Days(), 0x04);

  Click(w().Days.Button(0));
  Click(w().ImageOk);
  EXPECT_FALSE(w().Visible());
  EXPECT_EQ(env.registry.Dword(kKey, "AlarmDays"), 0x01u);
  EXPECT_EQ(env.registry.Dword(kKey, "AlarmHour"), 7u);
}

TEST_F(SimpleAlarmTest, OkWithAMissingSoundFileTellsItsFullPathAndStoresNothing) {
  Start("C:\\Music\\gone.wav");
  ChooseAlarm();
  Click(w().ImageOnOff);
  const std::string text = Answered([&] { Click(w().ImageOk); });
  EXPECT_EQ(text, "File C:\\Music\\gone.wav wasn\"t found. It may have been moved or deleted.");
  EXPECT_TRUE(w().Visible());
  EXPECT_TRUE(w().OnOffState());
  EXPECT_FALSE(Alarm->IsOn());
  EXPECT_EQ(env.registry.Dword(kKey, "AlarmIsOn"), 0u);
  EXPECT_EQ(FormMain->SetAlarmTime1.Caption(), "Alarm [off]");

  // Once the file is there, OK goes through.
  env.files.Put("C:\\Music\\gone.wav", "not checked here");
  Click(w().ImageOk);
  EXPECT_FALSE(w().Visible());
  EXPECT_TRUE(Alarm->IsOn());
}

TEST_F(SimpleAlarmTest, TestPlaysUntilStoppedOrTheWindowHides) {
  Start();
  const struct Way {
    const char* name;
    std::function<void()> act;
    bool hides;
  } ways[] = {{"Test again", [&] { Click(w().ImageTest); }, false},
              {"OK", [&] { Click(w().ImageOk); }, true},
              {"cancel", [&] { Click(w().ImageCancel); }, true},
              {"Esc", [&] { Key(27); }, true},
              {"system close", [&] { env.desktop.RequestClose(w()); }, true},
              {"playlist mode", [&] { Click(w().ImagePlayListMode); }, true},
              {"change", [&] { Click(w().ImageChange); }, false}};
  ChooseAlarm();
  const auto testLook = w().ImageTest.Picture();
  for (const Way& way : ways) {
    SCOPED_TRACE(way.name);
    Click(w().ImageTest);
    EXPECT_EQ(w().TestState(), "Stop");
    EXPECT_TRUE(SoundSystem->IsActive());
    EXPECT_TRUE(env.media.Sounding());
    EXPECT_NE(w().ImageTest.Picture(), testLook);
    way.act();
    EXPECT_EQ(w().Visible(), !way.hides);
    EXPECT_EQ(w().TestState(), "Test");
    EXPECT_FALSE(SoundSystem->IsActive());
    EXPECT_FALSE(env.media.Sounding());
    // A hidden window keeps the stop look until it opens again.
    if (way.hides) ChooseAlarm();
    EXPECT_EQ(w().ImageTest.Picture(), testLook);
    EXPECT_EQ((ui::Point{w().ImageTest.Left(), w().ImageTest.Top()}), (ui::Point{232, 240}));
  }
}

// A ring that starts while a set-up window's test or preview plays takes the sound over;
// the window's controls then stop only what the window itself started.
TEST_F(SimpleAlarmTest, ARingThatStartsDuringATestOrPreviewOutlastsEveryControlOfTheWindows) {
  const std::string wav = std::string(TestEnvironment::kProgramDir) + "Sounds\\Alarms\\alarm0.wav";
  env.files.Put(std::string(TestEnvironment::kProgramDir) + "Playlist.txt", FormatListFile({wav}));
  env.kernel.SetTimeOfDay(6, 20, 0);
  Start();
  TFormPlayListAlarm& p = *FormPlayListAlarm;
  auto click = [&](ui::Control& c) {
    ui::Form& f = c.Owner();
    const ui::Point at{f.Left() + c.Left() + c.Width() / 2, f.Top() + c.Top() + c.Height() / 2};
    ASSERT_FALSE(env.Do([&] { env.desktop.Click(at); }));
  };
  auto simpleTest = [&] {
    ASSERT_FALSE(env.Do([] { FormSimpleAlarm->OpenWindow(); }));
    w().SetPosition(0, 0);  // clear of the ringing pet in the middle
    click(w().ImageTest);
    ASSERT_EQ(w().TestState(), "Stop");
  };
  auto preview = [&] {
    ASSERT_FALSE(env.Do([] { FormPlayListAlarm->OpenWindow(); }));
    p.SetPosition(0, 0);
    ASSERT_FALSE(env.Do([&] { ui::headless::HeadlessListBoxPeer::Of(p.ListBoxPlayList).DoubleClick(0); }));
    ASSERT_TRUE(p.ImageStop.Visible());
  };
  env.desktop.OpenDialogAnswer = [](const ui::headless::HeadlessBackend::OpenDialogCall&) {
    return std::optional<std::vector<std::string>>();
  };
  const struct Way {
    const char* name;
    std::function<void()> start, act;
  } ways[] = {{"OK", simpleTest, [&] { click(w().ImageOk); }},
              {"cancel", simpleTest, [&] { click(w().ImageCancel); }},
              {"system close", simpleTest, [&] { env.desktop.RequestClose(w()); }},
              {"change", simpleTest, [&] { click(w().ImageChange); }},
              {"test again", simpleTest, [&] { click(w().ImageTest); }},
              {"playlist mode", simpleTest, [&] { click(w().ImagePlayListMode); }},
              {"playlist stop", preview, [&] { click(p.ImageStop); }},
              {"playlist cancel", preview, [&] { click(p.ImageCancel); }},
              {"playlist close", preview, [&] { env.desktop.RequestClose(p); }},
              {"playlist OK", preview, [&] { click(p.ImageOk); }}};
  for (const Way& way : ways) {
    SCOPED_TRACE(way.name);
    // The alarm is due at the next full minute; the window's own sound starts 5 s before.
    const platform::LocalTime now = env.kernel.GetLocalTime();
    Alarm->SetOnAndTime(true, now.hour, now.minute + 1);
    ASSERT_FALSE(env.RunFor((60 - now.second) * 1000 - now.milliseconds - 5000));
    way.start();
    ASSERT_TRUE(env.media.Sounding());
    ASSERT_FALSE(env.RunFor(10'000));
    ASSERT_EQ(FormMain->Width(), TFormMain::kRingingWidth);
    way.act();
    EXPECT_TRUE(env.media.Sounding());
    EXPECT_TRUE(SoundSystem->IsActive());
    EXPECT_EQ(w().TestState(), "Test");
    // The ring keeps its fallback: a device that gives up mid-ring is followed by it.
    FormSoundSystem->PostMessage(platform::kMmMciNotify, platform::kMciNotifyFailure,
                                 std::intptr_t(FormSoundSystem->MediaPlayer.DeviceId()));
    ASSERT_FALSE(env.RunFor(100));
    EXPECT_TRUE(env.media.Sounding());
    // The ring's own stop button still silences it.
    ASSERT_FALSE(env.Do([&] { env.desktop.Click({FormMain->Left() + 70, FormMain->Top() + 186}); }));
    EXPECT_FALSE(env.media.Sounding());
    w().Hide();
    p.Hide();
  }
  EXPECT_TRUE(env.desktop.MessageBoxes().empty());
  EXPECT_FALSE(FormMyMessageBox->Visible());
}

TEST_F(SimpleAlarmTest, TestOnAFileThatCannotPlayTellsSoAndStaysReady) {
  Start();
  ChooseAlarm();
  env.media.failOpen = 999;
  EXPECT_EQ(Answered([&] { Click(w().ImageTest); }), "не могу проиграть файл");
  EXPECT_EQ(w().TestState(), "Test");
  EXPECT_FALSE(SoundSystem->IsActive());
  EXPECT_TRUE(w().Visible());
}

TEST_F(SimpleAlarmTest, ChangeTakesThePickedFileAndRemembersItsFolderEvenOnCancel) {
  Start();
  ChooseAlarm();
  Click(w().ImageTest);
  ASSERT_TRUE(SoundSystem->IsActive());
  const auto testLook = w().ImageTest.Picture();
  const struct Case {
    const char* name;
    std::optional<std::vector<std::string>> answer;
    const char* wantFolder;  // the dialog's initial folder
    const char* wantLabel;
  } cases[] = {{"cancelled", std::nullopt, "", "alarm0.wav"},
               {"two picked", std::vector<std::string>{"D:\\Tunes\\bell.wav", "D:\\Tunes\\gong.wav"}, "",
                "bell.wav"},
               {"one picked", std::vector<std::string>{"E:\\rooster.wav"}, "D:\\Tunes\\", "rooster.wav"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    env.desktop.OpenDialogAnswer = [&](const ui::headless::HeadlessBackend::OpenDialogCall& call) {
      // The test has ended and its picture is back before the dialog shows.
      EXPECT_FALSE(SoundSystem->IsActive());
      EXPECT_EQ(w().TestState(), "Test");
      EXPECT_NE(w().ImageTest.Picture(), testLook);
      EXPECT_EQ(call.title, "Add files");
      EXPECT_EQ(call.filter, "Windows Media files (*.wav)|*.wav|All files (*.*)|*.*");
      EXPECT_TRUE(call.multiSelect);
      EXPECT_TRUE(call.hideReadOnly && call.pathMustExist && call.fileMustExist);
      EXPECT_EQ(call.initialDir, c.wantFolder);
      return c.answer;
    };
    Click(w().ImageChange);
    EXPECT_EQ(w().LabelMusic.Caption(), c.wantLabel);
    EXPECT_TRUE(w().Visible());
  }
  EXPECT_EQ(env.desktop.OpenDialogCalls().size(), 3u);
  EXPECT_EQ(w().SoundFile(), "E:\\rooster.wav");
  Click(w().ImageCancel);
  EXPECT_EQ(Alarm->GetSound(), "Sounds\\Alarms\\alarm0.wav");
  EXPECT_EQ(env.registry.String(kKey, "OpenDialogsDir"), "E:\\");
  ChooseAlarm();
  EXPECT_EQ(w().LabelMusic.Caption(), "alarm0.wav");
  EXPECT_EQ(w().SoundFile(), "Sounds\\Alarms\\alarm0.wav");
}

TEST_F(SimpleAlarmTest, AFolderChangedByTheOpenFileDialogLosesNoFileOfTheProgram) {
  env.kernel.SetTimeOfDay(6, 29, 0);
  env.registry.PutDword(kKey, "hidden", 1);  // the time is checked every 3 s
  Start();
  const std::string dir = TestEnvironment::kProgramDir;
  env.files.Put("D:\\Music\\song.ogg", "OggS, a sound no MCI device here takes");
  // As the Windows dialog does, it leaves the current directory where the file was picked.
  env.desktop.OpenDialogAnswer = [&](const ui::headless::HeadlessBackend::OpenDialogCall&) {
    env.kernel.SetCurrentDirectory("D:\\Music\\");
    return std::optional<std::vector<std::string>>{{"D:\\Music\\song.ogg"}};
  };
  // Runs to the ring and stops it; `opened` gets the files the ring opened.
  const auto ringAndStop = [&](std::vector<std::string>& opened) {
    env.media.commands.clear();
    for (int i = 0; i < 200 && FormMain->Width() != TFormMain::kRingingWidth; ++i) ASSERT_FALSE(env.RunFor(500));
    ASSERT_EQ(FormMain->Width(), TFormMain::kRingingWidth);
    EXPECT_TRUE(env.media.Sounding());
    ASSERT_FALSE(env.RunFor(10'000));  // never a spin through the files
    for (const auto& c : env.media.Sent(platform::kMciOpen)) opened.push_back(c.element);
    ASSERT_FALSE(env.Do([&] { env.desktop.Click({FormMain->Left() + 70, FormMain->Top() + 186}); }));
    EXPECT_FALSE(env.media.Sounding());
  };
  std::vector<std::string> opened;
  // Picked, then dropped with Cancel: the window is back at the program's own sound, whose
  // path is relative to the program's folder, and OK still finds it there.
  ChooseAlarm();
  Click(w().ImageChange);
  ASSERT_EQ(env.kernel.currentDirectory, "D:\\Music\\");
  Click(w().ImageCancel);
  ChooseAlarm();
  Click(w().ImageOnOff);
  EXPECT_EQ(Answered([&] { Click(w().ImageOk); }), "(no message)");
  ASSERT_TRUE(Alarm->IsOn());
  ringAndStop(opened);
  EXPECT_EQ(opened, std::vector<std::string>{dir + "Sounds\\Alarms\\alarm0.wav"});
  opened.clear();

  // The picked file is kept for the next minute; MCI has no device for it, and the ring
  // falls back to the program's own sound, once.
  ChooseAlarm();
  Click(w().ImageChange);
  Click(w().ImageUp2);
  ASSERT_EQ(Shown(), "06:31");
  EXPECT_EQ(Answered([&] { Click(w().ImageOk); }), "(no message)");
  ASSERT_EQ(Alarm->GetSound(), "D:\\Music\\song.ogg");
  ringAndStop(opened);
  EXPECT_EQ(opened, (std::vector<std::string>{"D:\\Music\\song.ogg", dir + "Sounds\\Alarms\\alarm0.wav"}));
  EXPECT_TRUE(env.desktop.MessageBoxes().empty());
}

TEST_F(SimpleAlarmTest, ARingWhileTheMessageBoxIsOpenIsStoppedByAClick) {
  env.kernel.SetTimeOfDay(6, 29, 50);
  env.registry.PutDword(kKey, "hidden", 1);
  Start("C:\\gone.wav");
  Alarm->TurnOn();
  ChooseAlarm();
  bool rangUnderTheBox = false, stoppedByTheClick = false, boxStillOpen = false;
  env.desktop.PostAfter(20'000, [&] {
    rangUnderTheBox = FormMyMessageBox->Modal() && FormMain->Width() == TFormMain::kRingingWidth &&
                      env.media.Sounding();
    env.desktop.Click({FormMain->Left() + 70, FormMain->Top() + 186});
    stoppedByTheClick = !env.media.Sounding() && FormMain->Width() == TFormMain::kNormalWidth;
    boxStillOpen = FormMyMessageBox->Modal();
    ui::Application::Instance().Dispatch([] { FormMyMessageBox->HandleKeyPress(13); });
  });
  // The test of a file that is gone opens the box; the alarm comes while it is up.
  Click(w().ImageTest);
  EXPECT_TRUE(rangUnderTheBox);
  EXPECT_TRUE(stoppedByTheClick);
  EXPECT_TRUE(boxStillOpen);
  EXPECT_FALSE(FormMyMessageBox->Visible());
  EXPECT_TRUE(env.Running());
}

TEST(SimpleAlarmDamaged, AMissingBitmapOfThisWindowIsReportedAndTheProgramEnds) {
  for (const char* file : {"AlarmWindow\\ichange.bmp", "AlarmWindow\\aarrowdown.bmp", "PlayListModeWindow\\astop.bmp",
                           "AlarmWindow\\aplaylistmode.bmp", "AlarmWindow\\amon.bmp", "AlarmWindow\\isun.bmp"}) {
    SCOPED_TRACE(file);
    TestEnvironment env;
    env.files.Hide(std::string(TestEnvironment::kProgramDir) + "Images\\" + file);
    EXPECT_EQ(env.Start(), 0);
    ASSERT_EQ(env.desktop.MessageBoxes().size(), 1u);
    EXPECT_EQ(env.desktop.MessageBoxes()[0].text, "Program is damaged. Try to reinstall the application.");
  }
}

}  // namespace
