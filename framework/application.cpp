#include "framework/application.h"

#include <QApplication>
#include <QPointer>
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
  // Close in creation order (the main window first); closing one window may
  // create others, which are closed in turn.
  for (bool again = true; again;) {
    again = false;
    for (QWidget* w : QApplication::topLevelWidgets()) {
      auto* win = dynamic_cast<Window*>(w);
      if (win && !win->IsClosed() && win->isVisible()) {
        win->Close();
        again = true;
        break;
      }
    }
  }
  QCoreApplication::quit();
}

}  // namespace fw
