#include "framework/application.h"

#include <QApplication>
#include <vector>

#include "framework/window.h"

namespace fw {

Application::Application(int& argc, char** argv) : app_(std::make_unique<QApplication>(argc, argv)) {}

Application::~Application() {
  DestroySingleWindows();
  app_.reset();
}

int Application::Run() { return QApplication::exec(); }

void Application::Quit() {
  // Close in creation order (the main window first, whose close event may
  // close others itself); closing one window may create others, which are
  // closed in turn. Hidden windows are closed too, so every window's close
  // event runs once.
  for (std::vector<Window*> open = OpenWindows(); !open.empty(); open = OpenWindows()) open.front()->Close();
  QCoreApplication::quit();
}

}  // namespace fw
