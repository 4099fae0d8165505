// Both serial sides over pseudo-terminals: the device side answering an
// external controller, the controller side polling an external deck, and
// the two joined like a null-modem cable.
#include <gtest/gtest.h>

#include "controls/keybd.h"
#include "tests/app/main_fixture.h"

namespace vxtest {
namespace {

constexpr int kGoto = 2, kOn = 4, kStop = 7, kPlay = 8, kFastForward = 9;  // transport keys
const std::string kDeviceType = "12 11 00 01 24";

// The controller port on ctl, the device port on dev.
class SidesTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    ctl = &AddPort("ttyCTL");
    dev = &AddPort("ttyDEV");
    m = &OpenMain();
    ASSERT_TRUE(m->opencontrollerport(0) && m->opendeviceport(1));
  }
  // One tick; what it sent to the deck, n bytes expected (0: nothing).
  std::string Tick(size_t n) {
    m->Timer1_Action();
    return Hex(n == 0 ? ctl->ReadAvailable() : ctl->ReadExactly(n));
  }
  // The deck's reply, taken in before the next tick.
  void Reply(std::string_view hex) {
    const int done = (m->rxbuffb.out + static_cast<int>(Bytes(hex).size())) % rxring::kCells;
    ctl->Write(Bytes(hex));
    ASSERT_TRUE(PumpUntil([&] { return m->rxbuffb.out == done; }));
  }
  // Ticks with ctl and dev joined like a null-modem cable until cond holds.
  bool TickUntil(const std::function<bool()>& cond) {
    for (int i = 0; i < 12 && !cond(); ++i) {
      m->Timer1_Action();
      int quiet = 0;
      PumpUntil([&] {
        const std::string toDevice = ctl->ReadAvailable(), toController = dev->ReadAvailable();
        dev->Write(toDevice);
        ctl->Write(toController);
        quiet = toDevice.empty() && toController.empty() ? quiet + 1 : 0;
        return m->waitack == 0 && quiet > 20;
      }, 100);
    }
    return cond();
  }
  PtyPeer *ctl = nullptr, *dev = nullptr;
  app::main* m = nullptr;
};

TEST_F(SidesTest, DeviceRequestsAndReplies) {
  // Each request is followed by a device-type request, whose reply shows nothing else came.
  // Requests reaching past the status or preset bytes: tckey_test, recpanel_test.
  const std::pair<const char*, std::string> rows[] = {
      {"00 11 11", kDeviceType}, {"00 0C 0C", "10 01 11"},
      {"61 20 0F 90", "7F 20 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 9F"},
      {"44 30 01 02 03 04 7E", ""}, {"61 30 04 95", "74 30 01 02 03 04 AE"},
      {"30 00 30", ""},             {"70 00 70", ""}, {"74 04 01 02 03 04 82", ""}};
  for (const auto& [request, reply] : rows) {
    const std::string want = reply.empty() ? kDeviceType : reply + " " + kDeviceType;
    EXPECT_EQ(Ask(*dev, std::string(request) + " 00 11 11", Bytes(want).size()), want) << request;
  }
  EXPECT_TRUE(m->recpanel2->areck[0]->lit);  // A1: byte 0 bit 0
  EXPECT_TRUE(m->recpanel2->cbk[1]->lit);    // 2: byte 1 bit 1
  EXPECT_FALSE(m->recpanel2->cbk[0]->lit);
}

TEST_F(SidesTest, DevicePlayRunsTheDeckOneFramePerTick) {
  EXPECT_EQ(Ask(*dev, "20 01 21", 3), "10 01 11");
  EXPECT_EQ(m->dpoz->tally, tally::kPlay);
  EXPECT_TRUE(m->transportpanel2->tkey1[kPlay]->lit);
  for (char frame = 0; frame < 4; ++frame, m->Timer1_Action())
    EXPECT_EQ(Ask(*dev, "61 0C 01 6E", 7), Hex(std::string{'\x74', '\x04', frame, 0, 0, 0, char(0x78 + frame)}));
}

TEST_F(SidesTest, DeviceFramingAcrossReads) {
  dev->Write(Bytes("20 01"));
  PumpEvents(30);
  EXPECT_EQ(dev->ReadAvailable(), "");  // nothing before the checksum
  EXPECT_EQ(Ask(*dev, "21", 3), "10 01 11");
  EXPECT_EQ(Ask(*dev, "00 11 11 00 0C 0C", 8), kDeviceType + " 10 01 11");
  EXPECT_EQ(Ask(*dev, "20 01 22 00 11 11 00 11 11", 10), kDeviceType + " " + kDeviceType);  // bad checksum first
}  // a long burst: stress_test

const std::string kPolls[] = {"61 20 0F 90", "00 11 11", "61 30 04 95", "61 0C 01 6E"};

TEST_F(SidesTest, ControllerPollsEveryThirdTickUnansweredAndEveryTickAnswered) {
  for (const std::string& poll : kPolls) {
    EXPECT_EQ(Tick(Bytes(poll).size()), poll);
    EXPECT_EQ(Tick(0) + Tick(0), "");
  }
  for (const std::string& poll : kPolls) {
    EXPECT_EQ(Tick(Bytes(poll).size()), poll);
    Reply("10 01 11");
  }
}

TEST_F(SidesTest, ControllerPressesGoAheadOfThePollAndPresetRepliesShow) {
  EXPECT_EQ(Tick(4), kPolls[0]);
  Reply("10 01 11");
  Click(m->transportpanel1->tkey1[kPlay]);
  Click(m->recpanel1->cbk[0]);
  EXPECT_EQ(Tick(3), "20 01 21");
  Reply("10 01 11");
  EXPECT_EQ(Tick(7), "44 30 00 01 00 00 75");
  Reply("10 01 11");
  EXPECT_EQ(Tick(3), kPolls[1]);
  Reply("74 30 01 00 00 80 25");  // time and status replies: the joined tests below
  EXPECT_TRUE(m->recpanel1->areck[0]->lit);  // A1
  EXPECT_TRUE(m->recpanel1->cbk[23]->lit);   // 24
  EXPECT_FALSE(m->recpanel1->cbk[0]->lit);
}

TEST_F(SidesTest, ControllerPressWithPortClosedGivesOneMessage) {
  EXPECT_FALSE(m->opencontrollerport(-1));
  onMessage = [&](const std::string&) { if (messages.size() == 1) m->Timer1_Action(); };  // a tick during the box
  Click(m->transportpanel1->tkey1[kPlay]);
  m->Timer1_Action();
  m->Timer1_Action();
  EXPECT_EQ(messages, std::vector<std::string>{"Controller Serial Port Not Open"});
}

TEST_F(SidesTest, JoinedTransportKeysAndGotoDriveTheEmulatedDeck) {
  Click(m->transportpanel1->tkey1[kPlay]);
  ASSERT_TRUE(TickUntil([&] { return m->dpoz->tally == tally::kPlay && m->cpoz->tally == tally::kPlay; }));
  EXPECT_TRUE(m->transportpanel1->tkey1[kPlay]->lit);
  const std::string before = m->cpoz->caption;
  ASSERT_TRUE(TickUntil([&] { return m->cpoz->caption != before; }));  // the display runs
  Click(m->transportpanel1->tkey1[kOn]);
  ASSERT_TRUE(TickUntil([&] { return m->cpoz->record && m->dpoz->record; }));
  EXPECT_TRUE(m->transportpanel1->tkey1[kOn]->lit);
  Click(m->transportpanel1->tkey1[kFastForward]);
  ASSERT_TRUE(TickUntil([&] { return m->cpoz->tally == tally::kFastForward; }));
  EXPECT_TRUE(m->transportpanel2->tkey1[kFastForward]->lit);
  Click(m->transportpanel1->tkey1[kStop]);
  ASSERT_TRUE(TickUntil([&] { return m->cpoz->tally == tally::kStop && m->dpoz->tally == tally::kStop; }));
  fw::testing::SetModalHook([](fw::Window& w) {
    auto& k = dynamic_cast<keybd&>(w);
    Click(k.BevelButton4);  // Reset: cursor on the first digit
    for (int digit : {0, 1, 0, 2, 0, 3, 0, 4}) Click(k.numk[digit]);
    Click(k.kok);
  });
  Click(m->transportpanel1->tkey1[kGoto]);
  ASSERT_TRUE(TickUntil([&] { return m->dpoz->caption == "01:02:03:04" && m->dpoz->cued; }));
  ASSERT_TRUE(TickUntil([&] { return m->cpoz->caption == "01:02:03:04" && m->cpoz->cued; }));
}

}  // namespace
}  // namespace vxtest
