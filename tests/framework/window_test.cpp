// fw::Window: build order, showing, modal loop, close, position, menus and
// quitting.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMenuBar>
#include <QTimer>
#include <memory>

#include "framework/application.h"
#include "framework/control.h"
#include "framework/menu.h"
#include "framework/serial.h"
#include "framework/timer.h"
#include "framework/widgets.h"
#include "framework/window.h"
#include "tests/support/pty.h"

namespace {

// A control that notes when its Open event runs.
class NotingControl : public fw::ContainerControl {
 public:
  NotingControl(QWidget* parent, std::string& log) : fw::ContainerControl(parent), log_(log) {}
  void Event_Open() override { log_ += "control-open "; }

 private:
  std::string& log_;
};

class LoggedWindow : public fw::Window {
 public:
  std::string log;
  int opens = 0, activates = 0, closes = 0;
  bool controlExistedAtOpen = false;
  NotingControl* control = nullptr;

  void Layout() override {
    log += "layout ";
    SetTitle("Logged");
    SetContentSize(120, 80);
  }
  void CreateControls() override {
    log += "controls ";
    control = new NotingControl(Content(), log);
  }
  void AddMenuHandlers() override { log += "menus "; }
  void Event_Open() override {
    log += "open ";
    ++opens;
    controlExistedAtOpen = control != nullptr;
  }
  void Event_Activate() override {
    log += "activate ";
    ++activates;
  }
  void Event_Close() override {
    log += "close ";
    ++closes;
  }
};

class WindowTest : public ::testing::Test {
 protected:
  void TearDown() override { fw::testing::SetModalHook(nullptr); }
};

TEST_F(WindowTest, BuildRunsHooksThenOpenOnceThenActivates) {
  LoggedWindow w;
  w.Build();
  EXPECT_EQ(w.log, "layout controls menus control-open open activate ");
  EXPECT_TRUE(w.controlExistedAtOpen);
  EXPECT_TRUE(w.isVisible());
  w.Build();  // building again does nothing
  EXPECT_EQ(w.opens, 1);

  w.Hide();
  w.Show();
  w.Hide();
  w.Show();
  EXPECT_EQ(w.activates, 3);
  EXPECT_EQ(w.opens, 1);

  w.Close();
  w.Close();
  EXPECT_EQ(w.closes, 1);
  EXPECT_TRUE(w.IsClosed());
  EXPECT_FALSE(w.isVisible());
  w.Show();  // a closed window stays closed
  EXPECT_FALSE(w.isVisible());
  EXPECT_EQ(w.activates, 3);
}

TEST_F(WindowTest, HiddenDesignIsNotShownAtBuild) {
  LoggedWindow w;
  w.SetDesignVisible(false);
  w.Build();
  EXPECT_EQ(w.activates, 0);
  EXPECT_FALSE(w.isVisible());
}

TEST_F(WindowTest, CloseFromOutsideRunsCloseEventOnce) {
  LoggedWindow w;
  w.Build();
  w.close();  // the close box
  EXPECT_EQ(w.closes, 1);
  EXPECT_TRUE(w.IsClosed());
  w.Close();
  EXPECT_EQ(w.closes, 1);
}

TEST_F(WindowTest, ContentKeepsItsSizeWhateverTheMenuBar) {
  fw::MenuBar bar;
  auto file = std::make_unique<fw::MenuItem>();
  file->Name = "FileMenu";
  file->Text = "&File";
  auto quit = std::make_unique<fw::QuitMenuItem>();
  quit->Name = "FileQuit";
  quit->Text = "&Quit";
  file->Append(std::move(quit));
  bar.Append(std::move(file));

  LoggedWindow before, after;
  before.SetMenuBar(&bar);
  before.SetContentSize(535, 257);
  after.SetContentSize(535, 257);
  after.SetMenuBar(&bar);
  for (LoggedWindow* w : {&before, &after}) {
    w->show();
    EXPECT_EQ(w->Width(), 535);
    EXPECT_EQ(w->Height(), 257);
    EXPECT_EQ(w->Content()->geometry().top(), w->menuBar()->height());
  }
}

TEST_F(WindowTest, LeftAndTopRoundTripWithoutCreeping) {
  LoggedWindow w;
  w.SetLeft(140);
  w.SetTop(90);
  w.Build();
  EXPECT_EQ(w.Left(), 140);
  EXPECT_EQ(w.Top(), 90);
  // Storing at close and restoring at the next start, several times over.
  for (int run = 0; run < 3; ++run) {
    const int x = w.Left(), y = w.Top();
    LoggedWindow next;
    next.SetLeft(x);
    next.SetTop(y);
    next.Build();
    EXPECT_EQ(next.Left(), 140);
    EXPECT_EQ(next.Top(), 90);
  }
  w.SetLeft(-20);
  EXPECT_EQ(w.Left(), -20);
  EXPECT_EQ(w.Top(), 90);
}

TEST_F(WindowTest, ShowModalReturnsWhenTheHookHidesTheWindowWhileTimersGoOn) {
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

  int hookCalls = 0;
  fw::testing::SetModalHook([&](fw::Window& shown) {
    ++hookCalls;
    peer.Write("ack");
    EXPECT_EQ(&shown, &w);
    EXPECT_TRUE(shown.isVisible());
    EXPECT_TRUE(shown.IsModalShown());
    // Answer later, from the nested loop, once the timer has ticked.
    QTimer::singleShot(60, &shown, [&shown] { shown.Hide(); });
  });
  w.ShowModal();
  EXPECT_EQ(hookCalls, 1);
  EXPECT_GE(ticks, 3);
  EXPECT_EQ(received, "ack");
  EXPECT_FALSE(w.isVisible());
  EXPECT_FALSE(w.IsModalShown());
  EXPECT_EQ(w.activates, 1);

  // A second showing activates again and also ends by a plain hide().
  fw::testing::SetModalHook([](fw::Window& shown) { shown.hide(); });
  w.ShowModal();
  EXPECT_EQ(w.activates, 2);
  EXPECT_FALSE(w.IsClosed());

  // Closing ends the showing too.
  fw::testing::SetModalHook([](fw::Window& shown) { shown.Close(); });
  w.ShowModal();
  EXPECT_TRUE(w.IsClosed());
  EXPECT_EQ(w.closes, 1);
}

TEST_F(WindowTest, ShowModalOfAShownWindowMakesItModal) {
  LoggedWindow w;
  w.Build();  // shown without modality, as its design says
  Qt::WindowModality during = Qt::NonModal;
  fw::testing::SetModalHook([&](fw::Window& shown) {
    during = QApplication::modalWindow() == shown.windowHandle() ? Qt::ApplicationModal : Qt::NonModal;
    shown.Hide();
  });
  w.ShowModal();
  EXPECT_EQ(during, Qt::ApplicationModal);
}

// A window with the menu bar File > Quit, Serial Ports > Device(0), Controller.
class MenuWindow : public LoggedWindow {
 public:
  explicit MenuWindow(fw::MenuBar* bar) : bar_(bar) {}
  std::vector<std::string> calls;
  void Layout() override {
    LoggedWindow::Layout();
    SetMenuBar(bar_);
  }
  void AddMenuHandlers() override {
    AddMenuHandler("deviceport", [this](int index) {
      calls.push_back("deviceport " + std::to_string(index));
      return true;
    });
    AddMenuHandler("CONTROLLERPORT", [this](int) {
      calls.push_back("controllerport");
      return false;
    });
  }

 private:
  fw::MenuBar* bar_;
};

std::unique_ptr<fw::MenuBar> MakeMenuBar() {
  auto bar = std::make_unique<fw::MenuBar>();
  auto file = std::make_unique<fw::MenuItem>();
  file->Name = "FileMenu";
  file->Text = "&File";
  auto quit = std::make_unique<fw::QuitMenuItem>();
  quit->Name = "FileQuit";
  quit->Text = "&Quit";
  quit->KeyboardShortcut = "Cmd+Q";
  file->Append(std::move(quit));
  bar->Append(std::move(file));

  auto ports = std::make_unique<fw::MenuItem>();
  ports->Name = "SerialPortsMenu";
  ports->Text = "Serial Ports";
  auto device = std::make_unique<fw::MenuItem>();
  device->Name = "Deviceport";
  device->Text = "Device";
  device->Index = 0;
  auto separator = std::make_unique<fw::MenuItem>();
  separator->Name = "UntitledMenu0";
  separator->Text = "-";
  auto controller = std::make_unique<fw::MenuItem>();
  controller->Name = "Controllerport";
  controller->Text = "Controller";
  ports->Append(std::move(device));
  ports->Append(std::move(separator));
  ports->Append(std::move(controller));
  bar->Append(std::move(ports));
  return bar;
}

TEST_F(WindowTest, MenuItemsReachHandlersByNameIgnoringCase) {
  auto bar = MakeMenuBar();
  MenuWindow w(bar.get());
  w.Build();

  ASSERT_NE(w.MenuAction("Deviceport"), nullptr);
  EXPECT_EQ(w.MenuAction("deviceport"), w.MenuAction("DEVICEPORT"));
  EXPECT_EQ(w.MenuAction("UntitledMenu0"), nullptr);  // separators are no items
  w.MenuAction("Deviceport")->trigger();
  w.MenuAction("Controllerport")->trigger();
  EXPECT_EQ(w.calls, (std::vector<std::string>{"deviceport 0", "controllerport"}));

  EXPECT_TRUE(w.HandleMenu(*bar->Child("serialportsmenu")->Child("deviceport")));
  EXPECT_FALSE(w.HandleMenu(*bar->Child("SerialPortsMenu")->Child("Controllerport")));  // handler said no
  EXPECT_FALSE(w.HandleMenu(*bar->Child("FileMenu")));                                 // no handler

  EXPECT_EQ(w.MenuAction("FileQuit")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Q));
  EXPECT_EQ(fw::PlatformShortcut("Cmd+Shift+Cmd"), "Ctrl+Shift+Ctrl");
  ASSERT_EQ(w.menuBar()->actions().size(), 2);
  EXPECT_EQ(w.menuBar()->actions()[0]->text(), "&File");
  w.Close();
}

TEST_F(WindowTest, QuitClosesTheMainWindowFirstThenEndsTheLoop) {
  auto bar = MakeMenuBar();
  std::string order;
  // Each window notes its close; the first also closes a third window that
  // its close event creates, as the main window does with the keypad.
  struct Noting : LoggedWindow {
    Noting(std::string& order, std::string name) : order_(order), name_(std::move(name)) {}
    std::function<void()> onClose;
    void Event_Close() override {
      LoggedWindow::Event_Close();
      order_ += name_ + " ";
      if (onClose) onClose();
    }
    std::string& order_;
    std::string name_;
  };
  for (fw::Window* w : fw::OpenWindows()) w->Close();  // leftovers of other tests

  auto main = std::make_unique<Noting>(order, "main");
  auto other = std::make_unique<Noting>(order, "other");
  std::unique_ptr<Noting> late;
  main->onClose = [&] {
    late = std::make_unique<Noting>(order, "late");
    late->Build();
    EXPECT_TRUE(QCoreApplication::instance() != nullptr);
  };
  main->Build();
  other->Build();
  other->Hide();

  MenuWindow menuOwner(bar.get());  // only for its Quit item
  menuOwner.Build();
  bool loopEnded = false;
  QTimer::singleShot(0, [&] { menuOwner.MenuAction("FileQuit")->trigger(); });
  QTimer::singleShot(3000, [&] { QCoreApplication::exit(1); });  // safety net
  const int rc = QCoreApplication::exec();
  loopEnded = true;
  EXPECT_EQ(rc, 0);
  EXPECT_TRUE(loopEnded);
  EXPECT_EQ(order, "main other late ");  // creation order after the main window
  EXPECT_EQ(main->closes, 1);
  EXPECT_EQ(other->closes, 1);
  ASSERT_TRUE(late);
  EXPECT_EQ(late->closes, 1);
  EXPECT_TRUE(menuOwner.IsClosed());
  EXPECT_TRUE(fw::OpenWindows().empty());
}

TEST_F(WindowTest, SingleInstanceIsBuiltOnceAndRecreatedAfterDestruction) {
  struct Single : LoggedWindow {};
  Single& a = fw::SingleInstance<Single>();
  Single& b = fw::SingleInstance<Single>();
  EXPECT_EQ(&a, &b);
  EXPECT_EQ(a.opens, 1);
  fw::DestroySingleWindows();
  Single& c = fw::SingleInstance<Single>();
  EXPECT_EQ(c.opens, 1);
  fw::DestroySingleWindows();
}

}  // namespace
