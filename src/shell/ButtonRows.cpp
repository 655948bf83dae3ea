#include "shell/ButtonRows.h"

void PlaceButtons(const std::vector<ButtonRow>& rows) {
  for (const ButtonRow& r : rows)
    if (r.image) r.image->SetPosition(r.restAt.x, r.restAt.y);
}

bool LoadButtonPictures(const std::vector<ButtonRow>& rows, bool activeFirst) {
  std::vector<std::pair<Picture*, std::string>> files;
  for (const ButtonRow& r : rows) {
    if (activeFirst) files.push_back({r.active, r.activeFile});
    files.push_back({r.inactive, r.inactiveFile});
    if (!activeFirst) files.push_back({r.active, r.activeFile});
  }
  return LoadPictures(files);
}

void AddButtons(TSkinnedForm& form, const std::vector<ButtonRow>& rows) {
  for (const ButtonRow& r : rows) {
    if (r.kind == ButtonRow::Push)
      form.AddPushButton(*r.image, *r.active, *r.inactive, r.pressedAt, r.restAt, r.release);
    else if (r.kind == ButtonRow::Switch) {
      r.image->SetFocusKind(ui::FocusKind::Switch, r.group);
      form.AddSwitch(*r.image, *r.active, *r.inactive, r.restAt, r.state, r.release);
    }
  }
}

void FreeButtonPictures(const std::vector<ButtonRow>& rows) {
  for (const ButtonRow& r : rows) {
    r.inactive->reset();
    r.active->reset();
  }
}
