// fw::Window: build order, showing, modal loop and quitting; fw::Timer. Menu dispatch, sizes,
// positions, dialogs and files: through the main window (tests/app); a canvas's keys: the keypad.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
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

// Notes its build steps and events in log; onClose runs in Event_Close.
struct LoggedWindow : fw::Window {
  explicit LoggedWindow(fw::MenuBar* bar = nullptr, std::string name = "") : bar(bar), name(std::move(name)) {}
  fw::MenuBar* bar;
  std::string name, log;
  std::function<void()> onClose;
  int activates = 0;

  void Layout() override {
    log += "layout ";
    SetContentSize(120, 80);
    if (bar) SetMenuBar(bar);
  }
  void CreateControls() override {
    struct Control : fw::ContainerControl {
      Control(QWidget* parent, std::string& log) : fw::ContainerControl(parent), log(log) {}
      void Event_Open() override { log += "control-open "; }
      std::string& log;
    };
    log += "controls ";
    new Control(Content(), log);
  }
  void AddMenuHandlers() override { log += "menus "; }
  void Event_Open() override { log += "open "; }
  void Event_Activate() override { ++activates; }
  void Event_Close() override {
    log += "close ";
    if (onClose) onClose();
  }
};

// File > Quit, Cmd+Q.
std::unique_ptr<fw::MenuBar> MakeMenuBar() {
  auto bar = std::make_unique<fw::MenuBar>();
  auto file = std::make_unique<fw::MenuItem>();
  auto quit = std::make_unique<fw::QuitMenuItem>();
  file->Text = "&File";
  quit->Name = "FileQuit", quit->Text = "&Quit", quit->KeyboardShortcut = "Cmd+Q";
  file->Append(std::move(quit));
  bar->Append(std::move(file));
  return bar;
}

TEST(Window, OpensOnceActivatesAtEveryShowingAndClosesOnce) {
  LoggedWindow w;
  w.Build(), w.Build();
  for (int i = 0; i < 2; ++i) w.Hide(), w.Show();
  w.close();  // the close box
  w.Close();
  w.Show();  // a closed window stays closed
  EXPECT_EQ(w.log, "layout controls menus control-open open close ");
  EXPECT_EQ(w.activates, 3);
  EXPECT_FALSE(w.isVisible());

  LoggedWindow hidden;
  hidden.SetDesignVisible(false);
  hidden.Build();
  EXPECT_FALSE(hidden.isVisible());
  EXPECT_EQ(hidden.activates, 0);
}

TEST(Window, ShowModalEndsOnHideOrCloseOnlyWhileTimersAndPortsGoOn) {
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
    EXPECT_EQ(QApplication::modalWindow(), shown.windowHandle());
    QTimer::singleShot(60, &shown, [&shown] { shown.Hide(); });  // answered later, from the nested loop
  });
  w.ShowModal();
  EXPECT_GE(ticks, 3);
  EXPECT_EQ(received, "ack");
  EXPECT_FALSE(w.isVisible() || w.IsModalShown());

  // A window manager may offer close on a window designed without a close box: the
  // request is refused, the window stays shown and its modal showing goes on.
  w.SetFrameButtons(false, false, false);
  fw::testing::SetModalHook([&](fw::Window& shown) {
    shown.close();
    EXPECT_TRUE(shown.isVisible() && shown.IsModalShown());
    QTimer::singleShot(0, &shown, [&] { received = "hidden later", shown.Hide(); });
  });
  w.ShowModal();
  EXPECT_EQ(received, "hidden later");

  fw::testing::SetModalHook([](fw::Window& shown) { shown.Close(); });
  w.ShowModal();
  EXPECT_TRUE(w.log.ends_with("open close "));
  fw::testing::SetModalHook(nullptr);
}

TEST(Timer, DisabledItStaysQuietEnabledAgainItTicksAWholePeriodLaterAndRepeats) {
  fw::Timer timer;
  QElapsedTimer clock;
  std::vector<qint64> ticks;  // ms on clock
  timer.Action = [&] { ticks.push_back(clock.elapsed()); };
  // Waits through processEvents: a quit left over from another test ends every nested loop at once.
  const auto pump = [&](qint64 ms, size_t n) {
    return vxtest::PumpUntil([&] { return clock.elapsed() >= ms && ticks.size() >= n; }, 10000);
  };
  timer.SetPeriod(100), clock.start();
  ASSERT_TRUE(pump(0, 1));
  pump(ticks[0] + 50, 0);  // half-way to the next tick
  timer.SetEnabled(false), timer.SetPeriod(250);  // the period for when it runs again
  pump(ticks[0] + 650, 0);
  EXPECT_TRUE(ticks.size() == 1 && !timer.Enabled());
  clock.restart(), timer.SetEnabled(true);  // clock first: a slow machine makes a tick late, never early
  ASSERT_TRUE(pump(0, 3));
  EXPECT_GE(ticks[1], 245);  // a fresh period, not what was left of the old one
}

TEST(Window, QuitClosesEveryWindowMainFirstThenEndsTheLoop) {
  for (fw::Window* w : fw::OpenWindows()) w->Close();  // leftovers of other tests
  auto bar = MakeMenuBar();
  std::string order;
  auto named = [&](const std::string& name) {
    auto w = std::make_unique<LoggedWindow>(bar.get(), name);
    w->onClose = [&order, name] { order += name + " "; };
    return w;
  };
  auto main = named("main"), other = named("other");
  std::unique_ptr<LoggedWindow> late;
  // The main window closing makes another window, as it does with the keypad.
  main->onClose = [&] { order += "main ", (late = named("late"))->Build(); };
  main->Build();
  other->Build();
  other->Hide();

  ASSERT_EQ(other->MenuAction("filequit")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Q));
  QTimer::singleShot(0, [&] { other->MenuAction("FileQuit")->trigger(); });
  // Safety net, owned by the test: left pending, it would end a later test's event loops.
  QObject net;
  QTimer::singleShot(3000, &net, [] { QCoreApplication::exit(1); });
  EXPECT_EQ(QCoreApplication::exec(), 0);
  EXPECT_EQ(order, "main other late ");  // creation order, main window first, each once
  EXPECT_TRUE(fw::OpenWindows().empty());
}

}  // namespace
