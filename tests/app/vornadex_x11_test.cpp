// The real executable on a virtual X display (Xvfb): it shows the main
// window, quits on Ctrl+Q (sent with xdotool) and leaves its settings file
// next to itself. The program has no options, so each test runs a copy of
// it in a fresh folder, which is then its settings folder.
#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>
#include <iostream>
#include <string>
#include <vector>

namespace {

constexpr QRgb kBackground = 0x80FFFF;
constexpr QRgb kLit = 0x80FF80;
constexpr QRgb kOff = 0xD0D0D0;

// A pixel of the main window's content area and the colour it must have.
struct PixelCheck {
  const char* what;
  int x, y;
  QRgb rgb;
};

// Points inside the displays and keys, clear of their captions.
const std::vector<PixelCheck> kStartScreen = {
    {"background right of the device side", 525, 100, kBackground},
    {"background between the sides", 262, 150, kBackground},
    {"controller display lit", 36, 46, kLit},
    {"device display lit", 306, 46, kLit},
    {"controller Off lamp lit", 159, 212, kLit},
    {"controller On lamp off", 207, 212, kOff},
    {"device Off lamp lit", 422, 210, kLit},
    {"device On lamp off", 471, 210, kOff},
};

class VirtualDisplay {
 public:
  ~VirtualDisplay() {
    if (xvfb_.state() == QProcess::NotRunning) return;
    xvfb_.terminate();
    if (!xvfb_.waitForFinished(5000)) xvfb_.kill();
    xvfb_.waitForFinished(2000);
  }

  // Starts Xvfb on a free display number, which it reports when ready.
  bool Start() {
    xvfb_.start("Xvfb", {"-displayfd", "1", "-screen", "0", "1024x768x24", "-nolisten", "tcp"});
    if (!xvfb_.waitForStarted(5000)) return false;
    QElapsedTimer t;
    t.start();
    while (!xvfb_.canReadLine() && t.elapsed() < 15000) xvfb_.waitForReadyRead(500);
    const QString number = QString::fromLocal8Bit(xvfb_.readLine()).trimmed();
    if (number.isEmpty()) return false;
    display_ = ":" + number;
    return true;
  }

  // The environment of a program that draws on this display.
  QProcessEnvironment Env() const {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DISPLAY", display_);
    env.insert("QT_QPA_PLATFORM", "xcb");
    env.remove("WAYLAND_DISPLAY");
    return env;
  }

 private:
  QProcess xvfb_;
  QString display_;
};

class VornadexOnX11 : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* tool : {"Xvfb", "xdotool"})
      ASSERT_FALSE(QStandardPaths::findExecutable(tool).isEmpty())
          << tool << " is missing: install the Debian packages xvfb and xdotool";
    ASSERT_TRUE(dir_.isValid());
    ASSERT_TRUE(display_.Start()) << "Xvfb did not start";
    exe_ = dir_.filePath("vornadex");
    ASSERT_TRUE(QFile::copy(VX_VORNADEX_EXE, exe_));
  }

  void TearDown() override {
    if (program_.state() != QProcess::NotRunning) {
      program_.kill();
      program_.waitForFinished(5000);
    }
    if (HasFailure()) {
      dir_.setAutoRemove(false);
      std::cerr << "screenshots and settings kept in " << dir_.path().toStdString() << "\n";
    }
  }

  void startProgram() {
    program_.setProcessEnvironment(display_.Env());
    program_.setWorkingDirectory(QDir::tempPath());  // the settings follow the executable, not this
    program_.setProcessChannelMode(QProcess::ForwardedChannels);
    program_.start(exe_, {});
    ASSERT_TRUE(program_.waitForStarted(5000));
  }

  // Runs a helper to its end; true when it exited with status 0.
  bool runTool(const QString& program, const QStringList& args) {
    QProcess p;
    p.setProcessEnvironment(display_.Env());
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.start(program, args);
    if (!p.waitForFinished(15000)) {
      p.kill();
      p.waitForFinished(2000);
      return false;
    }
    return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
  }

  QImage screenshot() {
    const QString file = dir_.filePath("screen.png");
    QFile::remove(file);
    if (!runTool(VX_XGRAB_EXE, {file})) return {};
    return QImage(file).convertToFormat(QImage::Format_RGB32);
  }

  // Waits until the main window shows as it should at start; the top left
  // corner of its content area on the screen, found by its background.
  QPoint waitForStartScreen() {
    std::string lastProblem = "no screenshot";
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 30000 && program_.state() == QProcess::Running) {
      const QImage shot = screenshot();
      lastProblem = shot.isNull() ? "no screenshot" : checkStartScreen(shot, origin_);
      if (lastProblem.empty()) return origin_;
      program_.waitForFinished(200);  // returns early only if the program ends
    }
    ADD_FAILURE() << "the main window did not show as expected: " << lastProblem;
    return {};
  }

  static std::string checkStartScreen(const QImage& shot, QPoint& origin) {
    // The content's own top left pixel is background; nothing above or to
    // the left of it on the screen has that colour.
    origin = QPoint(-1, -1);
    for (int y = 0; y < shot.height() && origin.x() < 0; ++y)
      for (int x = 0; x < shot.width(); ++x)
        if ((shot.pixel(x, y) & 0xFFFFFF) == kBackground) {
          origin = QPoint(x, y);
          break;
        }
    if (origin.x() < 0) return "no background colour on the screen";
    for (const PixelCheck& c : kStartScreen) {
      const QRgb got = shot.pixel(origin.x() + c.x, origin.y() + c.y) & 0xFFFFFF;
      if (got != c.rgb) return std::string(c.what) + ": got " + QString::number(got, 16).toStdString();
    }
    return {};
  }

  // Ctrl+Q to the main window, again until the program ends.
  void quitWithShortcut() {
    for (int attempt = 0; attempt < 5 && program_.state() != QProcess::NotRunning; ++attempt) {
      runTool("xdotool", {"search", "--onlyvisible", "--name", "^pelmark$", "windowfocus", "mousemove", "--window",
                          "%1", "20", "20", "key", "--clearmodifiers", "ctrl+q"});
      program_.waitForFinished(3000);
    }
    ASSERT_EQ(program_.state(), QProcess::NotRunning) << "Ctrl+Q did not quit the program";
    EXPECT_EQ(program_.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program_.exitCode(), 0);
  }

  std::vector<std::string> readSettings() const {
    std::vector<std::string> lines;
    QFile f(dir_.filePath("vornadex.ini"));
    if (!f.open(QIODevice::ReadOnly)) return lines;
    QTextStream in(&f);
    while (!in.atEnd()) lines.push_back(in.readLine().toStdString());
    return lines;
  }

  static int keyLine(const std::vector<std::string>& lines, const std::string& key) {
    for (size_t i = 0; i < lines.size(); i += 2)
      if (lines[i] == key) return static_cast<int>(i);
    return -1;
  }

  QTemporaryDir dir_;
  VirtualDisplay display_;
  QString exe_;
  QProcess program_;
  QPoint origin_;
};

TEST_F(VornadexOnX11, ShowsTheMainWindowQuitsOnCtrlQAndKeepsItsSettings) {
  ASSERT_NO_FATAL_FAILURE(startProgram());
  waitForStartScreen();
  ASSERT_FALSE(HasFailure());
  ASSERT_NO_FATAL_FAILURE(quitWithShortcut());

  std::vector<std::string> lines = readSettings();
  ASSERT_EQ(lines.size(), 256u);
  for (const char* title : {"pelmark", "Keyboard", "Select Port"}) {
    EXPECT_GE(keyLine(lines, std::string(title) + "_left"), 0) << title;
    EXPECT_GE(keyLine(lines, std::string(title) + "_top"), 0) << title;
  }
  EXPECT_LT(keyLine(lines, "deviceport"), 0);
  EXPECT_LT(keyLine(lines, "controlport"), 0);

  // A second start takes the stored place of the main window and stores it
  // back unchanged.
  const int left = keyLine(lines, "pelmark_left");
  const int top = keyLine(lines, "pelmark_top");
  ASSERT_GE(left, 0);
  ASSERT_GE(top, 0);
  lines[static_cast<size_t>(left) + 1] = "100";
  lines[static_cast<size_t>(top) + 1] = "60";
  {
    QFile f(dir_.filePath("vornadex.ini"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    for (const std::string& line : lines) f.write((line + "\n").c_str());
  }

  ASSERT_NO_FATAL_FAILURE(startProgram());
  const QPoint origin = waitForStartScreen();
  ASSERT_FALSE(HasFailure());
  // No window manager here: the frame is the window itself, with the menu
  // bar above the content.
  EXPECT_EQ(origin.x(), 100);
  EXPECT_GT(origin.y(), 60);
  ASSERT_NO_FATAL_FAILURE(quitWithShortcut());
  EXPECT_EQ(readSettings(), lines);
}

}  // namespace
