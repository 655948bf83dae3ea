#include "ui/OpenDialog.h"

#include <algorithm>

#include "ui/Application.h"

namespace ui {

bool OpenDialog::Execute() {
  files_.clear();
  auto& backend = Application::Instance().GetBackend();
  const std::string title = Title;
  std::size_t chars = kFirstBufferChars;
  for (;;) {
    OpenDialogResult result = backend.RunOpenDialog(*this, chars);
    if (!result.bufferTooSmall) {
      files_ = std::move(result.files);
      break;
    }
    // The system closed the dialog and dropped the choice: adding nothing without a word
    // would look like success. Ask again with room for it (the size asked for, when the
    // system could tell it, else four times as much), and say why the dialog is back.
    if (chars >= kMostBufferChars) {
      backend.MessageBox(kTooMany, title, kMbOk | kMbIconInformation);
      break;
    }
    chars = std::min(kMostBufferChars, std::max(result.neededChars, chars * 4));
    Title = title + kAgain;
  }
  Title = title;
  return !files_.empty();
}

}  // namespace ui
