#include "shell/PetMonitor.h"

#include "shell/main.h"
#include "ui/Application.h"
#include "ui/Rescale.h"

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

ui::Monitor TakePetDisplayScale(ui::Form& form) {
  const ui::Monitor pet = PetMonitor();
  // A window taller or wider than the free area would hide its own buttons: it is drawn as
  // large as the area holds then.
  form.SetScale(FittingScale(form.DesignSize(), pet.workArea, ui::MonitorScale(pet)));
  return pet;
}

ui::Point PlaceOn(const ui::Monitor& monitor, const ui::Form& form, ui::Point design) {
  return {monitor.bounds.left + ui::ScaledLength(design.x, form.Scale()),
          monitor.bounds.top + ui::ScaledLength(design.y, form.Scale())};
}

void CentreOnPetDisplay(ui::Form& form, bool& placed) {
  const ui::Monitor pet = TakePetDisplayScale(form);
  if (placed && LiesOn(form, pet)) return;
  const ui::Rect area = pet.workArea;
  form.SetPosition(area.left + (area.width - form.Width()) / 2, area.top + (area.height - form.Height()) / 2);
  placed = true;
}
