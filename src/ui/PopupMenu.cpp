#include "ui/PopupMenu.h"

#include <cctype>

#include "ui/Application.h"

namespace ui {
namespace {
std::string Normalised(const std::string& caption) {
  std::string out;
  for (char c : caption)
    if (c != '&') out += char(std::tolower(static_cast<unsigned char>(c)));
  return out;
}
}  // namespace

MenuItem& PopupMenu::Add(const std::string& caption) {
  items_.push_back(std::make_unique<MenuItem>(caption));
  return *items_.back();
}

MenuItem* PopupMenu::Find(const std::string& caption) {
  const std::string wanted = Normalised(caption);
  for (auto& item : items_)
    if (Normalised(item->Caption()) == wanted) return item.get();
  return nullptr;
}

void PopupMenu::Click(int index) {
  if (index < 0 || index >= Count()) return;
  const auto handler = items_[std::size_t(index)]->OnClick;
  if (handler) Application::Instance().Dispatch(handler);
}

}  // namespace ui
