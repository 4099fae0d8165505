// The real executable on a virtual X display (Xvfb, no window manager): it
// shows the main window, quits on Ctrl+Q sent with xdotool and leaves its
// settings file next to itself, so it runs as a copy in a fresh folder.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <algorithm>

#include "tests/support/pty.h"

namespace {

// Runs a helper to its end; true when it exited with status 0.
bool RunTool(const QProcessEnvironment& env, const QString& exe, const QStringList& args) {
  QProcess p;
  p.setProcessEnvironment(env);
  p.start(exe, args);
  return p.waitForFinished(15000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

// Processes still running at a failure are killed as their QProcess goes.
TEST(VornadexOnX11, ShowsTheMainWindowQuitsOnCtrlQAndKeepsItsSettings) {
  QTemporaryDir dir;
  QProcess xvfb, program;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  for (const char* tool : {"Xvfb", "xdotool"})
    ASSERT_FALSE(QStandardPaths::findExecutable(tool).isEmpty()) << tool << " is missing (Debian: xvfb, xdotool)";
  xvfb.start("Xvfb", {"-displayfd", "1", "-screen", "0", "1024x768x24", "-nolisten", "tcp"});
  xvfb.waitForReadyRead(15000);  // it writes its display number when ready
  const QString display = QString::fromLocal8Bit(xvfb.readLine()).trimmed();
  ASSERT_FALSE(display.isEmpty()) << "Xvfb did not start";
  env.insert("DISPLAY", ":" + display);
  env.insert("QT_QPA_PLATFORM", "xcb");
  const QString exe = dir.filePath("vornadex");
  ASSERT_TRUE(QFile::copy(VX_VORNADEX_EXE, exe));
  program.setProcessEnvironment(env);
  program.setWorkingDirectory(QDir::tempPath());  // the settings follow the executable, not this
  program.start(exe, {});
  ASSERT_TRUE(program.waitForStarted(5000));
  ASSERT_TRUE(RunTool(env, "xdotool", {"search", "--sync", "--onlyvisible", "--name", "^pelmark$"}))
      << "the main window did not show";
  for (int attempt = 0; attempt < 5 && program.state() != QProcess::NotRunning; ++attempt) {
    RunTool(env, "xdotool", {"search", "--onlyvisible", "--name", "^pelmark$", "windowfocus", "mousemove", "--window",
                         "%1", "20", "20", "key", "--clearmodifiers", "ctrl+q"});
    program.waitForFinished(3000);
  }
  ASSERT_EQ(program.state(), QProcess::NotRunning) << "Ctrl+Q did not quit the program";
  EXPECT_EQ(program.exitCode(), 0);
  // A first start without a settings file leaves 256 lines, three windows' positions and no port.
  const std::string text = vxtest::ReadWholeFile(dir.filePath("vornadex.ini").toStdString());
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 256);
  const QStringList lines = QString::fromStdString(text).split('\n');
  for (const char* key : {"pelmark_left", "Keyboard_top", "Select Port_left"}) EXPECT_TRUE(lines.contains(key)) << key;
  EXPECT_FALSE(lines.contains("deviceport") || lines.contains("controlport"));
  xvfb.terminate();
  xvfb.waitForFinished(5000);
}

}  // namespace
