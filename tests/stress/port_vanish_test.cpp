// A port that vanishes while traffic flows on both sides: one message, no
// busy event loop, the other side carries on, and a new port opens.
#include <gtest/gtest.h>

#include <string>

#include "tests/app/main_fixture.h"
#include "tests/stress/stress_support.h"

namespace vxtest {
namespace {

const std::string kTimeReply = Bytes("74 04 00 00 00 00 78");

class PortVanishTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    dev = &AddPort("ttyDEV");
    ctl = &AddPort("ttyCTL");
    m = &OpenMain();
    ASSERT_TRUE(m->opendeviceport(0));
    ASSERT_TRUE(m->opencontrollerport(1));
  }

  // One tick of traffic on both sides: the controller ticks and the deck on
  // ctl answers every poll it has seen; the controller on dev asks the time.
  void Round() {
    m->Timer1_Action();
    dev->Write(Bytes("61 0C 01 6E"));
    PumpEvents(5);
    dev->ReadAvailable();
    ctlBytes += ctl->ReadAvailable();
    for (const std::string& poll : vxstress::TakeMessages(ctlBytes)) {
      EXPECT_TRUE(vxstress::ChecksumOk(poll)) << Hex(poll);
      ++polls;
      ctl->Write(kTimeReply);
    }
  }

  // The CPU time this process uses over about two seconds of ticks and events.
  double CpuOverTwoSeconds() {
    const double cpu0 = ProcessCpuSeconds();
    for (int i = 0; i < 40; ++i) {
      m->Timer1_Action();
      PumpEvents(50);
    }
    return ProcessCpuSeconds() - cpu0;
  }

  bool DeviceAnswers(PtyPeer& peer) { return Ask(peer, "00 11 11", 5) == "12 11 00 01 24"; }

  PtyPeer* dev = nullptr;
  PtyPeer* ctl = nullptr;
  app::main* m = nullptr;
  std::string ctlBytes;
  int polls = 0;
};

TEST_F(PortVanishTest, DevicePortVanishes) {
  for (int i = 0; i < 10; ++i) Round();
  dev->Write(Bytes("61 0C"));  // half a request is under way
  dev->CloseFarEnd();
  ASSERT_TRUE(PumpUntil([&] { return !messages.empty(); }));

  polls = 0;
  const double cpu = CpuOverTwoSeconds();
  EXPECT_LT(cpu, 0.4) << "the event loop spun after the port vanished";
  EXPECT_EQ(messages, std::vector<std::string>{"101 - PortNotFound"});

  // The controller side still polls and takes the answers.
  for (int i = 0; i < 9; ++i) Round();
  EXPECT_GE(polls, 3);
  EXPECT_EQ(m->cpoz->caption, "00:00:00:00");

  PtyPeer& again = AddPort("ttyDEV2");
  ASSERT_TRUE(m->opendeviceport(2));
  EXPECT_EQ(m->devicebox->Caption(), "Device-ttyDEV2");
  EXPECT_TRUE(DeviceAnswers(again));
  EXPECT_EQ(messages.size(), 1u);
}

TEST_F(PortVanishTest, ControllerPortVanishes) {
  for (int i = 0; i < 10; ++i) Round();
  ASSERT_GE(polls, 3);
  m->Timer1_Action();  // a poll is on its way
  ctl->CloseFarEnd();
  ASSERT_TRUE(PumpUntil([&] { return !messages.empty(); }));

  const double cpu = CpuOverTwoSeconds();
  EXPECT_LT(cpu, 0.4) << "the event loop spun after the port vanished";
  EXPECT_EQ(messages, std::vector<std::string>{"101 - PortNotFound"});

  // The device side still answers.
  EXPECT_TRUE(DeviceAnswers(*dev));

  PtyPeer& again = AddPort("ttyCTL2");
  ASSERT_TRUE(m->opencontrollerport(2));
  EXPECT_EQ(m->Controllerbox->Caption(), "Controller-ttyCTL2");
  std::string got;
  for (int i = 0; i < 3 && got.empty(); ++i) {
    m->Timer1_Action();
    got = again.ReadExactly(1, 500);
  }
  got += again.ReadExactly(3 - got.size());
  ASSERT_GE(got.size(), 3u);
  EXPECT_TRUE(vxstress::ChecksumOk(got.substr(0, static_cast<uint8_t>(got[0]) % 16 + 3))) << Hex(got);
  EXPECT_EQ(messages.size(), 1u);
}

}  // namespace
}  // namespace vxtest
