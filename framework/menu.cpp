#include "framework/menu.h"

#include "framework/strings.h"

namespace fw {

void MenuItem::Append(std::unique_ptr<MenuItem> item) {
  if (item) children_.push_back(std::move(item));
}

MenuItem* MenuItem::Child(const std::string& name) const {
  for (const auto& c : children_)
    if (EqualsIgnoreCase(c->Name, name)) return c.get();
  return nullptr;
}

MenuItem* MenuItem::Item(int i) const {
  if (i < 0 || i >= Count()) return nullptr;
  return children_[static_cast<size_t>(i)].get();
}

std::string PlatformShortcut(const std::string& shortcut) {
  std::string s = shortcut;
  for (size_t pos = s.find("Cmd"); pos != std::string::npos; pos = s.find("Cmd", pos + 4)) s.replace(pos, 3, "Ctrl");
  return s;
}

}  // namespace fw
