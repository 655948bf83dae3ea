#pragma once
// The common open-file dialog as a component: its properties, then Execute.
#include <string>
#include <vector>

namespace ui {

class OpenDialog {
 public:
  std::string Title;
  // "text|pattern|text|pattern"; the first entry is selected.
  std::string Filter;
  // "" lets the system choose.
  std::string InitialDir;
  bool MultiSelect = false;
  // Always so here: the read-only box hidden, the path and every file must exist.
  bool HideReadOnly = true, PathMustExist = true, FileMustExist = true;

  // Runs the dialog modally; false when cancelled.
  bool Execute();
  // The picked files' full paths; the first is the one the dialog reports as its file name.
  const std::vector<std::string>& Files() const { return files_; }
  std::string FileName() const { return files_.empty() ? std::string() : files_.front(); }

 private:
  std::vector<std::string> files_;
};

}  // namespace ui
