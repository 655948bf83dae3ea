#pragma once
// The display the pet stands on: the windows the user opens from the pet appear there.
#include "ui/Backend.h"
#include "ui/Form.h"

// The display holding the largest part of the main window (the nearest one when it lies on
// none); the primary display before the main window exists.
ui::Monitor PetMonitor();
// Whether the display holding the largest part of the form is `monitor`.
bool LiesOn(const ui::Form& form, const ui::Monitor& monitor);
