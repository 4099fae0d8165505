#include "bench/bench_window.h"

#include <cstdio>

#include "app/menubar1.h"
#include "bench/far_end.h"
#include "framework/dialogs.h"
#include "framework/files.h"
#include "framework/serial.h"
#include "framework/window.h"
#include "settings/config.h"

namespace vxbench {

namespace {
fw::Application* makeApp(int& argc, char** argv) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  return new fw::Application(argc, argv);
}
}  // namespace

BenchWindow::BenchWindow(int& argc, char** argv) : app_(makeApp(argc, argv)) {
  app_->SetMenuBar(&app::MenuBar1::instance());
  fw::testing::SetApplicationFolder(settings_.path().toStdString());
  fw::testing::HideMachinePorts(true);
  // A message box would wait for a person; report it instead.
  fw::testing::SetMsgBoxHook([](const std::string& text) { std::fprintf(stderr, "message: %s\n", text.c_str()); });
}

BenchWindow::~BenchWindow() {
  fw::DestroySingleWindows();
  fw::testing::SetMsgBoxHook(nullptr);
  fw::testing::ClearSerialPorts();
  fw::testing::SetApplicationFolder("");
  app_.reset();
  config::reset();
}

bool BenchWindow::Open(const std::string& devicePath, const std::string& controllerPath) {
  fw::testing::AddSerialPort("ttyBENCHDEV", devicePath);
  fw::testing::AddSerialPort("ttyBENCHCTL", controllerPath);
  // No settings file yet, so the window opens with both ports closed, as
  // on a first start; then the ports are chosen as from the menu.
  main_ = &app::main::instance();
  const auto action = main_->Timer1.Action;
  main_->Timer1.Action = [this, action] {
    ++ticks_;
    const int64_t t0 = vxbench::NowNs();
    action();
    tickNs_.push_back(vxbench::NowNs() - t0);
  };
  if (!main_->opendeviceport(0) || !main_->opencontrollerport(1)) {
    std::fprintf(stderr, "the pseudo-terminals did not open\n");
    return false;
  }
  return true;
}

void BenchWindow::Quit() { fw::Application::Quit(); }

}  // namespace vxbench
