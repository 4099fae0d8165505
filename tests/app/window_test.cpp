// The main window across runs: the settings file, the port chooser, the
// menus and what the user is told about the ports. A first start without a
// file is the real program's (vornadex_x11_test).
#include <gtest/gtest.h>

#include <QImage>
#include <QMenuBar>

#include "app/menubar1.h"
#include "app/selectport.h"
#include "tests/app/main_fixture.h"

namespace vxtest {
namespace {

using WindowTest = MainWindowTest;
using Strings = std::vector<std::string>;

TEST_F(WindowTest, StoredPortsAndPositionsSurviveRestarts) {
  AddPort("vxcontrol");
  AddPort("vxdevice");
  WriteFile("deviceport\nVXDEVICE\ncontrolport\nvxcontrol\n");
  app::main& w = app::main::instance();  // its timer left running
  EXPECT_TRUE(w.Timer1.Enabled() && w.Timer1.Period() == 50);
  EXPECT_EQ(w.devicebox->Caption() + " " + w.Controllerbox->Caption(), "Device-vxdevice Controller-vxcontrol");
  const std::pair<int, int> spots[] = {{140, 90}, {33, 44}, {-20, 300}};
  auto windows = [] {
    return std::array<fw::Window*, 3>{&app::main::instance(), &keybd::instance(), &app::selectport::instance()};
  };
  for (size_t i = 0; i < 3; ++i) windows()[i]->SetLeft(spots[i].first), windows()[i]->SetTop(spots[i].second);
  w.Close();
  EXPECT_FALSE(w.Timer1.Enabled() || w.Serialc.IsOpen() || w.Seriald.IsOpen());
  Finish();
  const std::string first = ReadFile();
  EXPECT_TRUE(first.starts_with("deviceport\nvxdevice\ncontrolport\nvxcontrol\n")) << first.substr(0, 50);
  for (int run = 0; run < 2; ++run) {
    OpenMain();
    for (size_t i = 0; i < 3; ++i) EXPECT_EQ(std::pair(windows()[i]->Left(), windows()[i]->Top()), spots[i]) << i;
    Finish();
    EXPECT_EQ(ReadFile(), first) << "run " << run;
  }
  EXPECT_TRUE(messages.empty());
}

TEST_F(WindowTest, PortsFromTheSettingsAndTheMenuAndWhatTheUserIsTold) {
  fw::testing::AddSerialPort("vxdead", "/nonexistent/vxdead");
  AddPort("vxa");
  WriteFile("deviceport\nvxdead\ncontrolport\nvxa\n");
  onMessage = [](const std::string&) { EXPECT_FALSE(app::main::instance().Serialc.IsOpen()); };
  app::main& w = OpenMain();  // the device port's failure is told before the controller port is tried
  EXPECT_EQ(w.devicebox->Caption() + " " + w.Controllerbox->Caption(), "Device Controller-vxa");
  onMessage = nullptr;
  // The next chooser showing is answered by selecting row, after an optional step.
  auto answer = [](int row, const std::function<void(app::selectport&)>& step = {}) {
    fw::testing::SetModalHook([row, step](fw::Window& win) {
      auto& s = dynamic_cast<app::selectport&>(win);
      EXPECT_EQ(s.SerialPopup->ListIndex(), 0);  // every showing starts at "none"
      if (step) step(s);
      s.SerialPopup->SetListIndex(row);
      s.BevelButton1->click();
    });
  };
  fw::MenuItem* ports = app::MenuBar1::instance().Child("SerialPortsMenu");
  answer(0);
  EXPECT_FALSE(w.HandleMenu(*ports->Child("Controllerport")));
  EXPECT_FALSE(w.serialcopen);
  EXPECT_EQ(w.Controllerbox->Caption(), "controller");
  EXPECT_EQ(config::getstring("controlport"), "vxa");  // "none" keeps the stored name
  answer(2);
  w.MenuAction("CONTROLLERPORT")->trigger();  // item "Controllerport" reaches handler "controllerport"
  EXPECT_EQ(w.Controllerbox->Caption(), "Controller-vxa");
  AddPort("vxb");
  answer(3, [](app::selectport& s) { s.refresh->click(); });  // vxb is row 3 after Refresh
  EXPECT_TRUE(w.HandleMenu(*ports->Child("Deviceport")));
  EXPECT_EQ(w.devicebox->Caption(), "Device-vxb");
  EXPECT_EQ(config::getstring("deviceport"), "vxb");
  for (int code : {100, 101, 102, 7, 0}) w.displayserialerror(code);
  EXPECT_FALSE(w.opendeviceport(3));  // past the list
  EXPECT_FALSE(w.opencontrollerport(7));
  EXPECT_EQ(w.devicebox->Caption() + " " + w.Controllerbox->Caption(), "Device controller");
  EXPECT_EQ(messages, (Strings{"Error opening device serial port.", "100 - AccessDenied", "101 - PortNotFound",
                               "102 - InvalidOptions", "Error opening device serial port.",
                               "Error opening Controller serial port"}));
}

// The list is filled when the chooser is made and on Refresh, never by a showing; OK is the only way out.
TEST_F(WindowTest, PortChooserFillsItsListOnlyAtOpenAndOnRefresh) {
  AddPort("vxa");
  app::selectport& s = app::selectport::instance();
  EXPECT_FALSE(s.windowFlags() & (Qt::WindowCloseButtonHint | Qt::WindowMinimizeButtonHint |
                                   Qt::WindowMaximizeButtonHint));
  auto rows = [&s] {
    std::string t;
    for (int i = 0; i < s.SerialPopup->ListCount(); ++i) t += s.SerialPopup->RowText(i) + " ";
    return t + std::to_string(s.SerialPopup->ListIndex());
  };
  const struct { const char *before, *after; int chosen; } showings[] = {  // the list before and after Refresh
      {"none vxa 0", "none vxa vxb 0", 2}, {"none vxa vxb 0", "none 0", 0}};
  for (const auto& sh : showings) {
    if (sh.chosen != 0) AddPort("vxb");  // attached; before the second showing every port is gone
    else fw::testing::ClearSerialPorts();
    fw::testing::SetModalHook([&](fw::Window&) {
      EXPECT_EQ(rows(), sh.before);
      s.SerialPopup->SetListIndex(1);
      s.refresh->click();
      EXPECT_EQ(rows(), sh.after);
      s.SerialPopup->SetListIndex(sh.chosen);
      s.close();  // a close from the window system is refused
      EXPECT_TRUE(s.isVisible() && s.IsModalShown() && !s.IsClosed());
      s.BevelButton1->click();
    });
    s.ShowModal();
    EXPECT_EQ(s.SelectedIndex, sh.chosen);
  }
}

TEST_F(WindowTest, MenusAndHelpItems) {
  const std::vector<Strings> want = {{"&File", "&Quit"},
                                     {"&Edit", "&Undo", "-", "Cu&t", "&Copy", "&Paste", "&Delete", "-", "Select &All"},
                                     {"Serial Ports", "Device", "Controller"},
                                     {"Help", "manual", "Select Files"}};
  const app::MenuBar1& b = app::MenuBar1::instance();
  std::vector<Strings> got(b.Count());
  for (int m = 0; m < b.Count(); ++m)  // each menu's title, then its items
    for (int i = -1; i < b.Item(m)->Count(); ++i) got[m].push_back((i < 0 ? b.Item(m) : b.Item(m)->Item(i))->Text);
  EXPECT_EQ(got, want);

  app::main& w = OpenMain();
  EXPECT_EQ(QSize(w.Width(), w.Height()), QSize(535, 257));  // the content, whatever the menu bar
  EXPECT_EQ(w.Content()->geometry().top(), w.menuBar()->height());
  // The start screen: background, both displays lit, each side's Off lamp lit and On lamp off.
  const struct { int x, y; QRgb rgb; } points[] = {{525, 100, 0x80FFFF}, {262, 150, 0x80FFFF}, {36, 46, 0x80FF80},
      {306, 46, 0x80FF80}, {159, 212, 0x80FF80}, {207, 212, 0xD0D0D0}, {422, 210, 0x80FF80}, {471, 210, 0xD0D0D0}};
  const QImage shot = w.Content()->grab().toImage();
  for (const auto& p : points) EXPECT_EQ(shot.pixel(p.x, p.y) & 0xFFFFFF, p.rgb) << p.x << "," << p.y;
  const auto before = config::parray;
  int dialogs = 0;
  fw::testing::SetFileDialogHook([&](const std::string&, const std::string&) { return std::to_string(++dialogs); });
  EXPECT_TRUE(w.HandleMenu(*b.Child("HelpMenu")->Child("Helpmanual")));
  EXPECT_TRUE(w.HandleMenu(*b.Child("HelpMenu")->Child("mFiles")));
  EXPECT_EQ(dialogs, 2);
  EXPECT_EQ(config::parray, before);
  EXPECT_EQ(w.Controllerbox->Caption() + w.devicebox->Caption(), "controllerDevice");
  EXPECT_TRUE(messages.empty());
}

}  // namespace
}  // namespace vxtest
