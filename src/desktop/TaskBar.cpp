#include "desktop/TaskBar.h"

#include "ui/Application.h"

void CTaskBarControl::HideButton() { ui::Application::Instance().GetBackend().HideApplicationButton(); }
