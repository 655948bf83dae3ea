#pragma once
// The display the pet stands on: the windows the user opens from the pet appear there.
#include "ui/Backend.h"
#include "ui/Form.h"

// The display holding the largest part of the main window (the nearest one when it lies on
// none); the primary display before the main window exists.
ui::Monitor PetMonitor();
// Whether the display holding the largest part of the form is `monitor`.
bool LiesOn(const ui::Form& form, const ui::Monitor& monitor);
using ui::FittingScale;
// Gives a window about to be shown the scale of the pet's display, or less where the display's
// free area would not hold it; returns that display.
ui::Monitor TakePetDisplayScale(ui::Form& form);
// A place given in design pixels from a display's corner, at the form's scale.
ui::Point PlaceOn(const ui::Monitor& monitor, const ui::Form& form, ui::Point design);
// For a window about to be shown, at the pet's display's scale: the middle of the free area of the pet's display the first
// time (`placed` false), and again whenever it was left on another display; otherwise it stays
// where the user left it. A place counted from the primary display's corner could lie on no
// display at all when another one stands left of or above it.
void CentreOnPetDisplay(ui::Form& form, bool& placed);
