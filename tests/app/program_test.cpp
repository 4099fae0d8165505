// The program across runs: what a start reopens from the settings file,
// what a close leaves in it, and the main window's menu handlers. A "run"
// is the main window's life: made by its accessor, ended by its close,
// with the single-instance windows and the settings module reset between.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "app/menubar1.h"
#include "app/selectport.h"
#include "controls/keybd.h"
#include "framework/dialogs.h"
#include "framework/files.h"
#include "framework/serial.h"
#include "framework/strings.h"
#include "framework/window.h"
#include "settings/config.h"
#include "tests/support/pty.h"

namespace {

class ProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    fw::DestroySingleWindows();
    config::reset();
    fw::testing::SetApplicationFolder(dir_.path().toStdString());
    fw::testing::HideMachinePorts(true);
    fw::testing::ClearSerialPorts();
    fw::testing::SetMsgBoxHook([this](const std::string& text) {
      messages.push_back(text);
      if (onMessage) onMessage(text);
    });
  }

  void TearDown() override {
    fw::testing::SetModalHook(nullptr);
    fw::testing::SetFileDialogHook(nullptr);
    fw::DestroySingleWindows();
    fw::testing::SetMsgBoxHook(nullptr);
    fw::testing::ClearSerialPorts();
    fw::testing::HideMachinePorts(false);
    fw::testing::SetApplicationFolder("");
    config::reset();
  }

  // Starts a run: the main window opens and reads the settings file. The
  // timer is stopped so that no tick writes to the test's ports.
  app::main& start() {
    app::main& w = app::main::instance();
    w.Timer1.SetEnabled(false);
    return w;
  }

  // Ends the run as a close of the main window does, then forgets it all.
  void finish() {
    app::main::instance().Close();
    fw::DestroySingleWindows();
    config::reset();
  }

  vxtest::PtyPeer& addPort(const std::string& name) {
    ptys_.push_back(std::make_unique<vxtest::PtyPeer>());
    fw::testing::AddSerialPort(name, ptys_.back()->PortPath());
    return *ptys_.back();
  }

  std::string settingsPath() const { return dir_.filePath("vornadex.ini").toStdString(); }

  void writeSettings(const std::vector<std::string>& lines) {
    QFile f(QString::fromStdString(settingsPath()));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    for (const std::string& line : lines) f.write((line + "\n").c_str());
  }

  std::vector<std::string> readSettings() const {
    std::vector<std::string> lines;
    QFile f(QString::fromStdString(settingsPath()));
    if (!f.open(QIODevice::ReadOnly)) return lines;
    QTextStream in(&f);
    while (!in.atEnd()) lines.push_back(in.readLine().toStdString());
    return lines;
  }

  // The value stored after key in the file's lines; "?" when absent.
  static std::string valueOf(const std::vector<std::string>& lines, const std::string& key) {
    for (size_t i = 0; i + 1 < lines.size(); i += 2)
      if (fw::EqualsIgnoreCase(lines[i], key)) return lines[i + 1];
    return "?";
  }

  // Serial Ports > item, answering the chooser by selecting row.
  bool chooseFromMenu(const std::string& item, int row) {
    fw::testing::SetModalHook([row](fw::Window& w) {
      auto& chooser = dynamic_cast<app::selectport&>(w);
      chooser.SerialPopup->SetListIndex(row);
      chooser.BevelButton1->click();
    });
    app::main& w = start();
    const fw::MenuItem* menuItem = app::MenuBar1::instance().Child("SerialPortsMenu")->Child(item);
    const bool handled = w.HandleMenu(*menuItem);
    fw::testing::SetModalHook(nullptr);
    return handled;
  }

  std::vector<std::string> messages;
  std::function<void(const std::string&)> onMessage;
  QTemporaryDir dir_;

 private:
  std::vector<std::unique_ptr<vxtest::PtyPeer>> ptys_;
};

TEST_F(ProgramTest, FirstStartWithoutFileLeavesPositionsAndNoPort) {
  app::main& w = start();
  EXPECT_TRUE(messages.empty());
  EXPECT_EQ(w.Controllerbox->Caption(), "controller");
  EXPECT_EQ(w.devicebox->Caption(), "Device");
  EXPECT_FALSE(w.serialcopen);
  finish();

  const std::vector<std::string> lines = readSettings();
  ASSERT_EQ(lines.size(), 256u);
  for (const char* title : {"pelmark", "Keyboard", "Select Port"}) {
    EXPECT_NE(valueOf(lines, std::string(title) + "_left"), "?") << title;
    EXPECT_NE(valueOf(lines, std::string(title) + "_top"), "?") << title;
  }
  EXPECT_EQ(valueOf(lines, "deviceport"), "?");
  EXPECT_EQ(valueOf(lines, "controlport"), "?");
  EXPECT_TRUE(messages.empty());
}

TEST_F(ProgramTest, StoredPortsThatExistAreReopened) {
  addPort("vxdevice");
  addPort("vxcontrol");
  writeSettings({"deviceport", "VXDEVICE", "controlport", "vxcontrol"});
  app::main& w = start();
  EXPECT_TRUE(messages.empty());
  EXPECT_TRUE(w.Seriald.IsOpen());
  EXPECT_TRUE(w.Serialc.IsOpen());
  EXPECT_TRUE(w.serialcopen);
  // The caption names the machine's port, whatever the case stored.
  EXPECT_EQ(w.devicebox->Caption(), "Device-vxdevice");
  EXPECT_EQ(w.Controllerbox->Caption(), "Controller-vxcontrol");
  finish();
  const std::vector<std::string> lines = readSettings();
  EXPECT_EQ(valueOf(lines, "deviceport"), "vxdevice");
  EXPECT_EQ(valueOf(lines, "controlport"), "vxcontrol");
}

TEST_F(ProgramTest, DeviceFailureIsToldBeforeTheControllerPortIsTried) {
  fw::testing::AddSerialPort("vxdead", dir_.filePath("no-such-tty").toStdString());
  addPort("vxcontrol");
  writeSettings({"deviceport", "vxdead", "controlport", "vxcontrol"});
  bool controllerOpenAtMessage = true;
  onMessage = [&](const std::string&) { controllerOpenAtMessage = app::main::instance().Serialc.IsOpen(); };

  app::main& w = start();
  EXPECT_EQ(messages, std::vector<std::string>{"Error opening device serial port."});
  EXPECT_FALSE(controllerOpenAtMessage);
  EXPECT_EQ(w.devicebox->Caption(), "Device");
  EXPECT_EQ(w.Controllerbox->Caption(), "Controller-vxcontrol");
  finish();
  EXPECT_EQ(valueOf(readSettings(), "deviceport"), "vxdead");  // kept for the next start
}

TEST_F(ProgramTest, WindowPositionsSurviveRestartsWithoutCreeping) {
  app::main& w = start();
  w.SetLeft(140);
  w.SetTop(90);
  keybd::instance().SetLeft(33);
  keybd::instance().SetTop(44);
  app::selectport::instance().SetLeft(-20);
  app::selectport::instance().SetTop(300);
  finish();
  const std::vector<std::string> first = readSettings();

  for (int run = 0; run < 2; ++run) {
    app::main& again = start();
    EXPECT_EQ(again.Left(), 140);
    EXPECT_EQ(again.Top(), 90);
    EXPECT_EQ(keybd::instance().Left(), 33);
    EXPECT_EQ(keybd::instance().Top(), 44);
    EXPECT_EQ(app::selectport::instance().Left(), -20);
    EXPECT_EQ(app::selectport::instance().Top(), 300);
    finish();
    EXPECT_EQ(readSettings(), first) << "run " << run;
  }
}

TEST_F(ProgramTest, ControllerNoneClosesThePortAndKeepsTheStoredName) {
  addPort("vxcontrol");
  writeSettings({"controlport", "vxcontrol"});
  ASSERT_TRUE(start().serialcopen);

  EXPECT_FALSE(chooseFromMenu("Controllerport", 0));
  app::main& w = app::main::instance();
  EXPECT_FALSE(w.Serialc.IsOpen());
  EXPECT_FALSE(w.serialcopen);
  EXPECT_EQ(w.Controllerbox->Caption(), "controller");
  EXPECT_TRUE(messages.empty());
  finish();
  EXPECT_EQ(valueOf(readSettings(), "controlport"), "vxcontrol");
}

TEST_F(ProgramTest, DevicePortChosenFromTheMenuOpensAndIsStored) {
  addPort("vxother");
  addPort("vxdevice");
  EXPECT_TRUE(chooseFromMenu("Deviceport", 2));
  app::main& w = app::main::instance();
  EXPECT_TRUE(w.Seriald.IsOpen());
  EXPECT_EQ(w.devicebox->Caption(), "Device-vxdevice");
  EXPECT_EQ(config::getstring("deviceport"), "vxdevice");
  // The same port chosen again is closed and opened again.
  EXPECT_TRUE(chooseFromMenu("Deviceport", 2));
  EXPECT_TRUE(w.Seriald.IsOpen());
  finish();
  EXPECT_EQ(valueOf(readSettings(), "deviceport"), "vxdevice");
}

TEST_F(ProgramTest, RowOfAPortRemovedSinceTheListWasFilledFailsSafely) {
  addPort("vxgone");
  app::selectport::instance();  // the list now holds "none" and vxgone
  fw::testing::ClearSerialPorts();
  EXPECT_FALSE(chooseFromMenu("Deviceport", 1));
  EXPECT_EQ(messages, std::vector<std::string>{"Error opening device serial port."});
  EXPECT_EQ(app::main::instance().devicebox->Caption(), "Device");
  EXPECT_EQ(config::getstring("deviceport"), "");
}

TEST_F(ProgramTest, HelpItemsAreHandledAndChangeNothing) {
  app::main& w = start();
  const auto tableBefore = config::parray;
  const std::string controllerCaption = w.Controllerbox->Caption();
  const std::string deviceCaption = w.devicebox->Caption();
  const fw::MenuItem* help = app::MenuBar1::instance().Child("HelpMenu");

  EXPECT_TRUE(w.HandleMenu(*help->Child("Helpmanual")));

  std::vector<std::pair<std::string, std::string>> dialogs;
  fw::testing::SetFileDialogHook([&](const std::string& title, const std::string& filter) {
    dialogs.emplace_back(title, filter);
    return dir_.filePath("chosen.pdf").toStdString();
  });
  EXPECT_TRUE(w.HandleMenu(*help->Child("mFiles")));
  const std::vector<std::pair<std::string, std::string>> want = {{"Select a PDF file", "pdf (*.pdf)"},
                                                                 {"", "pdf (*.pdf)"}};
  EXPECT_EQ(dialogs, want);

  EXPECT_EQ(config::parray, tableBefore);
  EXPECT_EQ(w.Controllerbox->Caption(), controllerCaption);
  EXPECT_EQ(w.devicebox->Caption(), deviceCaption);
  EXPECT_TRUE(messages.empty());
}

}  // namespace
