#pragma once
// The common open-file dialog as a component: its properties, then Execute.
#include <cstddef>
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

  // Runs the dialog modally; false when cancelled. When more names were picked than its
  // buffer holds (Ctrl+A in a big folder), it is shown again with room for them.
  bool Execute();
  // The buffer for the names at the first showing, and the most it grows to.
  static constexpr std::size_t kFirstBufferChars = 64 * 1024;
  static constexpr std::size_t kMostBufferChars = 16 * 1024 * 1024;
  // Said in the title of a dialog shown again, and in a message when even the largest buffer
  // was too small.
  static constexpr const char* kAgain = " - please choose again: there is room for that many files now";
  static constexpr const char* kTooMany = "Too many files were chosen at once. Please add them in smaller groups.";
  // The picked files' full paths; the first is the one the dialog reports as its file name.
  const std::vector<std::string>& Files() const { return files_; }
  std::string FileName() const { return files_.empty() ? std::string() : files_.front(); }

 private:
  std::vector<std::string> files_;
};

}  // namespace ui
