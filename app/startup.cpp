// The program: the application object with the menu bar, the main window,
// then the event loop until the user quits.
#include "app/main_window.h"
#include "app/menubar1.h"
#include "framework/application.h"
#include "framework/window.h"
#include "settings/config.h"

namespace {

// The application object; the framework's Application serves as it is.
class App : public fw::Application {
 public:
  using fw::Application::Application;
};

}  // namespace

int main(int argc, char** argv) {
  int rc = 0;
  {
    App theApp(argc, argv);
    theApp.SetMenuBar(&app::MenuBar1::instance());
    // Creates, opens and shows the main window; it reopens the stored ports.
    app::main::instance();
    rc = theApp.Run();
    // Quitting has closed the main window, which saved the settings.
    fw::DestroySingleWindows();
  }
  config::reset();
  return rc;
}
