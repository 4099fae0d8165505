#pragma once
// Main window tests: settings in a temporary folder, only the tests' own
// pseudo-terminals as the machine's ports, message boxes captured, and the
// timer stopped so the tests tick the window themselves.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <functional>
#include <memory>

#include "app/main_window.h"
#include "settings/config.h"
#include "tests/support/pty.h"

namespace vxtest {

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  app::main& OpenMain();
  // Ends a run as closing the main window does, then forgets windows and settings.
  void Finish() {
    app::main::instance().Close();
    fw::DestroySingleWindows();
    config::reset();
  }
  // A new pseudo-terminal appended to the machine's ports; lives until the fixture ends.
  PtyPeer& AddPort(const std::string& name);
  std::string SettingsPath() const { return dir_.filePath("vornadex.ini").toStdString(); }
  void WriteFile(const std::string& bytes);
  std::string ReadFile() const;
  std::vector<std::string> ReadSettings() const;
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
