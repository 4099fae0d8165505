#pragma once
// Main window tests: settings in a temporary folder, only the tests' own
// pseudo-terminals as the machine's ports, message boxes captured, and the
// timer stopped so the tests tick the window themselves.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <memory>

#include "app/main_window.h"
#include "controls/keybd.h"
#include "framework/dialogs.h"
#include "framework/files.h"
#include "framework/serial.h"
#include "protocol/sonysr.h"
#include "settings/config.h"
#include "tests/support/pty.h"

namespace vxtest {

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    fw::testing::SetApplicationFolder(dir_.path().toStdString());
    fw::testing::HideMachinePorts(true);
    fw::testing::SetMsgBoxHook([this](const std::string& text) {
      messages.push_back(text);
      if (onMessage) onMessage(text);
    });
  }
  void TearDown() override {
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
  static app::main& OpenMain() {
    app::main::instance().Timer1.SetEnabled(false);
    return app::main::instance();
  }
  // Ends a run as closing the main window does, then forgets windows and settings.
  static void Finish() {
    app::main::instance().Close();
    fw::DestroySingleWindows();
    config::reset();
  }
  // A new pseudo-terminal appended to the machine's ports; lives until the fixture ends.
  PtyPeer& AddPort(const std::string& name) {
    fw::testing::AddSerialPort(name, ptys_.emplace_back(std::make_unique<PtyPeer>())->PortPath());
    return *ptys_.back();
  }
  static void AnswerKeypad(const std::string& digits) {  // every showing: Reset, the eight digits, OK
    fw::testing::SetModalHook([digits](fw::Window& w) {
      auto& k = dynamic_cast<keybd&>(w);
      Click(k.BevelButton4);
      for (char d : digits) Click(k.numk[d - '0']);
      Click(k.kok);
    });
  }
  std::string SettingsPath() const { return dir_.filePath("vornadex.ini").toStdString(); }
  std::string ReadFile() const { return ReadWholeFile(SettingsPath()); }
  void WriteFile(std::string_view bytes) const { WriteWholeFile(SettingsPath(), bytes); }
  // Sends hex bytes from the far end; the reply of replyBytes bytes, as hex.
  static std::string Ask(PtyPeer& pty, std::string_view hex, size_t replyBytes) {
    pty.Write(Bytes(hex));
    return Hex(pty.ReadExactly(replyBytes));
  }

  std::vector<std::string> messages;
  std::function<void(const std::string&)> onMessage;

 private:
  QTemporaryDir dir_;
  std::vector<std::unique_ptr<PtyPeer>> ptys_;
};

}  // namespace vxtest
