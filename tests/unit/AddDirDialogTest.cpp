#include "setup/AddDirectoryDialog.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "TestEnvironment.h"
#include "setup/FolderScan.h"
#include "ui/headless/HeadlessControls.h"

namespace {

using ui::headless::HeadlessTreeViewPeer;
using platform::Kernel;

class AddDirDialogTest : public ::testing::Test {
 protected:
  void Start() {
    ASSERT_FALSE(env.Start());
    ASSERT_NE(DialogAddDir, nullptr);
  }
  static TDialogAddDir& d() { return *DialogAddDir; }
  static HeadlessTreeViewPeer& tree() { return HeadlessTreeViewPeer::Of(d().TreeView1); }
  static ui::TreeNode* Find(ui::TreeNode* under, const std::string& caption) {
    const int n = under ? under->Count() : d().TreeView1.Count();
    for (int i = 0; i < n; ++i) {
      ui::TreeNode& c = under ? under->Child(i) : d().TreeView1.Item(i);
      if (c.Caption() == caption) return &c;
    }
    return nullptr;
  }
  static std::vector<std::string> Children(const ui::TreeNode& node) {
    std::vector<std::string> out;
    for (int i = 0; i < node.Count(); ++i) out.push_back(node.Child(i).Caption());
    return out;
  }
  // Runs Execute while `user` acts on the shown dialog; returns Execute's result.
  bool Run(const std::function<void()>& user) {
    bool result = false;
    env.desktop.PostAfter(10, [&] {
      EXPECT_TRUE(d().Visible() && d().Modal());
      user();
      // A dialog the user left open is closed by the system close command.
      if (d().ModalResult() == 0) env.desktop.RequestClose(d());
    });
    EXPECT_FALSE(env.Do([&] { result = d().Execute(); }));
    EXPECT_FALSE(d().Visible());
    return result;
  }
  void Key(char c) { ui::Application::Instance().Dispatch([&] { d().HandleKeyPress(c); }); }
  void Click(const ui::Control& c) {
    env.desktop.Click({d().Left() + c.Left() + c.Width() / 2, d().Top() + c.Top() + c.Height() / 2});
  }

  TestEnvironment env;
};

TEST_F(AddDirDialogTest, DrivesAreListedOnceAtCreationWithTheirImages) {
  env.kernel.driveTypes = {{'A', Kernel::kDriveRemovable}, {'C', Kernel::kDriveFixed}, {'D', Kernel::kDriveCdRom},
                           {'N', Kernel::kDriveRemote},    {'R', Kernel::kDriveRamDisk}, {'U', Kernel::kDriveUnknown}};
  Start();
  EXPECT_EQ(env.kernel.driveQueries.size(), 26u);
  EXPECT_EQ(env.kernel.driveQueries.front(), "A:\\");
  const struct {
    const char* caption;
    int image;
  } want[] = {{"A:", 2}, {"C:", 3}, {"D:", 5}, {"N:", 4}, {"R:", 6}, {"U:", 6}};
  ASSERT_EQ(d().TreeView1.Count(), 6);
  for (int i = 0; i < 6; ++i) {
    SCOPED_TRACE(want[i].caption);
    const ui::TreeNode& n = d().TreeView1.Item(i);
    EXPECT_EQ(n.Caption(), want[i].caption);
    EXPECT_EQ(n.ImageIndex(), want[i].image);
    EXPECT_EQ(n.SelectedIndex(), want[i].image);
    EXPECT_TRUE(tree().ShowsButton(n.Id()));
    EXPECT_EQ(n.Count(), 0);  // not read until expanded
  }
  ASSERT_EQ(tree().Images().size(), 7u);
  for (const auto& image : tree().Images()) EXPECT_EQ(image->Width() * 100 + image->Height(), 1616);
  EXPECT_EQ(tree().ImageKey(), ui::Rgb(0, 0, 255));
  EXPECT_FALSE(tree().Updating());
  // Opening the dialog asks for no drive again.
  Run([&] { Key(27); });
  EXPECT_EQ(env.kernel.driveQueries.size(), 26u);
  EXPECT_EQ(d().Bounds(), (ui::Rect{(1280 - 326) / 2, (800 - 356) / 2, 326, 356}));
}

TEST_F(AddDirDialogTest, AFolderIsReadAtEveryExpansionAndShowsAButtonOnlyForVisibleSubfolders) {
  env.files.Put("C:\\Music\\Rock\\Old\\x.wav", "");
  env.files.Put("C:\\Music\\Files\\a.wav", "");
  env.files.Put("C:\\Music\\Hidden\\Inner\\h.wav", "");
  env.files.AddFolder("C:\\Music\\Hidden\\Inner", /*hidden=*/true);
  env.files.Put("C:\\Music\\Sys\\Inner\\s.wav", "");
  env.files.AddFolder("C:\\Music\\Sys\\Inner", false, /*system=*/true);
  env.files.AddFolder("C:\\Music\\Locked\\Inside");
  env.files.MakeUnreadable("C:\\Music\\Locked");
  env.files.AddFolder("C:\\Music\\.cache", /*hidden=*/true);
  env.kernel.driveTypes['E'] = Kernel::kDriveCdRom;  // no medium: nothing to read
  Start();
  ui::TreeNode* c = Find(nullptr, "C:");
  ASSERT_NE(c, nullptr);
  tree().Expand(c->Id());
  ui::TreeNode* music = Find(c, "Music");
  ASSERT_NE(music, nullptr);
  EXPECT_EQ(music->ImageIndex(), 0);
  EXPECT_EQ(music->SelectedIndex(), 1);
  EXPECT_TRUE(tree().ShowsButton(music->Id()));
  tree().Expand(music->Id());
  EXPECT_EQ(Children(*music), (std::vector<std::string>{"Files", "Hidden", "Locked", "Rock", "Sys"}));
  const struct {
    const char* name;
    bool button;
  } want[] = {{"Files", false}, {"Hidden", false}, {"Locked", false}, {"Rock", true}, {"Sys", false}};
  for (const auto& w : want) {
    SCOPED_TRACE(w.name);
    EXPECT_EQ(tree().ShowsButton(Find(music, w.name)->Id()), w.button);
  }
  // A folder that can no longer be read loses its button when expanded; no message.
  ui::TreeNode* rock = Find(music, "Rock");
  env.files.MakeUnreadable("C:\\Music\\Rock");
  tree().Expand(rock->Id());
  EXPECT_FALSE(tree().ShowsButton(rock->Id()));
  EXPECT_EQ(rock->Count(), 0);
  ui::TreeNode* e = Find(nullptr, "E:");
  tree().Expand(e->Id());
  EXPECT_FALSE(tree().ShowsButton(e->Id()));
  EXPECT_TRUE(env.desktop.MessageBoxes().empty());

  // A subfolder made between two expansions is listed at the second.
  tree().Collapse(music->Id());
  env.files.AddFolder("C:\\Music\\New");
  tree().Expand(music->Id());
  EXPECT_EQ(Children(*music), (std::vector<std::string>{"Files", "Hidden", "Locked", "New", "Rock", "Sys"}));
  EXPECT_FALSE(tree().Updating());
}

TEST_F(AddDirDialogTest, AFolderOfManySubfoldersStopsAtEachOnesFirstSubfolderAndKeepsMessagesFlowing) {
  constexpr int kFolders = 200, kFiles = 40;
  for (int i = 0; i < kFolders; ++i) {
    const std::string folder = "C:\\Big\\" + std::to_string(1000 + i);
    env.files.AddFolder(folder + "\\a");
    for (int f = 0; f < kFiles; ++f) env.files.Put(folder + "\\f" + std::to_string(f) + ".wav", "");
  }
  Start();
  ui::TreeNode* c = Find(nullptr, "C:");
  tree().Expand(c->Id());
  ui::TreeNode* big = Find(c, "Big");
  ASSERT_NE(big, nullptr);
  // A message that arrives during the fill runs during it; an expansion it brings (here of
  // the very folder being filled) waits rather than pull the children from under the fill.
  int seenDuringFill = -1;
  env.desktop.Post([&] {
    seenDuringFill = big->Count();
    tree().Expand(big->Id());
  });
  const long before = env.files.entriesSeen;
  tree().Expand(big->Id());
  EXPECT_GT(seenDuringFill, 0);
  EXPECT_LT(seenDuringFill, kFolders);
  ASSERT_EQ(big->Count(), kFolders);
  for (int i = 0; i < kFolders; ++i) EXPECT_TRUE(tree().ShowsButton(big->Child(i).Id()));
  // Each subfolder is read only as far as its first folder (".", "..", "a"), not its files.
  EXPECT_LE(env.files.entriesSeen - before, (kFolders + 2) + kFolders * 3);
  EXPECT_FALSE(tree().Updating());
}

TEST_F(AddDirDialogTest, OkGivesTheSelectedFolderAndEveryUseStartsWithSubfoldersOn) {
  env.files.Put("C:\\Music\\Night\\a.wav", "");
  Start();
  ui::TreeNode* c = Find(nullptr, "C:");
  // OK with nothing selected is ignored: the dialog stays open until it is closed.
  EXPECT_FALSE(Run([&] {
    Click(d().ImageOk);
    EXPECT_TRUE(d().Visible());
    EXPECT_EQ(d().ModalResult(), 0);
  }));
  EXPECT_THROW(d().Directory(), std::logic_error);

  EXPECT_TRUE(Run([&] {
    tree().Select(c->Id());
    EXPECT_TRUE(d().Recurse());
    Click(d().ImageRecurseSubdirectories);
    EXPECT_FALSE(d().Recurse());
    Click(d().ImageOk);
  }));
  EXPECT_EQ(d().Directory(), "C:\\");
  EXPECT_FALSE(d().Recurse());

  // The second use: the switch is on again, the tree as it was left; by keyboard.
  EXPECT_TRUE(Run([&] {
    EXPECT_TRUE(d().Recurse());
    EXPECT_EQ(tree().Selected(), c->Id());
    tree().KeyDown(ui::headless::kVkHome);
    tree().KeyDown(ui::headless::kVkRight);
    tree().Type('m');
    tree().KeyDown(ui::headless::kVkRight);
    tree().KeyDown(ui::headless::kVkRight);
    tree().Type(13);
  }));
  EXPECT_EQ(d().Directory(), "C:\\Music\\Night\\");
  EXPECT_TRUE(d().Recurse());

  // Cancel, close, Esc and the system close all decline, and leave no folder.
  const std::function<void()> ways[] = {[&] { Click(d().ImageCancel); }, [&] { Click(d().ImageClose); },
                                        [&] { tree().Type(27); }, [&] {}};
  for (const auto& way : ways) {
    EXPECT_FALSE(Run([&] {
      tree().Select(c->Id());
      way();
    }));
    EXPECT_THROW(d().Directory(), std::logic_error);
  }
}

TEST(FolderScan, TheExtensionIsTheLastThreeLettersWithoutRegardToCase) {
  for (const char* yes : {"a.wav", "B.WAV", "mywav", "x.WaV"}) EXPECT_TRUE(HasExtension(yes, "wav")) << yes;
  for (const char* no : {"a.mp3", "wa", "a.wa", "a.wav ", "a.wäv"}) EXPECT_FALSE(HasExtension(no, "wav")) << no;
}

TEST(FolderScan, LoopsDeepTreesAndLongNonAsciiPathsAreReadOnceAndKeptExactly) {
  TestEnvironment env;
  // A junction pointing back up: read once, not forever.
  env.files.Put("C:\\Loop\\a.wav", "");
  env.files.Put("C:\\Loop\\Sub\\b.wav", "");
  env.files.Link("C:\\Loop\\Sub\\Back", "C:\\Loop");
  std::vector<std::string> found;
  ScanDirectory("C:\\Loop", "wav", true, found);
  EXPECT_EQ(found, (std::vector<std::string>{"C:\\Loop\\a.wav", "C:\\Loop\\Sub\\b.wav"}));
  EXPECT_LT(env.files.enumerations, 10);

  // Twenty levels, a long non-ASCII path at the bottom.
  std::string deep = "C:\\Deep";
  for (int i = 0; i < 20; ++i) deep += "\\Ünïcødé 闹钟 level " + std::to_string(i);
  ASSERT_GT(deep.size(), 260u);
  env.files.Put(deep + "\\Ring ✓.WAV", "");
  found.clear();
  int entries = 0;
  ScanDirectory("C:\\Deep\\", "wav", true, found, [&] { ++entries; });
  EXPECT_EQ(found, std::vector<std::string>{deep + "\\Ring ✓.WAV"});
  EXPECT_GT(entries, 20);
  // Without subfolders only the folder itself is read.
  found.clear();
  ScanDirectory("C:\\Deep\\", "wav", false, found);
  EXPECT_TRUE(found.empty());
}

}  // namespace
