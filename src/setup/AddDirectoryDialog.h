#pragma once
// The add-directory dialog: one folder picked from a tree of the computer's drives and
// folders, and whether its subfolders count. The drives are listed once at creation; a
// folder's subfolders are read from disk every time it is expanded. The tree keeps its
// nodes, expansions and selection from one use to the next.
#include <string>
#include <vector>

#include "shell/ButtonRows.h"
#include "shell/SkinnedForm.h"
#include "ui/Image.h"
#include "ui/TreeView.h"

class TDialogAddDir : public TSkinnedForm {
 public:
  TDialogAddDir();

  // Resets and shows the dialog modally; true when the user confirmed with OK.
  bool Execute();
  // The chosen folder, ending in a backslash; only after Execute returned true.
  const std::string& Directory() const;
  bool Recurse() const { return Recurse_; }

  // Components, in declared order (later ones above).
  ui::Image Image1;
  ui::Image ImageClose;
  ui::Image ImageRecurseSubdirectories;
  ui::TreeView TreeView1;
  ui::Image ImageOk;
  ui::Image ImageCancel;

  // The tree's images by index: folder, selected folder, then the drive kinds.
  static constexpr const char* kTreeImages[] = {"CLOSEDFOLDER", "OPENFOLDER", "FLOPPY", "HARD",
                                                "NETWORK",      "CDROM",      "RAM"};
  static int DriveImage(int driveType);

 protected:
  void FormCreate() override;
  void FormDestroy() override;

 private:
  std::vector<ButtonRow> Rows();
  void TreeView1Expanding(ui::TreeNode& node);
  void FillChildren(ui::TreeNode& node);
  // A fill is under way; it lets the messages run now and then, and an expansion they bring
  // waits for the next one rather than change the children being added.
  bool filling_ = false;
  std::string PathOf(const ui::TreeNode& node) const;
  void ImageRecurseSubdirectoriesClick();
  void ImageOkMouseUp();
  void ImageCancelMouseUp();
  void ImageCloseMouseUp();

  std::string Directory_;
  bool Recurse_ = true;
  bool placed_ = false;
  Picture iOk_, aOk_, iExit_, aExit_, iCancel_, aCancel_, ion_, aon_;
};

inline TDialogAddDir* DialogAddDir = nullptr;
