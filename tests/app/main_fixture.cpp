#include "tests/app/main_fixture.h"

#include <QFile>
#include <QTextStream>

#include "framework/dialogs.h"
#include "framework/files.h"
#include "framework/serial.h"
#include "framework/window.h"
#include "protocol/sonysr.h"
#include "settings/config.h"

namespace vxtest {

void MainWindowTest::SetUp() {
  ASSERT_TRUE(dir_.isValid());
  fw::testing::SetApplicationFolder(dir_.path().toStdString());
  fw::testing::HideMachinePorts(true);
  fw::testing::ClearSerialPorts();
  fw::testing::SetMsgBoxHook([this](const std::string& text) { messages.push_back(text); });
  config::reset();
  sonysr::reset();
}

void MainWindowTest::TearDown() {
  fw::DestroySingleWindows();
  fw::testing::SetMsgBoxHook(nullptr);
  fw::testing::SetModalHook(nullptr);
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
  ptys_.push_back(std::make_unique<PtyPeer>());
  fw::testing::AddSerialPort(name, ptys_.back()->PortPath());
  return *ptys_.back();
}

void MainWindowTest::WriteSettings(const std::vector<std::string>& lines) {
  QFile f(dir_.filePath("vornadex.ini"));
  ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
  for (const std::string& line : lines) f.write((line + "\n").c_str());
}

std::vector<std::string> MainWindowTest::ReadSettings() const {
  std::vector<std::string> lines;
  QFile f(dir_.filePath("vornadex.ini"));
  if (!f.open(QIODevice::ReadOnly)) return lines;
  while (!f.atEnd()) lines.push_back(f.readLine().trimmed().toStdString());
  return lines;
}

std::string MainWindowTest::Ask(PtyPeer& pty, std::string_view hex, size_t replyBytes) {
  pty.Write(Bytes(hex));
  return Hex(pty.ReadExactly(replyBytes));
}

}  // namespace vxtest
