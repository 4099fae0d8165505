#pragma once
// The application: the event loop on the one event thread.
#include <memory>

class QApplication;

namespace fw {

class MenuBar;

class Application {
 public:
  Application(int& argc, char** argv);
  virtual ~Application();
  void SetMenuBar(MenuBar* bar) { menuBar_ = bar; }
  MenuBar* GetMenuBar() const { return menuBar_; }
  // Runs the event loop until the application quits; the exit status.
  int Run();
  // Closes every open window (running its Event_Close), then ends the loop.
  static void Quit();

 private:
  std::unique_ptr<QApplication> app_;
  MenuBar* menuBar_ = nullptr;
};

}  // namespace fw
