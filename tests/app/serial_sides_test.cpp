// Both serial sides over pseudo-terminals: the device side answering an
// external controller and worked from its own panels, the controller side
// polling and commanding an external deck, and the ports beneath them.
#include <gtest/gtest.h>

#include "tests/app/main_fixture.h"

namespace vxtest {
namespace {

constexpr int kGoto = 2, kOff = 3, kOn = 4, kRewind = 5, kReverse = 6, kStop = 7, kPlay = 8, kFastForward = 9;
const std::string kDeviceType = "12 11 00 01 24", kAck = "10 01 11";
const std::string kPolls[] = {"61 20 0F 90", "00 11 11", "61 30 04 95", "61 0C 01 6E"};

std::string Lamps(const transportpanel& p) {  // Goto Off On << < [] > >>: '*' lit, '.' off
  std::string s;
  for (int i = kGoto; i <= kFastForward; ++i) s += p.tkey1[i]->lit ? '*' : '.';
  return s;
}

// The controller port on ctl, the device port on dev.
class SidesTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    ctl = &AddPort("ttyCTL"), dev = &AddPort("ttyDEV");
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
  PtyPeer *ctl = nullptr, *dev = nullptr;
  app::main* m = nullptr;
};

TEST_F(SidesTest, DeviceRequestsAndReplies) {
  m->dpoz->setpoz("01:02:03:04");  // the time no tick moves here
  const std::string time = "74 04 04 03 02 01 82", status = "72 20 81 80 93";  // playing: D1, D2
  // Each request is followed by a device-type request, whose reply shows nothing else came.
  const std::pair<const char*, std::string> rows[] = {
      {"00 11 11", kDeviceType}, {"01 11 05 17", kDeviceType}, {"00 0C 0C", kAck},
      {"20 01 21", kAck},        {"20 02 22", kAck},  // play, then a command the deck does not know
      {"61 0C 02 6F", time},     {"61 0C 04 71", time},
      {"61 20 0F 90", "7F 20 00 81 80 00 00 00 00 00 00 00 00 00 00 00 00 A0"},
      {"61 20 12 93", status},   {"60 20 80", status},  // no data byte: the last one given stands
      {"44 30 01 02 03 04 7E", ""}, {"44 04 05 06 07 08 62", ""},  // the edit preset, then another preset
      {"61 30 04 95", "74 30 01 02 03 04 AE"},                      // the edit preset as 44 30 left it
      {"61 0D 01 6F", ""}, {"30 00 30", ""}, {"70 00 70", ""}, {"74 04 01 02 03 04 82", ""}};
  for (const auto& [request, reply] : rows) {
    const std::string want = reply.empty() ? kDeviceType : reply + " " + kDeviceType;
    EXPECT_EQ(Ask(*dev, std::string(request) + " 00 11 11", Bytes(want).size()), want) << request;
  }
  EXPECT_TRUE(m->recpanel2->areck[0]->lit && m->recpanel2->cbk[1]->lit && !m->recpanel2->cbk[0]->lit);  // A1, 2
  EXPECT_EQ(Lamps(*m->transportpanel2), ".*....*.");  // playing
}

TEST_F(SidesTest, DevicePanelsWorkTheEmulatedDeckOnTheTick) {
  EXPECT_FALSE(m->opencontrollerport(-1));  // the device side does not need it
  AnswerKeypad("01020304");
  transportpanel& t = *m->transportpanel2;
  const std::string status = "61 20 14 95 61 0C 01 6E", preset = "61 20 58 D9";  // D1-D4 and time; D5-D12
  const struct { cbkey* key; const std::string& request; const char *reply, *lamps; } rows[] = {
      {t.tkey1[kPlay], status, "74 20 81 80 00 00 95 74 04 01 00 00 00 79", ".*....*."},
      {t.tkey1[kOn], status, "74 20 83 80 00 10 A7 74 04 02 00 00 00 7A", "..*...*."},
      {t.tkey1[kOff], status, "74 20 81 80 00 00 95 74 04 03 00 00 00 7B", ".*....*."},
      {t.tkey1[kFastForward], status, "74 20 84 00 00 00 18 74 04 08 01 00 00 81", ".*.....*"},
      {t.tkey1[kGoto], status, "74 20 A0 03 00 00 37 74 04 04 03 02 01 82", ".*...*.."},  // cued, stopped
      {t.tkey1[kRewind], status, "74 20 88 04 00 00 20 74 04 24 01 02 01 A0", ".*.*...."},
      {t.tkey1[kReverse], status, "74 20 80 0C 00 00 20 74 04 23 01 02 01 9F", ".*..*..."},
      {t.tkey1[kStop], status, "74 20 A0 02 00 00 36 74 04 23 01 02 01 9F", ".*...*.."},
      {m->recpanel2->areck[0], preset, "78 20 01 00 00 00 00 00 00 00 99", ".*...*.."},  // A1: D5
      {m->recpanel2->cbk[7], preset, "78 20 01 00 00 00 00 00 00 80 19", ".*...*.."},   // 8: D12
  };
  for (const auto& row : rows) {
    Click(row.key);
    m->Timer1_Action();
    EXPECT_EQ(Ask(*dev, row.request, Bytes(row.reply).size()), row.reply) << row.reply;
    EXPECT_EQ(Lamps(t), row.lamps) << row.reply;
  }
  // Each press is applied once: an external play holds, and an external preset stays out of D5 and D12.
  EXPECT_EQ(Ask(*dev, "20 01 21 44 30 00 00 00 00 74", 3), kAck);
  m->Timer1_Action();
  EXPECT_EQ(Ask(*dev, "61 0C 01 6E " + preset, 18), "74 04 24 01 02 01 A0 78 20 01 00 00 00 00 00 00 80 19");
}

TEST_F(SidesTest, DevicePortFramesAcrossReadsAndReopensAndCloses) {
  dev->Write(Bytes("20 01"));
  ASSERT_TRUE(PumpUntil([&] { return m->rxbuffa.unread() == 2; }));
  EXPECT_EQ(dev->ReadAvailable(), "");  // nothing before the checksum
  ASSERT_TRUE(m->opendeviceport(1));    // the same port again: the ring keeps its bytes
  EXPECT_EQ(Ask(*dev, "21", 3), kAck);
  EXPECT_EQ(Ask(*dev, "00 11 11 00 0C 0C", 8), kDeviceType + " " + kAck);
  EXPECT_EQ(Ask(*dev, "20 01 22 00 11 11 00 11 11", 10), kDeviceType + " " + kDeviceType);  // bad checksum first
  EXPECT_FALSE(m->opendeviceport(-1));
  dev->Write(Bytes("00 11 11"));
  PumpEvents(50);
  EXPECT_EQ(dev->ReadAvailable(), "");  // closed: no reply
}  // a long burst: stress_test

TEST_F(SidesTest, PortErrorsAreToldAndChangeNoState) {
  ctl->CloseFarEnd();
  dev->CloseFarEnd();
  ASSERT_TRUE(PumpUntil([&] { return messages.size() == 2; }));
  EXPECT_EQ(messages, std::vector<std::string>(2, "101 - PortNotFound"));
  EXPECT_EQ(m->Controllerbox->Caption() + " " + m->devicebox->Caption(), "Controller-ttyCTL Device-ttyDEV");
  EXPECT_TRUE(m->serialcopen);
}

TEST_F(SidesTest, ControllerPacing) {
  // A good frame of any group frees the next tick.
  const char* replies[] = {"10 01 11", "20 00 20", "74 04 00 00 00 00 78", "30 00 30"};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(Tick(Bytes(kPolls[i]).size()), kPolls[i]);
    Reply(replies[i]);
  }
  m->transportpanel1->tcmd = tally::kStill;  // a pending code without a message
  m->transportpanel1->newcmd = true;
  EXPECT_EQ(Tick(0) + Tick(0) + Tick(0), "");  // its tick counts as a sending one; then two silent ones
  EXPECT_EQ(Tick(4), kPolls[0]);
}

TEST_F(SidesTest, ClosedControllerPortDropsPressesAndHoldsThePacing) {
  EXPECT_EQ(Tick(4), kPolls[0]);
  ctl->Write(Bytes("10 01"));  // the deck's answer, cut short by the closing
  ASSERT_TRUE(PumpUntil([&] { return m->rxbuffb.unread() == 2; }));
  EXPECT_FALSE(m->opencontrollerport(-1));
  EXPECT_FALSE(m->Serialc.IsOpen());
  onMessage = [&](const std::string&) { if (messages.size() == 1) m->Timer1_Action(); };  // a tick during the box
  Click(m->transportpanel1->tkey1[kPlay]);
  Click(m->recpanel1->cbk[0]);
  for (int i = 0; i < 2; ++i) m->Timer1_Action();  // three ticks with the one in the box
  EXPECT_EQ(messages, std::vector<std::string>{"Controller Serial Port Not Open"});
  ASSERT_TRUE(m->opencontrollerport(0));
  EXPECT_EQ(Tick(0), "");  // the pacing goes on from where it stood
  ctl->Write(Bytes("11"));  // completes the answer, which frees the next tick
  ASSERT_TRUE(PumpUntil([&] { return m->rxbuffb.unread() == 0; }));
  EXPECT_EQ(Tick(3), kPolls[1]);  // the poll goes on too, and the dropped presses stay dropped
}

TEST_F(SidesTest, ControllerKeysSendTheirMessagesOnTheNextTick) {
  AnswerKeypad("01020304");
  EXPECT_EQ(Tick(4), kPolls[0]);
  Reply(kAck);
  const std::pair<int, std::string> rows[] = {
      {kPlay, "20 01 21"},    {kOn, "20 65 85"},           {kOff, "20 64 84"}, {kReverse, "21 21 40 82"},
      {kRewind, "20 20 40"}, {kFastForward, "20 10 30"}, {kStop, "20 00 20"}, {kGoto, "24 31 04 03 02 01 5F"}};
  for (const auto& [key, want] : rows) {
    Click(m->transportpanel1->tkey1[key]);
    EXPECT_EQ(Tick(Bytes(want).size()), want) << key;
    Reply(kAck);
  }
  recpanel& r = *m->recpanel1;
  Click(r.areck[6]);  // "I" sends nothing: the poll goes on
  EXPECT_EQ(Tick(3), kPolls[1]);
  Reply(kAck);
  uint8_t p[4] = {};  // the preset map so far
  for (int bit = 0; bit < 32; ++bit) {  // every other key once; each sends the whole map so far
    if (bit == 6 || bit == 7) continue;  // "I", and no key
    Click(bit < 8 ? r.areck[bit] : r.cbk[bit - 8]);
    p[bit / 8] |= uint8_t(1 << bit % 8);
    const uint8_t msg[] = {0x44, 0x30, p[0], p[1], p[2], p[3], uint8_t(0x74 + p[0] + p[1] + p[2] + p[3])};
    EXPECT_EQ(Tick(7), Hex(std::string(msg, msg + 7))) << bit;
    Reply(kAck);
  }
  Click(r.cbk[23]);  // a transport and a preset press before one tick: the transport goes first
  Click(m->transportpanel1->tkey1[kPlay]);
  EXPECT_EQ(Tick(3), "20 01 21");
  Reply(kAck);
  EXPECT_EQ(Tick(7), "44 30 3F FF FF 7F 30");
}

TEST_F(SidesTest, ControllerDisplayAndLampsFollowTheDecksReplies) {
  const struct { int key; const char *reply, *shown; } rows[] = {  // key pressed first; caption and lamps
      {0, "74 04 04 03 02 01 82", "01:02:03:04 .*......"},
      {0, "74 00 05 03 02 01 7F", "01:02:03:05 .*......"},
      {0, "74 06 06 03 02 01 86", "01:02:03:06 .*......"},
      {0, "74 14 07 03 02 01 95", "01:02:03:07 .*......"},
      {0, "74 07 08 03 02 01 89", "01:02:03:07 .*......"},  // not time data
      {0, "7F 20 00 83 00 00 00 00 00 00 00 00 00 00 00 00 00 22", "01:02:03:07 ..*...*."},  // play, recording
      {0, "72 20 00 A0 32", "01:02:03:07 .*...*.."},
      {0, "75 20 00 20 00 00 10 C5", "01:02:03:07 ..*..*.."},  // recording in D4
      {0, "75 20 00 84 00 00 00 19", "01:02:03:07 .*.....*"},
      {0, "72 20 00 88 1A", "01:02:03:07 .*.*...."},
      {kFastForward, "72 20 00 88 1A", "01:02:03:07 .*.*...."},  // the deck's word over a press
      {kPlay, "72 20 00 00 92", "01:02:03:07 .*.*...."},        // also when it names no state
      {0, "72 20 00 01 93", "01:02:03:07 .*....*."},
      {kOn, "72 20 00 80 12", "01:02:03:07 .*....*."},
  };
  for (const auto& row : rows) {
    if (row.key != 0) Click(m->transportpanel1->tkey1[row.key]);
    Reply(row.reply);
    EXPECT_EQ(m->cpoz->caption + " " + Lamps(*m->transportpanel1), row.shown) << row.reply;
  }
  Reply("74 30 01 00 00 80 25");
  EXPECT_TRUE(m->recpanel1->areck[0]->lit && m->recpanel1->cbk[23]->lit && !m->recpanel1->cbk[0]->lit);  // A1, 24
}

}  // namespace
}  // namespace vxtest
