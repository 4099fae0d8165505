#pragma once
// The real main window for the benchmarks: the application object and the
// menu bar as at start-up, settings in a temporary folder, and both serial
// sides opened on pseudo-terminals (the machine's own ports are hidden).
// Timer1 runs as in the program; ticks are counted by wrapping its action.
#include <QTemporaryDir>
#include <memory>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "framework/application.h"

namespace vxbench {

class BenchWindow {
 public:
  // Chooses the headless platform unless one is set (run under Xvfb with
  // QT_QPA_PLATFORM=xcb to draw on an X server).
  BenchWindow(int& argc, char** argv);
  ~BenchWindow();

  // Builds the main window and opens the device side on devicePath and
  // the controller side on controllerPath; false (with a message on
  // stderr) when a port does not open.
  bool Open(const std::string& devicePath, const std::string& controllerPath);

  app::main& Main() { return *main_; }
  long Ticks() const { return ticks_; }
  // How long each Timer1 action took (ns).
  const std::vector<int64_t>& TickDurations() const { return tickNs_; }
  // Runs the event loop until Quit.
  int Run() { return app_->Run(); }
  // Closes the window as the Quit menu item does and ends the loop.
  static void Quit();

 private:
  std::unique_ptr<fw::Application> app_;
  QTemporaryDir settings_;
  app::main* main_ = nullptr;
  long ticks_ = 0;
  std::vector<int64_t> tickNs_;
};

}  // namespace vxbench
