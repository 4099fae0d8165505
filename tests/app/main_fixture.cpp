#include "tests/app/main_fixture.h"

#include <QFile>
#include <sstream>

#include "framework/dialogs.h"
#include "framework/files.h"
#include "framework/serial.h"
#include "protocol/sonysr.h"

namespace vxtest {

void MainWindowTest::SetUp() {
  ASSERT_TRUE(dir_.isValid());
  fw::testing::SetApplicationFolder(dir_.path().toStdString());
  fw::testing::HideMachinePorts(true);
  fw::testing::SetMsgBoxHook([this](const std::string& text) {
    messages.push_back(text);
    if (onMessage) onMessage(text);
  });
}

void MainWindowTest::TearDown() {
  fw::DestroySingleWindows();
  fw::testing::SetMsgBoxHook(nullptr);
  fw::testing::SetModalHook(nullptr);
  fw::testing::SetFileDialogHook(nullptr);
  fw::testing::ClearSerialPorts();
  fw::testing::HideMachinePorts(false);
  fw::testing::SetApplicationFolder("");
  config::reset();
  sonysr::reset();
}

app::main& MainWindowTest::OpenMain() {
  app::main& m = app::main::instance();
  m.Timer1.SetEnabled(false);
  return m;
}

PtyPeer& MainWindowTest::AddPort(const std::string& name) {
  fw::testing::AddSerialPort(name, ptys_.emplace_back(std::make_unique<PtyPeer>())->PortPath());
  return *ptys_.back();
}

void MainWindowTest::WriteFile(const std::string& bytes) {
  QFile f(QString::fromStdString(SettingsPath()));
  ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
  f.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

std::string MainWindowTest::ReadFile() const {
  QFile f(QString::fromStdString(SettingsPath()));
  return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : "<missing>";
}

std::vector<std::string> MainWindowTest::ReadSettings() const {
  std::vector<std::string> lines;
  std::istringstream in(ReadFile());
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

}  // namespace vxtest
