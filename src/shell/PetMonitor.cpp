#include "shell/PetMonitor.h"

#include "shell/main.h"
#include "ui/Application.h"

ui::Monitor PetMonitor() {
  auto& backend = ui::Application::Instance().GetBackend();
  if (FormMain)
    if (auto m = backend.MonitorFromRect(FormMain->Bounds(), true)) return *m;
  return backend.PrimaryMonitor();
}

bool LiesOn(const ui::Form& form, const ui::Monitor& monitor) {
  const auto m = ui::Application::Instance().GetBackend().MonitorFromRect(form.Bounds(), false);
  return m && *m == monitor;
}
