// The device side as an external controller sees it: frames written to the
// device port's far end, replies read back from it.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "protocol/cbsr.h"
#include "tests/app/main_fixture.h"

namespace vxtest {
namespace {

class DeviceSideTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    pty = &AddPort("ttyDEV");
    m = &OpenMain();
    ASSERT_TRUE(m->opendeviceport(0));
  }

  // A device-type request: its reply marks where the replies to everything
  // sent before it end.
  std::string Fence() { return Ask(*pty, "00 11 11", 5); }

  PtyPeer* pty = nullptr;
  app::main* m = nullptr;
};

TEST_F(DeviceSideTest, SystemCommandsGetDeviceTypeOrAck) {
  EXPECT_EQ(Ask(*pty, "00 11 11", 5), "12 11 00 01 24");
  EXPECT_EQ(Ask(*pty, "01 11 05 17", 5), "12 11 00 01 24");
  EXPECT_EQ(Ask(*pty, "00 0C 0C", 3), "10 01 11");
  EXPECT_EQ(Fence(), "12 11 00 01 24");  // nothing more followed the ack
  EXPECT_TRUE(messages.empty());
}

TEST_F(DeviceSideTest, PlayRunsTheEmulatedDeckOneFramePerTick) {
  EXPECT_EQ(Ask(*pty, "20 01 21", 3), "10 01 11");
  EXPECT_EQ(m->dpoz->tally, 3);
  EXPECT_TRUE(m->transportpanel2->tkey1[8]->lit);   // play
  EXPECT_FALSE(m->transportpanel2->tkey1[7]->lit);  // stop

  EXPECT_EQ(Ask(*pty, "61 0C 01 6E", 7), "74 04 00 00 00 00 78");
  for (int tick = 1; tick <= 3; ++tick) {
    m->Timer1_Action();
    const std::string frames = Hex(std::string(1, static_cast<char>(tick)));
    const std::string sum = Hex(std::string(1, static_cast<char>(0x78 + tick)));
    EXPECT_EQ(Ask(*pty, "61 0C 02 6F", 7), "74 04 " + frames + " 00 00 00 " + sum);
  }

  EXPECT_EQ(Ask(*pty, "61 20 0F 90", 18), "7F 20 00 81 80 00 00 00 00 00 00 00 00 00 00 00 00 A0");
  EXPECT_EQ(Ask(*pty, "20 02 22", 3), "10 01 11");  // unknown transport command: still acknowledged
  EXPECT_EQ(m->dpoz->tally, 3);
}

TEST_F(DeviceSideTest, EditPresetIsTakenSilentlyAndReportedBack) {
  pty->Write(Bytes("44 30 01 02 03 04 7E"));
  EXPECT_EQ(Fence(), "12 11 00 01 24");  // no reply came before it
  EXPECT_EQ(m->recpanel2->reccmd[0], 0x01);
  EXPECT_EQ(m->recpanel2->reccmd[3], 0x04);
  EXPECT_TRUE(m->recpanel2->areck[0]->lit);  // A1: byte 0 bit 0
  EXPECT_TRUE(m->recpanel2->cbk[1]->lit);    // 2: byte 1 bit 1
  EXPECT_FALSE(m->recpanel2->cbk[0]->lit);
  EXPECT_EQ(m->dpoz->statusarray[5], 0);  // the status follows only local presses

  EXPECT_EQ(Ask(*pty, "61 30 04 95", 7), "74 30 01 02 03 04 AE");
}

TEST_F(DeviceSideTest, OtherGroupsAndCommandsGetNothing) {
  pty->Write(Bytes("30 00 30  70 00 70  74 04 01 02 03 04 82  40 20 60  61 00 61  A0 00 A0"));
  EXPECT_EQ(Fence(), "12 11 00 01 24");
  EXPECT_EQ(m->dpoz->tally, 0);
}

TEST_F(DeviceSideTest, FramingAcrossReads) {
  // Split over two writes: nothing until the checksum arrives.
  pty->Write(Bytes("20 01"));
  PumpEvents(30);
  EXPECT_EQ(pty->ReadAvailable(), "");
  EXPECT_EQ(Ask(*pty, "21", 3), "10 01 11");

  // Two frames in one write: both answered, in order.
  EXPECT_EQ(Ask(*pty, "00 11 11 00 0C 0C", 8), "12 11 00 01 24 10 01 11");

  // A stray 05 holds the frames behind it until it can be tested; then it
  // is dropped and both frames are answered.
  pty->Write(Bytes("05 20 00 20"));
  PumpEvents(30);
  EXPECT_EQ(pty->ReadAvailable(), "");
  EXPECT_EQ(Ask(*pty, "61 20 0F 90", 21), "10 01 11 7F 20 00 A0 02 00 00 00 00 00 00 00 00 00 00 00 00 41");

  // A bad checksum costs one byte at a time; good frames behind it are
  // answered.
  pty->Write(Bytes("20 01 22"));
  EXPECT_EQ(Ask(*pty, "00 11 11 00 11 11", 10), "12 11 00 01 24 12 11 00 01 24");
}

TEST_F(DeviceSideTest, LongBurstLosesNoFrame) {
  std::string burst;
  for (int i = 0; i < 150; ++i) burst += Bytes("00 11 11");  // 450 bytes, far beyond one ring
  pty->Write(burst);
  std::string expected;
  for (int i = 0; i < 150; ++i) expected += Bytes("12 11 00 01 24");
  EXPECT_EQ(pty->ReadExactly(expected.size(), 5000), expected);
}

TEST_F(DeviceSideTest, ArbitraryBytesStayInsideEveryBuffer) {
  // Random bytes reach every handler with every count and request byte;
  // the sanitizer build checks that nothing reads or writes outside.
  // First requests past the status data and the edit-preset map.
  pty->Write(cbsr::appendsum(Bytes("61 20 FF")) + cbsr::appendsum(Bytes("61 30 9F")) + Bytes("00 11 11"));
  std::string replies;
  EXPECT_TRUE(PumpUntil([&] {
    replies += pty->ReadAvailable();
    return replies.ends_with(Bytes("12 11 00 01 24"));
  }));

  std::mt19937 rng(1234);
  std::uniform_int_distribution<int> byte(0, 255);
  for (int round = 0; round < 20; ++round) {
    std::string junk;
    for (int i = 0; i < 200; ++i) junk.push_back(static_cast<char>(byte(rng)));
    pty->Write(junk);
    PumpEvents(2);
    pty->ReadAvailable();
  }
  // Zeros are frames of their own whatever the alignment, so the side gets
  // back in step; then it still answers.
  pty->Write(std::string(60, '\0'));
  pty->Write(Bytes("00 11 11"));
  const std::string tail = Bytes("12 11 00 01 24");
  std::string got;
  EXPECT_TRUE(PumpUntil(
      [&] {
        got += pty->ReadAvailable();
        return got.find(tail) != std::string::npos;
      },
      5000));
}

}  // namespace
}  // namespace vxtest
