#include "setup/PlayListAlarm.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "TestEnvironment.h"
#include "alarm/AlarmUnit.h"
#include "alarm/Reestr.h"
#include "alarm/SoundSystemForm.h"
#include "desktop/MyMessageBoxUnit.h"
#include "setup/AddDirectoryDialog.h"
#include "setup/SimpleAlarmUnit.h"
#include "shell/main.h"
#include "ui/headless/HeadlessControls.h"

namespace {

constexpr const char* kKey = TestEnvironment::kKey;
const std::string kDir = TestEnvironment::kProgramDir;
using ui::headless::HeadlessListBoxPeer;
using ui::headless::HeadlessTreeViewPeer;

class PlayListAlarmTest : public ::testing::Test {
 protected:
  // The stored alarm: 06:30, off, in playlist mode with the given entries.
  void Start(const std::vector<std::string>& entries, bool playlistMode = true) {
    env.registry.PutDword(kKey, "AlarmHour", 6);
    env.registry.PutDword(kKey, "AlarmMin", 30);
    env.registry.PutDword(kKey, "AlarmIsOn", 0);
    env.registry.PutDword(kKey, "UsePlayist", playlistMode ? 1 : 0);
    env.registry.PutString(kKey, "AlarmSound", "Sounds\\Alarms\\alarm0.wav");
    env.files.Put(kDir + "Playlist.txt", FormatListFile(entries));
    ASSERT_FALSE(env.Start());
    ASSERT_NE(FormPlayListAlarm, nullptr);
    EXPECT_FALSE(w().Visible());
  }
  // The tray menu's "Alarm" command.
  void ChooseAlarm() { ASSERT_FALSE(env.ChooseFromTrayMenu("Alarm [")); }
  static TFormPlayListAlarm& w() { return *FormPlayListAlarm; }
  static HeadlessListBoxPeer& list() { return HeadlessListBoxPeer::Of(w().ListBoxPlayList); }
  void Click(const ui::Control& c) {
    ASSERT_TRUE(c.Visible());
    const ui::Form& f = c.Owner();
    ASSERT_FALSE(
        env.Do([&] { env.desktop.Click({f.Left() + c.Left() + c.Width() / 2, f.Top() + c.Top() + c.Height() / 2}); }));
  }
  void Key(char c) { ASSERT_FALSE(env.Do([&] { list().Type(c); })); }
  // Runs `act`, which should open the skinned message box; answers it and returns its text.
  std::string Answered(const std::function<void()>& act) {
    std::string text = "(no message)";
    env.desktop.PostAfter(50, [&] {
      if (!FormMyMessageBox->Modal()) return;
      text = FormMyMessageBox->LabelText.Caption();
      ui::Application::Instance().Dispatch([] { FormMyMessageBox->HandleKeyPress(13); });
    });
    act();
    return text;
  }
  // While the add-directory dialog is up: opens the tree along `path` (drive first), takes
  // the recurse switch off when asked, and confirms with Enter in the tree.
  // `duringScan` runs among the messages processed while the folder is read.
  void AnswerAddDir(std::vector<std::string> path, bool recurse = true, std::function<void()> duringScan = {}) {
    env.desktop.PostAfter(10, [this, path, recurse, duringScan] {
      ASSERT_TRUE(DialogAddDir->Modal());
      auto& tree = HeadlessTreeViewPeer::Of(DialogAddDir->TreeView1);
      ui::TreeNode* node = nullptr;
      for (const std::string& caption : path) {
        if (node) tree.Expand(node->Id());
        ui::TreeNode* next = nullptr;
        const int n = node ? node->Count() : DialogAddDir->TreeView1.Count();
        for (int i = 0; i < n; ++i) {
          ui::TreeNode& c = node ? node->Child(i) : DialogAddDir->TreeView1.Item(i);
          if (c.Caption() == caption) next = &c;
        }
        ASSERT_NE(next, nullptr) << caption;
        node = next;
      }
      tree.Select(node->Id());
      if (!recurse) Click(DialogAddDir->ImageRecurseSubdirectories);
      tree.Type(13);
      if (duringScan) env.desktop.Post(duringScan);
    });
  }
  std::vector<std::string> StoredList() {
    std::vector<std::string> list;
    EXPECT_TRUE(ParseListFile(*env.files.Peek(kDir + "Playlist.txt"), list));
    return list;
  }
  // The file the sound player has open, "" when none.
  std::string Playing() {
    for (auto device : env.media.OpenDevices())
      if (env.media.Playing(device)) return env.media.ElementOf(device);
    return "";
  }
  std::string Wav() { return *env.files.Peek(kDir + "Sounds\\Alarms\\alarm0.wav"); }

  TestEnvironment env;
};

TEST_F(PlayListAlarmTest, OpensCentredWithTheAlarmsEntriesWhateverItShowedBefore) {
  env.registry.PutDword(kKey, "AlarmDays", 0x60);  // the weekend
  Start({"C:\\Music\\one.wav", "D:\\deep\\two.wav", "C:\\Music\\one.wav"});
  ChooseAlarm();
  ASSERT_TRUE(w().Visible());
  EXPECT_FALSE(FormSimpleAlarm->Visible());
  EXPECT_EQ(w().Caption(), "Alarm(playlist mode)");
  EXPECT_EQ(w().Bounds(), (ui::Rect{(1280 - 365) / 2, (800 - 599) / 2, 365, 599}));
  EXPECT_EQ(w().MaskEditHour.Caption() + ":" + w().MaskEditMin.Caption(), "06:30");
  EXPECT_EQ(list().Shown(), (std::vector<std::string>{"one.wav", "two.wav", "one.wav"}));
  EXPECT_EQ(w().PlayListPaths(), (std::vector<std::string>{"C:\\Music\\one.wav", "D:\\deep\\two.wav", "C:\\Music\\one.wav"}));
  EXPECT_FALSE(w().ImageStop.Visible());
  EXPECT_EQ(w().ListBoxPlayList.Bounds(), (ui::Rect{40, 216, 275, 168}));
  EXPECT_EQ(w().Days.Days(), 0x60);
  const auto mondayOff = w().Days.Button(0).Picture();
  ASSERT_NE(mondayOff, nullptr);

  // Edits, then each way of leaving without OK; the next opening shows the alarm again.
  const struct Way {
    const char* name;
    std::function<void()> leave;
  } ways[] = {{"cancel", [&] { Click(w().ImageCancel); }},
              {"close", [&] { Click(w().ImageClose); }},
              {"Esc in the list", [&] { Key(27); }},
              {"system close", [&] { EXPECT_FALSE(env.desktop.RequestClose(w())); }}};
  for (const Way& way : ways) {
    SCOPED_TRACE(way.name);
    w().SetPosition(10, 20);  // dragged away: it opens where it was left
    Click(w().ImageUp1);
    Click(w().ImageOnOff);
    Click(w().ImageRemoveAll);
    Click(w().Days.Button(0));
    Click(w().Days.Button(6));
    EXPECT_EQ(w().ListBoxPlayList.Count(), 0);
    EXPECT_EQ(w().Days.Days(), 0x21);
    EXPECT_NE(w().Days.Button(0).Picture(), mondayOff);
    way.leave();
    EXPECT_FALSE(w().Visible());
    EXPECT_EQ(Alarm->GetHour(), 6);
    EXPECT_FALSE(Alarm->IsOn());
    EXPECT_EQ(Alarm->PlaylistCount(), 3);
    ChooseAlarm();
    EXPECT_EQ(w().Left(), 10);
    EXPECT_EQ(w().MaskEditHour.Caption(), "06");
    EXPECT_FALSE(w().OnOffState());
    EXPECT_EQ(list().Shown().size(), 3u);
    EXPECT_EQ(w().PlayListPaths().size(), 3u);
    EXPECT_EQ(w().Days.Days(), 0x60);
    EXPECT_EQ(w().Days.Button(0).Picture(), mondayOff);
  }
  EXPECT_EQ(env.registry.Dword(kKey, "AlarmHour"), 6u);
  EXPECT_EQ(env.registry.Dword(kKey, "AlarmDays"), 0x60u);
}

TEST_F(PlayListAlarmTest, AddFilesAppendsThePickedFilesInOrderWithDuplicatesAndRemembersTheFolder) {
  Start({"C:\\a.wav"});
  env.registry.PutString(kKey, "OpenDialogsDir", "C:\\Start\\");
  ChooseAlarm();
  const std::vector<std::string> picked = {"E:\\Tunes\\bell.WAV", "E:\\Tunes\\notes.txt"};
  env.desktop.OpenDialogAnswer = [&](const ui::headless::HeadlessBackend::OpenDialogCall& call) {
    EXPECT_EQ(call.title, "Add files");
    EXPECT_EQ(call.filter, "Windows Media files (*.wav)|*.wav|All files (*.*)|*.*");
    EXPECT_TRUE(call.multiSelect && call.hideReadOnly && call.pathMustExist && call.fileMustExist);
    return std::optional{picked};
  };
  Click(w().ImageAddFile);
  Click(w().ImageAddFile);
  EXPECT_EQ(env.desktop.OpenDialogCalls()[0].initialDir, "C:\\Start\\");
  EXPECT_EQ(env.desktop.OpenDialogCalls()[1].initialDir, "E:\\Tunes\\");
  EXPECT_EQ(list().Shown(),
            (std::vector<std::string>{"a.wav", "bell.WAV", "notes.txt", "bell.WAV", "notes.txt"}));
  EXPECT_EQ(w().PlayListPaths()[3], "E:\\Tunes\\bell.WAV");

  // A cancelled dialog changes nothing.
  env.desktop.OpenDialogAnswer = nullptr;
  Click(w().ImageAddFile);
  EXPECT_EQ(w().PlayListPaths().size(), 5u);
  Click(w().ImageOk);
  EXPECT_EQ(StoredList().size(), 5u);
  EXPECT_EQ(StoredList()[1], "E:\\Tunes\\bell.WAV");
}

// Ctrl+A in a big music folder: more names than the dialog's buffer holds. The system closes
// the dialog with FNERR_BUFFERTOOSMALL and the choice is lost; it once added nothing, silently.
TEST_F(PlayListAlarmTest, MoreFilesThanTheDialogsBufferHoldsAreAskedForAgainWithRoomForThem) {
  Start({"C:\\a.wav"});
  ChooseAlarm();
  std::vector<std::string> many;
  for (int i = 0; i < 3000; ++i) many.push_back("E:\\Big folder\\" + std::to_string(100000 + i) + " some long title.wav");
  env.desktop.OpenDialogAnswer = [&](const auto&) { return std::optional{many}; };
  Click(w().ImageAddFile);
  const auto& calls = env.desktop.OpenDialogCalls();
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0].title, "Add files");
  EXPECT_EQ(calls[0].bufferChars, ui::OpenDialog::kFirstBufferChars);
  EXPECT_EQ(calls[1].title, std::string("Add files") + ui::OpenDialog::kAgain);
  EXPECT_EQ(calls[1].bufferChars, 4 * ui::OpenDialog::kFirstBufferChars);
  ASSERT_EQ(w().PlayListPaths().size(), 3001u);
  EXPECT_EQ(w().PlayListPaths()[3000], many.back());
  EXPECT_EQ(list().Shown().size(), 3001u);
  EXPECT_EQ(w().AddFileDialog.Title, "Add files");

  // Cancelled when asked again: nothing is added, and no message.
  env.desktop.OpenDialogAnswer = [&](const ui::headless::HeadlessBackend::OpenDialogCall& call) {
    return call.title == "Add files" ? std::optional{many} : std::nullopt;
  };
  Click(w().ImageAddFile);
  EXPECT_EQ(calls.size(), 4u);
  EXPECT_EQ(w().PlayListPaths().size(), 3001u);
  EXPECT_TRUE(env.desktop.MessageBoxes().empty());

  // A choice too large even for the largest buffer is told, not dropped in silence.
  env.desktop.OpenDialogAnswer = [&](const ui::headless::HeadlessBackend::OpenDialogCall& call) {
    return std::optional{std::vector<std::string>{std::string(call.bufferChars, 'x')}};
  };
  Click(w().ImageAddFile);
  EXPECT_EQ(calls.back().bufferChars, ui::OpenDialog::kMostBufferChars);
  ASSERT_EQ(env.desktop.MessageBoxes().size(), 1u);
  EXPECT_EQ(env.desktop.MessageBoxes()[0].text, ui::OpenDialog::kTooMany);
  EXPECT_EQ(w().PlayListPaths().size(), 3001u);
  EXPECT_EQ(w().AddFileDialog.Title, "Add files");
}

TEST_F(PlayListAlarmTest, AddFolderTakesTheSoundFilesDepthFirstWithOrWithoutSubfolders) {
  Start({"C:\\first.wav"});
  for (const char* f : {"C:\\Music\\a.WAV", "C:\\Music\\b.wav", "C:\\Music\\c.mp3", "C:\\Music\\notes.txt",
                        "C:\\Music\\mywav", "C:\\Music\\Sub\\inner.wav", "C:\\Music\\zz.wav",
                        "C:\\Music\\Hid\\secret.wav"})
    env.files.Put(f, "x");
  env.files.AddFolder("C:\\Music\\Hid", /*hidden=*/true);
  env.files.AddFolder("C:\\Music\\Empty");
  ChooseAlarm();
  const struct Case {
    const char* name;
    bool recurse;
    std::vector<std::string> added;
  } cases[] = {{"with subfolders", true,
                {"C:\\Music\\a.WAV", "C:\\Music\\b.wav", "C:\\Music\\Hid\\secret.wav", "C:\\Music\\mywav",
                 "C:\\Music\\Sub\\inner.wav", "C:\\Music\\zz.wav"}},
               {"without", false, {"C:\\Music\\a.WAV", "C:\\Music\\b.wav", "C:\\Music\\mywav", "C:\\Music\\zz.wav"}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Click(w().ImageRemoveAll);
    const int busyBefore = env.desktop.BusyPeriods();
    AnswerAddDir({"C:", "Music"}, c.recurse);
    Click(w().ImageAddDir);
    EXPECT_FALSE(DialogAddDir->Visible());
    EXPECT_EQ(w().PlayListPaths(), c.added);
    ASSERT_EQ(list().Shown().size(), c.added.size());
    EXPECT_EQ(list().Shown()[0], "a.WAV");
    // The wait cursor showed while the folder was read, and is gone.
    EXPECT_EQ(env.desktop.BusyPeriods(), busyBefore + 1);
    EXPECT_FALSE(env.desktop.Busy());
  }
  // While a folder is read, the window's buttons wait: OK can't store half a folder, and
  // neither Remove all nor Cancel pulls the list from under the scan.
  bool sawScan = false;
  AnswerAddDir({"C:", "Music"}, false, [&] {
    sawScan = w().Scanning();
    Click(w().ImageRemoveAll);
    Click(w().Days.Button(3));
    Click(w().ImageOk);
    Click(w().ImageCancel);
  });
  Click(w().ImageAddDir);
  EXPECT_TRUE(sawScan);
  EXPECT_TRUE(w().Visible());
  EXPECT_EQ(w().Days.Days(), 0x7F);
  EXPECT_EQ(w().PlayListPaths().size(), 8u);
  EXPECT_EQ(Alarm->PlaylistCount(), 1);
  Click(w().ImageRemoveAll);
  Click(w().ImageUp1);
  // A cancelled dialog adds nothing.
  env.desktop.PostAfter(10, [] { ui::Application::Instance().Dispatch([] { DialogAddDir->HandleKeyPress(27); }); });
  Click(w().ImageAddDir);
  EXPECT_TRUE(w().PlayListPaths().empty());
}

TEST_F(PlayListAlarmTest, RemoveSelectedKeepsTheShownListAndThePathsInStep) {
  env.files.Put("C:\\t\\2.wav", "");
  Start({"C:\\t\\0.wav", "C:\\t\\1.wav", "C:\\t\\2.wav", "C:\\t\\3.wav", "C:\\t\\4.wav"});
  env.files.Put("C:\\t\\2.wav", Wav());
  ChooseAlarm();
  list().Click(1);
  list().Click(3, /*ctrl=*/true);
  Click(w().ImageRemoveSelected);
  EXPECT_EQ(list().Shown(), (std::vector<std::string>{"0.wav", "2.wav", "4.wav"}));
  EXPECT_EQ(w().PlayListPaths(), (std::vector<std::string>{"C:\\t\\0.wav", "C:\\t\\2.wav", "C:\\t\\4.wav"}));
  // The new entry 1 plays the file shown there.
  ASSERT_FALSE(env.Do([&] { list().DoubleClick(1); }));
  EXPECT_EQ(Playing(), "C:\\t\\2.wav");
  Click(w().ImageStop);
  // Nothing selected: Remove selected removes nothing.
  list().Click(-1);
  Click(w().ImageRemoveSelected);
  EXPECT_EQ(w().PlayListPaths().size(), 3u);
  Key(13);
  EXPECT_EQ(StoredList(), (std::vector<std::string>{"C:\\t\\0.wav", "C:\\t\\2.wav", "C:\\t\\4.wav"}));
}

TEST_F(PlayListAlarmTest, PreviewPlaysTheFirstSelectedEntryUntilStoppedOrTheWindowGoes) {
  Start({"C:\\p\\a.wav", "C:\\p\\b.wav", "C:\\p\\gone.wav"});
  env.files.Put("C:\\p\\a.wav", Wav());
  env.files.Put("C:\\p\\b.wav", Wav());
  ChooseAlarm();
  ASSERT_FALSE(env.Do([&] { list().DoubleClick(0); }));
  EXPECT_EQ(Playing(), "C:\\p\\a.wav");
  EXPECT_TRUE(w().ImageStop.Visible());
  // Another entry while one plays: the first stops, the new one starts, Stop stays.
  ASSERT_FALSE(env.Do([&] { list().DoubleClick(1); }));
  EXPECT_EQ(Playing(), "C:\\p\\b.wav");
  EXPECT_EQ(env.media.OpenDevices().size(), 1u);
  EXPECT_TRUE(w().ImageStop.Visible());
  Click(w().ImageStop);
  EXPECT_FALSE(env.media.Sounding());
  EXPECT_FALSE(w().ImageStop.Visible());
  // A file that can't be played: no message, no Stop.
  ASSERT_FALSE(env.Do([&] { list().DoubleClick(2); }));
  EXPECT_FALSE(w().ImageStop.Visible());
  EXPECT_TRUE(env.desktop.MessageBoxes().empty());
  EXPECT_FALSE(FormMyMessageBox->Visible());

  const struct Way {
    const char* name;
    std::function<void()> act;
  } ways[] = {{"cancel", [&] { Click(w().ImageCancel); }},
              {"OK", [&] { Click(w().ImageOk); }},
              {"simple mode", [&] { Click(w().ImageSimpleMode); }}};
  for (const Way& way : ways) {
    SCOPED_TRACE(way.name);
    ChooseAlarm();
    ASSERT_FALSE(env.Do([&] { list().DoubleClick(0); }));
    ASSERT_TRUE(env.media.Sounding());
    way.act();
    EXPECT_FALSE(w().Visible());
    EXPECT_FALSE(env.media.Sounding());
    FormSimpleAlarm->Hide();
  }
  // Cancel stops the window's own preview only: what the ring started plays on.
  ChooseAlarm();
  ASSERT_TRUE(SoundSystem->PlayLooped(kDir + "Sounds\\Alarms\\alarm0.wav"));
  Click(w().ImageCancel);
  EXPECT_TRUE(env.media.Sounding());
}

TEST_F(PlayListAlarmTest, OkStoresTheListAndPlaylistModeAndAnEmptyListIsRefused) {
  env.registry.PutDword(kKey, "AlarmDays", 0x40);  // Sunday only
  Start({"C:\\old.wav"}, /*playlistMode=*/false);
  ChooseAlarm();
  ASSERT_TRUE(FormSimpleAlarm->Visible());
  Click(FormSimpleAlarm->ImagePlayListMode);
  ASSERT_TRUE(w().Visible());
  Click(w().ImageRemoveAll);
  EXPECT_EQ(Answered([&] { Click(w().ImageOk); }), "Playlist is empty. Add some files for playing in it.");
  EXPECT_TRUE(w().Visible());
  EXPECT_FALSE(Alarm->IsPlaylistMode());
  EXPECT_EQ(StoredList(), std::vector<std::string>{"C:\\old.wav"});

  env.desktop.OpenDialogAnswer = [](const auto&) {
    return std::optional{std::vector<std::string>{"C:\\Ü 闹钟.wav", "C:\\b.wav"}};
  };
  Click(w().ImageAddFile);
  Click(w().ImageOnOff);
  Click(w().ImageUp2);
  // A list file that can't be written (a read-only folder, a full disk) is reported with its
  // place, changes nothing, and leaves the window open with the edits.
  env.files.failReplace = true;
  const std::string refused = Answered([&] { Click(w().ImageOk); });
  EXPECT_EQ(refused, std::string(TFormPlayListAlarm::kCannotSave) + "\n" + kDir +
                         "Playlist.txt\nIs the disk full, or read-only?");
  EXPECT_TRUE(w().Visible());
  EXPECT_EQ(w().PlayListPaths().size(), 2u);
  EXPECT_FALSE(Alarm->IsPlaylistMode());
  EXPECT_FALSE(Alarm->IsOn());
  EXPECT_EQ(Alarm->PlaylistCount(), 1);
  EXPECT_EQ(env.registry.Dword(kKey, "UsePlayist"), 0u);
  EXPECT_EQ(StoredList(), std::vector<std::string>{"C:\\old.wav"});
  env.files.failReplace = false;
  // Without a day it is refused too, before anything is written.
  Click(w().Days.Button(6));
  EXPECT_EQ(Answered([&] { Click(w().ImageOk); }), "Choose at least one day\nfor the alarm.");
  EXPECT_TRUE(w().Visible());
  EXPECT_EQ(w().PlayListPaths().size(), 2u);
  EXPECT_EQ(StoredList(), std::vector<std::string>{"C:\\old.wav"});
  EXPECT_EQ(env.registry.Dword(kKey, "UsePlayist"), 0u);
  EXPECT_EQ(env.registry.Dword(kKey, "AlarmDays"), 0x40u);
  Click(w().Days.Button(0));
  Click(w().Days.Button(1));
  Click(w().ImageOk);
  EXPECT_FALSE(w().Visible());
  EXPECT_EQ(env.registry.Dword(kKey, "AlarmDays"), 0x03u);
  EXPECT_EQ(Alarm->Days(), 0x03);
  EXPECT_TRUE(Alarm->IsPlaylistMode());
  EXPECT_TRUE(Alarm->IsOn());
  EXPECT_EQ(env.registry.Dword(kKey, "UsePlayist"), 1u);
  EXPECT_EQ(env.registry.Dword(kKey, "AlarmMin"), 31u);
  EXPECT_EQ(*env.files.Peek(kDir + "Playlist.txt"), "2\r\nC:\\Ü 闹钟.wav\r\nC:\\b.wav\r\n");
  EXPECT_EQ(FormMain->SetAlarmTime1.Caption(), "Alarm [on]");
  // The tray now opens this window; its simple-mode button goes back without a change.
  ChooseAlarm();
  EXPECT_TRUE(w().Visible());
  Click(w().ImageSimpleMode);
  EXPECT_FALSE(w().Visible());
  EXPECT_TRUE(FormSimpleAlarm->Visible());
  Click(FormSimpleAlarm->ImageCancel);
  EXPECT_TRUE(Alarm->IsPlaylistMode());
  ChooseAlarm();
  EXPECT_TRUE(w().Visible());
}

TEST_F(PlayListAlarmTest, AHandWrittenPlaylistLoadsWhatItCan) {
  // Blank lines, mixed line ends and a count larger than the lines there are.
  env.files.Put(kDir + "Playlist.txt", "4\nC:\\a.wav\r\n\r\nC:\\b.wav\rC:\\c.wav");
  env.registry.PutDword(kKey, "AlarmHour", 6);
  env.registry.PutDword(kKey, "AlarmMin", 30);
  env.registry.PutDword(kKey, "AlarmIsOn", 0);
  env.registry.PutDword(kKey, "UsePlayist", 1);
  env.registry.PutString(kKey, "AlarmSound", "Sounds\\Alarms\\alarm0.wav");
  ASSERT_FALSE(env.Start());
  ChooseAlarm();
  EXPECT_EQ(w().PlayListPaths(), (std::vector<std::string>{"C:\\a.wav", "", "C:\\b.wav", "C:\\c.wav"}));
  EXPECT_EQ(list().Shown().size(), 4u);
}

TEST(PlayListAlarmDamaged, EachMissingBitmapOfTheWindowOrTheDialogIsReported) {
  const char* files[] = {
      "ForAllWindows\\iexit.bmp", "ForAllWindows\\aexit.bmp", "AlarmWindow\\ionoff.bmp", "AlarmWindow\\aonoff.bmp",
      "AlarmWindow\\iarrowup.bmp", "AlarmWindow\\aarrowup.bmp", "AlarmWindow\\iarrowdown.bmp",
      "AlarmWindow\\aarrowdown.bmp", "PlayListModeWindow\\istop.bmp", "PlayListModeWindow\\astop.bmp",
      "PlayListModeWindow\\iaddfile.bmp", "PlayListModeWindow\\aaddfile.bmp", "PlayListModeWindow\\iadddir.bmp",
      "PlayListModeWindow\\aadddir.bmp", "PlayListModeWindow\\iremoveselected.bmp",
      "PlayListModeWindow\\aremoveselected.bmp", "PlayListModeWindow\\iremoveall.bmp",
      "PlayListModeWindow\\aremoveall.bmp", "ForAllWindows\\iok.bmp", "ForAllWindows\\aok.bmp",
      "ForAllWindows\\icancel.bmp", "ForAllWindows\\acancel.bmp", "PlayListModeWindow\\isimplemode.bmp",
      "PlayListModeWindow\\asimplemode.bmp", "AddDirWindow\\ion.bmp", "AddDirWindow\\aon.bmp"};
  for (const char* file : files) {
    SCOPED_TRACE(file);
    TestEnvironment env;
    env.files.Hide(kDir + "Images\\" + file);
    EXPECT_EQ(env.Start(), 0);
    ASSERT_EQ(env.desktop.MessageBoxes().size(), 1u);
    EXPECT_EQ(env.desktop.MessageBoxes()[0].text, "Program is damaged. Try to reinstall the application.");
  }
}

}  // namespace
