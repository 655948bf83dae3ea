#include "ui/OpenDialog.h"

#include "ui/Application.h"

namespace ui {

bool OpenDialog::Execute() {
  files_.clear();
  auto picked = Application::Instance().GetBackend().RunOpenDialog(*this);
  if (!picked || picked->empty()) return false;
  files_ = std::move(*picked);
  return true;
}

}  // namespace ui
