#pragma once
// Menu items as a tree of names and texts. A window turns the tree into
// its menu bar; choosing an item calls the window's handler whose name
// equals the item's name, ignoring case. "Cmd" in a shortcut is Ctrl here.
#include <memory>
#include <string>
#include <vector>

namespace fw {

class MenuItem {
 public:
  MenuItem() = default;
  virtual ~MenuItem() = default;
  MenuItem(const MenuItem&) = delete;
  MenuItem& operator=(const MenuItem&) = delete;

  std::string Name;
  std::string Text;  // "-" is a separator; "&" marks the access key
  std::string KeyboardShortcut;
  bool AutoEnable = true;
  int Index = -1;  // position in an item array; -1 when not in one

  void Append(std::unique_ptr<MenuItem> item);
  // The direct child with that name (ignoring case), or null.
  MenuItem* Child(const std::string& name) const;
  int Count() const { return static_cast<int>(children_.size()); }
  MenuItem* Item(int i) const;
  virtual bool IsQuit() const { return false; }

 private:
  std::vector<std::unique_ptr<MenuItem>> children_;
};

// Quits the application: the windows close first, then the event loop ends.
class QuitMenuItem : public MenuItem {
 public:
  bool IsQuit() const override { return true; }
};

class MenuBar : public MenuItem {};

// "Cmd+Q" -> "Ctrl+Q": the shortcut text as this platform writes it.
std::string PlatformShortcut(const std::string& shortcut);

}  // namespace fw
