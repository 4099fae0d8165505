// fw::Window: build order, showing, modal loop, close, position, menus and quitting.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMenuBar>
#include <QTimer>
#include <memory>

#include "framework/menu.h"
#include "framework/serial.h"
#include "framework/timer.h"
#include "framework/widgets.h"
#include "framework/window.h"
#include "tests/support/pty.h"

namespace {

// Notes its events in a log shared with its control; onClose runs after Event_Close.
struct LoggedWindow : fw::Window {
  struct Control : fw::ContainerControl {
    Control(QWidget* parent, std::string& log) : fw::ContainerControl(parent), log(log) {}
    void Event_Open() override { log += "control-open "; }
    std::string& log;
  };
  explicit LoggedWindow(fw::MenuBar* bar = nullptr, std::string name = "") : bar(bar), name(std::move(name)) {}
  fw::MenuBar* bar;
  std::string name, log;
  std::string* closeOrder = nullptr;
  std::function<void()> onClose;
  int opens = 0, activates = 0, closes = 0;
  std::vector<std::string> calls;

  void Layout() override {
    log += "layout ";
    SetContentSize(120, 80);
    if (bar) SetMenuBar(bar);
  }
  void CreateControls() override {
    log += "controls ";
    new Control(Content(), log);
  }
  void AddMenuHandlers() override {
    log += "menus ";
    AddMenuHandler("deviceport", [this](int i) { calls.push_back("device " + std::to_string(i)); return true; });
    AddMenuHandler("CONTROLLERPORT", [this](int) { calls.push_back("controller"); return false; });
  }
  void Event_Open() override { log += "open "; ++opens; }
  void Event_Activate() override { log += "activate "; ++activates; }
  void Event_Close() override {
    log += "close ";
    ++closes;
    if (closeOrder) *closeOrder += name + " ";
    if (onClose) onClose();
  }
};

std::unique_ptr<fw::MenuItem> Item(const std::string& name, const std::string& text, bool quit = false) {
  auto item = quit ? std::make_unique<fw::QuitMenuItem>() : std::make_unique<fw::MenuItem>();
  item->Name = name;
  item->Text = text;
  return item;
}

// File > Quit (Cmd+Q); Serial Ports > Device(0), separator, Controller.
std::unique_ptr<fw::MenuBar> MakeMenuBar() {
  auto bar = std::make_unique<fw::MenuBar>();
  auto file = Item("FileMenu", "&File");
  file->Append(Item("FileQuit", "&Quit", true));
  file->Child("FileQuit")->KeyboardShortcut = "Cmd+Q";
  auto ports = Item("SerialPortsMenu", "Serial Ports");
  ports->Append(Item("Deviceport", "Device"));
  ports->Child("Deviceport")->Index = 0;
  ports->Append(Item("UntitledMenu0", "-"));
  ports->Append(Item("Controllerport", "Controller"));
  bar->Append(std::move(file));
  bar->Append(std::move(ports));
  return bar;
}

struct WindowTest : ::testing::Test {
  void TearDown() override { fw::testing::SetModalHook(nullptr); }
};

TEST_F(WindowTest, OpensOnceActivatesAtEveryShowingAndClosesOnce) {
  LoggedWindow w;
  w.Build();
  w.Build();
  EXPECT_EQ(w.log, "layout controls menus control-open open activate ");
  EXPECT_TRUE(w.isVisible());
  for (int i = 0; i < 2; ++i) w.Hide(), w.Show();
  EXPECT_EQ(w.activates, 3);
  w.close();  // the close box
  w.Close();
  EXPECT_EQ(w.closes, 1);
  EXPECT_TRUE(w.IsClosed());
  w.Show();  // a closed window stays closed
  EXPECT_FALSE(w.isVisible());
  EXPECT_EQ(w.opens, 1);
  EXPECT_EQ(w.activates, 3);

  LoggedWindow hidden;
  hidden.SetDesignVisible(false);
  hidden.Build();
  EXPECT_FALSE(hidden.isVisible());
  EXPECT_EQ(hidden.activates, 0);
}

TEST_F(WindowTest, ContentKeepsItsSizeWhateverTheMenuBar) {
  auto bar = MakeMenuBar();
  LoggedWindow before, after;
  before.SetMenuBar(bar.get());
  before.SetContentSize(535, 257);
  after.SetContentSize(535, 257);
  after.SetMenuBar(bar.get());
  for (LoggedWindow* w : {&before, &after}) {
    w->show();
    EXPECT_EQ(w->Width(), 535);
    EXPECT_EQ(w->Height(), 257);
    EXPECT_EQ(w->Content()->geometry().top(), w->menuBar()->height());
  }
}

TEST_F(WindowTest, LeftAndTopRoundTripWithoutCreeping) {
  int x = 140, y = 90;
  for (int run = 0; run < 3; ++run) {  // stored at close, restored at the next start
    LoggedWindow w;
    w.SetLeft(x);
    w.SetTop(y);
    w.Build();
    x = w.Left();
    y = w.Top();
    EXPECT_EQ(x, 140);
    EXPECT_EQ(y, 90);
  }
}

TEST_F(WindowTest, ShowModalEndsOnHideOrCloseWhileTimersAndPortsGoOn) {
  LoggedWindow w;
  w.SetDesignVisible(false);
  w.Build();
  fw::Timer timer;
  timer.SetPeriod(5);
  int ticks = 0;
  timer.Action = [&] { ++ticks; };
  vxtest::PtyPeer peer;
  fw::Serial port;
  port.SerialPort = {"deck", peer.PortPath()};
  std::string received;
  port.DataAvailable = [&] { received += port.ReadAll(); };
  ASSERT_TRUE(port.Open());

  fw::testing::SetModalHook([&](fw::Window& shown) {
    peer.Write("ack");
    EXPECT_EQ(&shown, &w);
    EXPECT_TRUE(shown.IsModalShown());
    EXPECT_EQ(QApplication::modalWindow(), shown.windowHandle());
    QTimer::singleShot(60, &shown, [&shown] { shown.Hide(); });  // answered later, from the nested loop
  });
  w.ShowModal();
  EXPECT_GE(ticks, 3);
  EXPECT_EQ(received, "ack");
  EXPECT_FALSE(w.isVisible());
  EXPECT_FALSE(w.IsModalShown());

  fw::testing::SetModalHook([](fw::Window& shown) { shown.hide(); });
  w.ShowModal();
  EXPECT_EQ(w.activates, 2);
  fw::testing::SetModalHook([](fw::Window& shown) { shown.Close(); });
  w.ShowModal();
  EXPECT_EQ(w.closes, 1);

  LoggedWindow shownFirst;  // already shown without modality
  shownFirst.Build();
  bool modal = false;
  fw::testing::SetModalHook([&](fw::Window& shown) {
    modal = QApplication::modalWindow() == shown.windowHandle();
    shown.Hide();
  });
  shownFirst.ShowModal();
  EXPECT_TRUE(modal);
}

TEST_F(WindowTest, MenuItemsReachHandlersByNameIgnoringCase) {
  auto bar = MakeMenuBar();
  LoggedWindow w(bar.get());
  w.Build();
  ASSERT_NE(w.MenuAction("Deviceport"), nullptr);
  EXPECT_EQ(w.MenuAction("deviceport"), w.MenuAction("DEVICEPORT"));
  EXPECT_EQ(w.MenuAction("UntitledMenu0"), nullptr);  // separators are no items
  w.MenuAction("Deviceport")->trigger();
  w.MenuAction("Controllerport")->trigger();
  EXPECT_EQ(w.calls, (std::vector<std::string>{"device 0", "controller"}));
  EXPECT_TRUE(w.HandleMenu(*bar->Child("serialportsmenu")->Child("deviceport")));
  EXPECT_FALSE(w.HandleMenu(*bar->Child("SerialPortsMenu")->Child("Controllerport")));  // handler said no
  EXPECT_FALSE(w.HandleMenu(*bar->Child("FileMenu")));                                 // no handler
  EXPECT_EQ(w.MenuAction("FileQuit")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Q));
  EXPECT_EQ(fw::PlatformShortcut("Cmd+Shift+Cmd"), "Ctrl+Shift+Ctrl");
  ASSERT_EQ(w.menuBar()->actions().size(), 2);
  w.Close();
}

TEST_F(WindowTest, QuitClosesEveryWindowThenEndsTheLoop) {
  for (fw::Window* w : fw::OpenWindows()) w->Close();  // leftovers of other tests
  auto bar = MakeMenuBar();
  std::string order;
  auto named = [&](const std::string& name) {
    auto w = std::make_unique<LoggedWindow>(bar.get(), name);
    w->closeOrder = &order;
    return w;
  };
  auto main = named("main"), other = named("other");
  std::unique_ptr<LoggedWindow> late;
  main->onClose = [&] { (late = named("late"))->Build(); };  // as the main window does with the keypad
  main->Build();
  other->Build();
  other->Hide();

  QTimer::singleShot(0, [&] { other->MenuAction("FileQuit")->trigger(); });
  QTimer::singleShot(3000, [] { QCoreApplication::exit(1); });  // safety net
  EXPECT_EQ(QCoreApplication::exec(), 0);
  EXPECT_EQ(order, "main other late ");  // creation order, main window first
  ASSERT_TRUE(late);
  for (LoggedWindow* w : {main.get(), other.get(), late.get()}) EXPECT_EQ(w->closes, 1);
  EXPECT_TRUE(fw::OpenWindows().empty());
}

TEST_F(WindowTest, SingleInstanceIsBuiltOnceAndRecreatedAfterDestruction) {
  struct Single : LoggedWindow {};
  Single& a = fw::SingleInstance<Single>();
  EXPECT_EQ(&a, &fw::SingleInstance<Single>());
  EXPECT_EQ(a.opens, 1);
  fw::DestroySingleWindows();
  EXPECT_EQ(fw::SingleInstance<Single>().opens, 1);
  fw::DestroySingleWindows();
}

}  // namespace
