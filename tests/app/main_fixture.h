#pragma once
// A fixture for tests of the main window: settings in a temporary folder,
// only the tests' own pseudo-terminals as the machine's ports, message
// boxes captured, and the main window built with its timer stopped so the
// tests tick it themselves.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <memory>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "tests/support/pty.h"

namespace vxtest {

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // The main window, built (Event_Open included) with its timer stopped.
  app::main& OpenMain();
  // A new pseudo-terminal, appended to the machine's port list as name.
  // It lives until the fixture ends, after the window is gone.
  PtyPeer& AddPort(const std::string& name);
  // Writes a settings file of the given lines to the application folder.
  void WriteSettings(const std::vector<std::string>& lines);
  std::vector<std::string> ReadSettings() const;
  // Sends hex bytes from the far end and returns the program's reply of
  // replyBytes bytes (hex).
  std::string Ask(PtyPeer& pty, std::string_view hex, size_t replyBytes);

  std::vector<std::string> messages;  // texts of the message boxes shown

 private:
  QTemporaryDir dir_;
  std::vector<std::unique_ptr<PtyPeer>> ptys_;
};

}  // namespace vxtest
