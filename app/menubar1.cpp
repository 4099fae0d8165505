#include "app/menubar1.h"

#include <initializer_list>
#include <memory>
#include <string>

namespace app {

namespace {

struct ItemDesign {
  const char* name;
  const char* text;
  const char* shortcut = "";
  int index = -1;  // position in an item array; -1 when not in one
  bool quit = false;
};

// The menu's title item goes on the bar first; its items are then appended
// to it, the title being found again by its name.
void buildMenu(fw::MenuBar& bar, const char* name, const char* text, std::initializer_list<ItemDesign> items) {
  auto title = std::make_unique<fw::MenuItem>();
  title->Name = name;
  title->AutoEnable = true;
  title->Text = text;
  title->KeyboardShortcut = "";
  bar.Append(std::move(title));

  for (const ItemDesign& d : items) {
    std::unique_ptr<fw::MenuItem> item =
        d.quit ? std::make_unique<fw::QuitMenuItem>() : std::make_unique<fw::MenuItem>();
    item->Name = d.name;
    item->AutoEnable = true;
    item->Index = d.index;
    item->Text = d.text;
    item->KeyboardShortcut = d.shortcut;
    if (fw::MenuItem* menu = bar.Child(name)) menu->Append(std::move(item));
  }
}

}  // namespace

MenuBar1& MenuBar1::instance() {
  // Shared by the application object and the main window for the whole run.
  static MenuBar1 bar;
  static const bool built = (bar.Constructor(), true);
  (void)built;
  return bar;
}

void MenuBar1::Constructor() {
  Untitled0();
  Untitled1();
  Untitled2();
  Untitled3();
}

void MenuBar1::Untitled0() {
  buildMenu(*this, "FileMenu", "&File", {{.name = "FileQuit", .text = "&Quit", .shortcut = "Cmd+Q", .quit = true}});
}

void MenuBar1::Untitled1() {
  buildMenu(*this, "EditMenu", "&Edit",
            {
                {.name = "EditUndo", .text = "&Undo", .shortcut = "Cmd+Z"},
                {.name = "UntitledMenu1", .text = "-"},
                {.name = "EditCut", .text = "Cu&t", .shortcut = "Cmd+X"},
                {.name = "EditCopy", .text = "&Copy", .shortcut = "Cmd+C"},
                {.name = "EditPaste", .text = "&Paste", .shortcut = "Cmd+V"},
                {.name = "EditClear", .text = "&Delete"},
                {.name = "UntitledMenu0", .text = "-"},
                {.name = "EditSelectAll", .text = "Select &All", .shortcut = "Cmd+A"},
            });
}

void MenuBar1::Untitled2() {
  // "Device" is element 0 of an item array, so its handler gets index 0.
  buildMenu(*this, "SerialPortsMenu", "Serial Ports",
            {
                {.name = "Deviceport", .text = "Device", .index = 0},
                {.name = "Controllerport", .text = "Controller"},
            });
}

void MenuBar1::Untitled3() {
  buildMenu(*this, "HelpMenu", "Help",
            {
                {.name = "Helpmanual", .text = "manual"},
                {.name = "mFiles", .text = "Select Files"},
            });
}

}  // namespace app
