// The menu bar: its tree of items, and the menus a window builds from it.
#include <gtest/gtest.h>

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <string>
#include <vector>

#include "app/menubar1.h"
#include "framework/window.h"

namespace {

struct ItemRow {
  std::string name, text, shortcut;
  int index = -1;
  bool quit = false;
};

struct MenuRow {
  std::string name, text;
  std::vector<ItemRow> items;
};

const std::vector<MenuRow>& expectedMenus() {
  static const std::vector<MenuRow> menus = {
      {"FileMenu", "&File", {{"FileQuit", "&Quit", "Cmd+Q", -1, true}}},
      {"EditMenu",
       "&Edit",
       {{"EditUndo", "&Undo", "Cmd+Z"},
        {"UntitledMenu1", "-", ""},
        {"EditCut", "Cu&t", "Cmd+X"},
        {"EditCopy", "&Copy", "Cmd+C"},
        {"EditPaste", "&Paste", "Cmd+V"},
        {"EditClear", "&Delete", ""},
        {"UntitledMenu0", "-", ""},
        {"EditSelectAll", "Select &All", "Cmd+A"}}},
      {"SerialPortsMenu", "Serial Ports", {{"Deviceport", "Device", "", 0}, {"Controllerport", "Controller", ""}}},
      {"HelpMenu", "Help", {{"Helpmanual", "manual", ""}, {"mFiles", "Select Files", ""}}},
  };
  return menus;
}

TEST(MenuBar1, TreeHoldsTheFourMenusWithTheirItems) {
  app::MenuBar1& bar = app::MenuBar1::instance();
  EXPECT_EQ(&bar, &app::MenuBar1::instance());  // one bar, built once
  const auto& menus = expectedMenus();
  ASSERT_EQ(bar.Count(), static_cast<int>(menus.size()));
  for (int m = 0; m < bar.Count(); ++m) {
    const fw::MenuItem* title = bar.Item(m);
    const MenuRow& want = menus[static_cast<size_t>(m)];
    EXPECT_EQ(title->Name, want.name);
    EXPECT_EQ(title->Text, want.text);
    EXPECT_EQ(title->KeyboardShortcut, "");
    EXPECT_TRUE(title->AutoEnable);
    ASSERT_EQ(title->Count(), static_cast<int>(want.items.size())) << want.name;
    for (int i = 0; i < title->Count(); ++i) {
      const fw::MenuItem* item = title->Item(i);
      const ItemRow& w = want.items[static_cast<size_t>(i)];
      SCOPED_TRACE(w.name);
      EXPECT_EQ(item->Name, w.name);
      EXPECT_EQ(item->Text, w.text);
      EXPECT_EQ(item->KeyboardShortcut, w.shortcut);
      EXPECT_EQ(item->Index, w.index);
      EXPECT_EQ(item->IsQuit(), w.quit);
      EXPECT_TRUE(item->AutoEnable);
      EXPECT_EQ(item->Count(), 0);
    }
  }
}

// A window that takes the menu bar and registers handlers under the names
// the main window uses, which differ in case from the item names.
class MenuWindow : public fw::Window {
 public:
  std::vector<std::pair<std::string, int>> calls;

  void Layout() override {
    SetTitle("menus");
    SetMenuBar(&app::MenuBar1::instance());
    SetDesignVisible(false);
  }
  void AddMenuHandlers() override {
    for (const char* name : {"deviceport", "controllerport", "Helpmanual", "mFiles"})
      AddMenuHandler(name, [this, name](int index) {
        calls.emplace_back(name, index);
        return true;
      });
  }
};

TEST(MenuBar1, WindowShowsMenusSeparatorsAndCtrlShortcuts) {
  MenuWindow w;
  w.Build();
  const QList<QAction*> titles = w.menuBar()->actions();
  const auto& menus = expectedMenus();
  ASSERT_EQ(titles.size(), static_cast<qsizetype>(menus.size()));
  for (qsizetype m = 0; m < titles.size(); ++m) {
    const MenuRow& want = menus[static_cast<size_t>(m)];
    EXPECT_EQ(titles[m]->text().toStdString(), want.text);
    QMenu* menu = titles[m]->menu();
    ASSERT_NE(menu, nullptr);
    const QList<QAction*> items = menu->actions();
    ASSERT_EQ(items.size(), static_cast<qsizetype>(want.items.size())) << want.name;
    for (qsizetype i = 0; i < items.size(); ++i) {
      const ItemRow& row = want.items[static_cast<size_t>(i)];
      SCOPED_TRACE(row.name);
      if (row.text == "-") {
        EXPECT_TRUE(items[i]->isSeparator());
        continue;
      }
      EXPECT_EQ(items[i]->text().toStdString(), row.text);
      std::string shortcut = row.shortcut;
      if (!shortcut.empty()) shortcut.replace(0, 3, "Ctrl");
      EXPECT_EQ(items[i]->shortcut(), QKeySequence(QString::fromStdString(shortcut)));
      EXPECT_EQ(items[i], w.MenuAction(row.name));
    }
  }
}

TEST(MenuBar1, ItemsReachTheHandlersWhateverTheCase) {
  MenuWindow w;
  w.Build();
  w.MenuAction("Controllerport")->trigger();
  w.MenuAction("Deviceport")->trigger();
  w.MenuAction("Helpmanual")->trigger();
  w.MenuAction("mFiles")->trigger();
  // Edit items have no handler of ours: choosing one calls nothing.
  w.MenuAction("EditCopy")->trigger();
  const std::vector<std::pair<std::string, int>> want = {
      {"controllerport", -1}, {"deviceport", 0}, {"Helpmanual", -1}, {"mFiles", -1}};
  EXPECT_EQ(w.calls, want);
}

}  // namespace
