#include "setup/AddDirectoryDialog.h"

#include <exception>

#include "app/Globals.h"
#include "platform/Platform.h"
#include "setup/Busy.h"
#include "shell/PetMonitor.h"
#include "shell/main.h"
#include "ui/Application.h"

namespace {
constexpr const char* kUnit = "AddDirectoryDialog";
constexpr std::uint32_t kTreeKey = ui::Rgb(0, 0, 255);

// A folder a user would see: not ".", "..", hidden or system.
constexpr int kChildrenBetweenMessages = 32;

bool ShownFolder(const platform::DirEntry& e) {
  return e.directory && !e.hidden && !e.system && e.name != "." && e.name != "..";
}
}  // namespace

TDialogAddDir::TDialogAddDir()
    : Image1(*this),
      ImageClose(*this),
      ImageRecurseSubdirectories(*this),
      TreeView1(*this),
      ImageOk(*this),
      ImageCancel(*this) {
  SetCaption("Add Directory");
  SetClientSize(326, 356);
  PlaceButtons(Rows());
  TreeView1.SetBounds({32, 80, 257, 209});
  // The words on each button, for a screen reader.
  ImageClose.SetAccessibleName("Close");
  ImageRecurseSubdirectories.SetAccessibleName("Include subfolders");
  TreeView1.SetAccessible(ui::Role::Outline, "Folders");
  ImageOk.SetAccessibleName("OK");
  ImageCancel.SetAccessibleName("Cancel");
  TreeView1.OnExpanding = [this](ui::TreeNode& node) { TreeView1Expanding(node); };
}

std::vector<ButtonRow> TDialogAddDir::Rows() {
  using R = ButtonRow;
  return {
      {R::Push, &ImageOk, &iOk_, &aOk_, "Images\\ForAllWindows\\iok.bmp", "Images\\ForAllWindows\\aok.bmp", {48, 304},
       {46, 302}, [this] { ImageOkMouseUp(); }, {}},
      {R::Push, &ImageClose, &iExit_, &aExit_, "Images\\ForAllWindows\\iexit.bmp", "Images\\ForAllWindows\\aexit.bmp",
       {288, 8}, {286, 6}, [this] { ImageCloseMouseUp(); }, {}},
      {R::Push, &ImageCancel, &iCancel_, &aCancel_, "Images\\ForAllWindows\\icancel.bmp",
       "Images\\ForAllWindows\\acancel.bmp", {208, 304}, {206, 302}, [this] { ImageCancelMouseUp(); }, {}},
      {R::Switch, &ImageRecurseSubdirectories, &ion_, &aon_, "Images\\AddDirWindow\\ion.bmp",
       "Images\\AddDirWindow\\aon.bmp", {28, 52}, {28, 52}, [this] { ImageRecurseSubdirectoriesClick(); },
       [this] { return Recurse_; }},
  };
}

int TDialogAddDir::DriveImage(int driveType) {
  switch (driveType) {
    case platform::Kernel::kDriveRemovable: return 2;
    case platform::Kernel::kDriveFixed: return 3;
    case platform::Kernel::kDriveRemote: return 4;
    case platform::Kernel::kDriveCdRom: return 5;
    default: return 6;  // a RAM disk, or a type that can't be told
  }
}

void TDialogAddDir::FormCreate() {
  SetBackground(Image1, "AddDirBack", {0, 0});
  const auto rows = Rows();
  const bool loaded = LoadButtonPictures(rows, /*activeFirst=*/true);
  AddButtons(*this, rows);
  SetKeyButtons(ImageOk, ImageCancel);
  if (!loaded) {
    if (FormMain) FormMain->ReportDamaged();
    return;
  }
  TreeView1.BeginUpdate();
  std::vector<std::shared_ptr<const ui::Bitmap>> images;
  try {
    for (const char* name : kTreeImages) images.push_back(LoadPictureResource(name));
  } catch (const std::exception&) {
    TreeView1.EndUpdate();
    if (FormMain) FormMain->ReportDamaged();
    return;
  }
  TreeView1.SetImages(std::move(images), kTreeKey);
  for (char letter = 'A'; letter <= 'Z'; ++letter) {
    const int type = platform::kernel().GetDriveType(std::string(1, letter) + ":\\");
    if (type == platform::Kernel::kDriveNoRootDir) continue;
    const int image = DriveImage(type);
    // Not read now: a drive without a medium would keep the start waiting.
    TreeView1.Add(nullptr, std::string(1, letter) + ":", image, image, true);
  }
  TreeView1.EndUpdate();
}

void TDialogAddDir::FormDestroy() {
  Trace("AddDirDialog::Destroy");
  FreeButtonPictures(Rows());
}

std::string TDialogAddDir::PathOf(const ui::TreeNode& node) const {
  std::string path;
  for (const ui::TreeNode* n = &node; n; n = n->Parent()) path = n->Caption() + "\\" + path;
  return path;
}

void TDialogAddDir::TreeView1Expanding(ui::TreeNode& node) {
  if (filling_) return;
  ScopedFlag filling(filling_);
  TreeView1.BeginUpdate();
  TreeView1.DeleteChildren(node);
  FillChildren(node);
  TreeView1.EndUpdate();
}

void TDialogAddDir::FillChildren(ui::TreeNode& node) {
  const std::string path = PathOf(node);
  auto& files = platform::files();
  bool any = false;
  int added = 0;
  for (const platform::DirEntry& e : files.Enumerate(path + "*.*")) {
    if (!ShownFolder(e)) continue;
    any = true;
    ui::TreeNode& child = TreeView1.Add(&node, e.name, 0, 1, false);
    // Whether it has a subfolder: the first one found tells, however many more there are.
    files.EachEntry(path + e.name + "\\*.*", [&](const platform::DirEntry& below) {
      if (!ShownFolder(below)) return true;
      TreeView1.SetHasChildren(child, true);
      return false;
    });
    // A folder with thousands of subfolders takes a while: the ring's buttons keep working.
    if (++added % kChildrenBetweenMessages == 0) ui::Application::Instance().ProcessMessages();
  }
  // Nothing to show (or nothing readable): the expand button goes, without a message.
  if (!any) TreeView1.SetHasChildren(node, false);
}

bool TDialogAddDir::Execute() {
  Directory_.clear();
  Recurse_ = true;
  ResetButtons();
  // A modal box out of sight would leave the playlist window disabled for no reason seen: it
  // opens in the middle of the pet's display, unless the user left it somewhere there.
  CentreOnPetDisplay(*this, placed_);
  return ShowModal() == ui::kIdOk;
}

const std::string& TDialogAddDir::Directory() const {
  RAVILO_ASSERT(!Directory_.empty(), kUnit);
  return Directory_;
}

void TDialogAddDir::ImageRecurseSubdirectoriesClick() {
  Recurse_ = !Recurse_;
  ImageRecurseSubdirectories.SetPicture(Recurse_ ? aon_ : ion_);
}

void TDialogAddDir::ImageOkMouseUp() {
  ui::Application::Instance().ProcessMessages();
  const ui::TreeNode* selected = TreeView1.Selected();
  // Without a selected node there is no folder to give: the press is ignored and the
  // dialog stays open.
  if (!selected) return;
  std::string path;
  for (const ui::TreeNode* n = selected; n; n = n->Parent()) {
    path = n->Caption() + "\\" + path;
    if (n->Caption().find(':') != std::string::npos) break;
  }
  Directory_ = path;
  EndModal(ui::kIdOk);
}

void TDialogAddDir::ImageCancelMouseUp() { EndModal(ui::kIdCancel); }

void TDialogAddDir::ImageCloseMouseUp() {
  ui::Application::Instance().ProcessMessages();
  EndModal(ui::kIdCancel);
}
