// The main window's layout, opening and closing, its ports and the messages
// that tell the user about them.
#include <gtest/gtest.h>

#include <QPalette>
#include <algorithm>
#include <string>

#include "framework/serial.h"
#include "settings/config.h"
#include "tests/app/main_fixture.h"

namespace vxtest {
namespace {

using MainTest = MainWindowTest;

void ExpectBounds(const fw::Control* c, int x, int y, int w, int h) {
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(c->Left(), x) << c->Name;
  EXPECT_EQ(c->Top(), y) << c->Name;
  EXPECT_EQ(c->Width(), w) << c->Name;
  EXPECT_EQ(c->Height(), h) << c->Name;
}

bool Contains(const std::vector<std::string>& lines, const std::string& s) {
  return std::find(lines.begin(), lines.end(), s) != lines.end();
}

TEST_F(MainTest, FirstStartLaysOutBothSidesWithPortsClosed) {
  app::main& m = OpenMain();
  EXPECT_EQ(m.Title(), "pelmark");
  EXPECT_EQ(m.Width(), 535);
  EXPECT_EQ(m.Height(), 257);
  EXPECT_EQ(m.Content()->palette().color(QPalette::Window), QColor(0x80, 0xFF, 0xFF));

  ExpectBounds(m.Controllerbox, 4, 4, 256, 248);
  ExpectBounds(m.cpoz, 32, 29, 176, 35);
  ExpectBounds(m.recpanel1, 11, 76, 246, 115);
  ExpectBounds(m.transportpanel1, 11, 203, 238, 43);
  ExpectBounds(m.devicebox, 265, 4, 251, 247);
  ExpectBounds(m.dpoz, 302, 29, 181, 35);
  ExpectBounds(m.recpanel2, 270, 75, 246, 115);
  ExpectBounds(m.transportpanel2, 271, 203, 245, 32);
  for (const fw::Control* c : std::initializer_list<const fw::Control*>{m.cpoz, m.recpanel1, m.transportpanel2})
    EXPECT_EQ(c->widget()->parentWidget(), m.Content()) << c->Name;

  // The panels were laid out and the displays lit when the window opened.
  EXPECT_EQ(m.transportpanel1->tkey1[8]->caption, ">");
  EXPECT_EQ(m.recpanel2->areck[0]->caption, "A1");
  EXPECT_TRUE(m.cpoz->lit);
  EXPECT_EQ(m.dpoz->caption, "00:00:00:00");
  EXPECT_EQ(m.Timer1.Period(), 50);

  EXPECT_EQ(m.Controllerbox->Caption(), "controller");
  EXPECT_EQ(m.devicebox->Caption(), "Device");
  EXPECT_FALSE(m.serialcopen);
  EXPECT_TRUE(messages.empty());
}

TEST_F(MainTest, StoredPortsOpenAtStartAndCloseStoresEverything) {
  AddPort("ttyA");
  AddPort("ttyB");
  WriteSettings({"deviceport", "TTYB", "controlport", "ttyA"});
  app::main& m = OpenMain();
  EXPECT_EQ(m.devicebox->Caption(), "Device-ttyB");
  EXPECT_EQ(m.Controllerbox->Caption(), "Controller-ttyA");
  EXPECT_TRUE(m.serialcopen);
  EXPECT_TRUE(messages.empty());

  // "none" on the controller side closes it and keeps the stored name.
  EXPECT_FALSE(m.opencontrollerport(-1));
  EXPECT_EQ(m.Controllerbox->Caption(), "controller");
  EXPECT_FALSE(m.serialcopen);

  m.Close();
  EXPECT_FALSE(m.Timer1.Enabled());
  const std::vector<std::string> lines = ReadSettings();
  EXPECT_EQ(lines.size(), 256u);
  ASSERT_GE(lines.size(), 4u);
  EXPECT_EQ(lines[1], "ttyB");
  EXPECT_EQ(lines[3], "ttyA");
  EXPECT_TRUE(Contains(lines, "Keyboard_left"));
  EXPECT_TRUE(Contains(lines, "Select Port_left"));
  EXPECT_TRUE(Contains(lines, "pelmark_top"));
  EXPECT_TRUE(messages.empty());
}

TEST_F(MainTest, FailedOpensAreReportedDeviceSideFirst) {
  fw::testing::AddSerialPort("ttyGone", "/nonexistent/ttyGone");
  WriteSettings({"controlport", "ttyGone", "deviceport", "ttyGone"});
  app::main& m = OpenMain();
  EXPECT_EQ(messages,
            (std::vector<std::string>{"Error opening device serial port.", "Error opening Controller serial port"}));
  EXPECT_EQ(m.devicebox->Caption(), "Device");
  EXPECT_EQ(m.Controllerbox->Caption(), "controller");
  EXPECT_FALSE(m.serialcopen);
}

TEST_F(MainTest, IndexBeyondThePortListIsAFailedOpen) {
  AddPort("ttyA");
  app::main& m = OpenMain();
  ASSERT_TRUE(m.opendeviceport(0));
  EXPECT_FALSE(m.opendeviceport(1));
  EXPECT_FALSE(m.opencontrollerport(7));
  EXPECT_EQ(messages,
            (std::vector<std::string>{"Error opening device serial port.", "Error opening Controller serial port"}));
  EXPECT_EQ(m.devicebox->Caption(), "Device");
  EXPECT_EQ(config::getstring("deviceport"), "ttyA");  // only an opened port is stored
  EXPECT_EQ(config::getstring("controlport"), "");
}

TEST_F(MainTest, PortErrorTexts) {
  app::main& m = OpenMain();
  for (int code : {100, 101, 102, 7, 0}) m.displayserialerror(code);
  EXPECT_EQ(messages, (std::vector<std::string>{"100 - AccessDenied", "101 - PortNotFound", "102 - InvalidOptions"}));
}

TEST_F(MainTest, ReopeningKeepsUnreadBytes) {
  PtyPeer& dev = AddPort("ttyA");
  app::main& m = OpenMain();
  ASSERT_TRUE(m.opendeviceport(0));
  dev.Write(Bytes("00 11"));
  ASSERT_TRUE(PumpUntil([&] { return m.rxbuffa.unread() == 2; }));
  ASSERT_TRUE(m.opendeviceport(0));
  EXPECT_EQ(Ask(dev, "11", 5), "12 11 00 01 24");
}

TEST_F(MainTest, VanishedPortIsReportedOnceAndBothSidesGoOn) {
  PtyPeer& dev = AddPort("ttyA");
  PtyPeer& ctl = AddPort("ttyB");
  app::main& m = OpenMain();
  ASSERT_TRUE(m.opendeviceport(0));
  ASSERT_TRUE(m.opencontrollerport(1));

  ctl.CloseFarEnd();
  ASSERT_TRUE(PumpUntil([&] { return !messages.empty(); }));
  PumpEvents(100);
  EXPECT_EQ(messages, std::vector<std::string>{"101 - PortNotFound"});
  EXPECT_EQ(m.Controllerbox->Caption(), "Controller-ttyB");

  // The ticks and the device side carry on.
  for (int i = 0; i < 5; ++i) m.Timer1_Action();
  EXPECT_EQ(Ask(dev, "20 01 21", 3), "10 01 11");
  m.Timer1_Action();
  EXPECT_EQ(m.dpoz->caption, "00:00:00:01");
  EXPECT_EQ(messages.size(), 1u);
}

}  // namespace
}  // namespace vxtest
