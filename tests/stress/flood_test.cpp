// Peers that flood a side with junk: the tick goes on, every frame the
// framing finds in the stream is handled (the same frames a fresh ring
// finds when it reads the stream at once), replies stay whole, and the
// side answers promptly afterwards.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <random>
#include <string>
#include <vector>

#include "protocol/cbsr.h"
#include "tests/app/main_fixture.h"
#include "tests/stress/stress_support.h"

namespace vxtest {
namespace {

// Eighteen zeros: a frame a stray byte starts ends inside them, so the
// ring is in step at the frame that follows (zeros frame as 00 00 00, and
// neither 00 00 x nor 00 x y passes for the frames used here).
const std::string kSync(18, '\0');

class FloodTest : public MainWindowTest {
 protected:
  // Replaces side's DataAvailable with what the window wires there, but
  // keeping the frames handed over and the bytes read.
  void Record(fw::Serial& port, rxring& ring, FrameArray& frame, void (app::main::*parse)()) {
    app::main* const w = m;
    port.DataAvailable = [this, w, &port, &ring, &frame, parse] {
      const std::string bytes = port.ReadAll();
      bytesRead += bytes.size();
      ring.receive(bytes, frame, [this, w, &frame, parse] {
        handed.push_back(vxstress::FrameBytes(frame));
        (w->*parse)();
      });
    };
  }

  // Random bytes with good frames standing in them, each after kSync.
  std::string Flood(size_t size, const std::vector<std::string>& good, std::vector<std::string>& placed) {
    std::mt19937 rng(20240607);
    std::uniform_int_distribution<size_t> len(50, 6000);
    std::string s;
    while (s.size() < size) {
      s += vxstress::RandomBytes(rng, len(rng));
      const std::string& frame = good[placed.size() % good.size()];
      s += kSync + frame;
      placed.push_back(frame.substr(0, frame.size() - 1));
    }
    return s + kSync;
  }

  app::main* m = nullptr;
  std::vector<std::string> handed;
  size_t bytesRead = 0;
};

// The replies the device side gives to frames, each as its first two bytes
// (the data depend on the emulated deck): the device type, an ack, or the
// time, status or edit-preset data.
std::vector<std::string> ReplyHeads(const std::vector<std::string>& frames) {
  std::vector<std::string> heads;
  for (const std::string& f : frames) {
    const int group = static_cast<uint8_t>(f[0]) / 16, cmd2 = static_cast<uint8_t>(f[1]);
    if (group == 0 && cmd2 == 0x11) heads.push_back(Bytes("12 11"));
    else if (group == 0 || group == 2) heads.push_back(Bytes("10 01"));
    else if (group == 6 && cmd2 == 0x0C) heads.push_back(Bytes("74 04"));
    else if (group == 6 && (cmd2 == 0x20 || cmd2 == 0x30)) heads.push_back(std::string("\x70") + f[1]);
  }
  return heads;
}

// The first two bytes of a reply, the status and edit-preset counts taken out.
std::string HeadOf(const std::string& reply) {
  const std::string head = reply.substr(0, 2);
  return (head[1] == 0x20 || head[1] == 0x30) ? std::string("\x70") + head[1] : head;
}

TEST_F(FloodTest, DeviceSideTakesAMegabyteOfJunk) {
  PtyPeer& dev = AddPort("ttyDEV");
  PtyPeer& ctl = AddPort("ttyCTL");
  m = &OpenMain();
  ASSERT_TRUE(m->opendeviceport(0));
  ASSERT_TRUE(m->opencontrollerport(1));
  // The side stays wired as the window wires it: what it handles shows in
  // its replies.

  std::vector<std::string> placed;
  const std::string flood = Flood(1 << 20, {Bytes("20 01 21"), Bytes("61 0C 01 6E")}, placed);
  std::string replies, pollBytes;
  int ticks = 0;
  for (size_t at = 0; at < flood.size(); at += 4096) {
    dev.Write(std::string_view(flood).substr(at, 4096));
    m->Timer1_Action();
    ++ticks;
    PumpEvents(0);
    replies += dev.ReadAvailable();
    pollBytes += ctl.ReadAvailable();
  }
  const std::vector<std::string> reference = vxstress::ReferenceFrames(flood);
  ASSERT_TRUE(vxstress::InOrder(placed, reference));  // the good frames stand in the stream
  const std::vector<std::string> expected = ReplyHeads(reference);
  ASSERT_GT(expected.size(), 2 * placed.size());

  // Every reply whole and right, none missing, none extra, in order.
  std::vector<std::string> heads;
  PumpUntil([&] {
    replies += dev.ReadAvailable();
    for (const std::string& r : vxstress::TakeMessages(replies)) {
      EXPECT_TRUE(vxstress::ChecksumOk(r)) << Hex(r);
      heads.push_back(HeadOf(r));
    }
    return heads.size() >= expected.size();
  }, 20000);
  PumpEvents(20);
  replies += dev.ReadAvailable();
  EXPECT_TRUE(replies.empty()) << Hex(replies.substr(0, 40));
  EXPECT_TRUE(heads == expected) << heads.size() << " replies, " << expected.size() << " expected";

  // The controller side kept polling (unanswered: every third tick).
  pollBytes += ctl.ReadExactly(3, 200);
  const std::vector<std::string> polls = vxstress::TakeMessages(pollBytes);
  EXPECT_GE(static_cast<int>(polls.size()), ticks / 3);
  for (const std::string& p : polls) EXPECT_TRUE(vxstress::ChecksumOk(p)) << Hex(p);

  // Still answers at once (the zeros put the ring in step whatever the
  // flood's end left in it).
  QElapsedTimer t;
  t.start();
  dev.Write(kSync + Bytes("00 11 11"));
  std::string answer;
  EXPECT_TRUE(PumpUntil([&] { return (answer += dev.ReadAvailable()).ends_with(Bytes("12 11 00 01 24")); }, 500));
  EXPECT_LT(t.elapsed(), 500);
  EXPECT_TRUE(messages.empty());
}

TEST_F(FloodTest, ControllerSideTakesGarbageForEveryPoll) {
  PtyPeer& ctl = AddPort("ttyCTL");
  m = &OpenMain();
  ASSERT_TRUE(m->opencontrollerport(0));
  Record(m->Serialc, m->rxbuffb, m->incmdb, &app::main::parsecmdb);
  const std::vector<std::string> cycle = {Bytes("61 20 0F 90"), Bytes("00 11 11"), Bytes("61 30 04 95"),
                                          Bytes("61 0C 01 6E")};

  std::mt19937 rng(77);
  std::uniform_int_distribution<size_t> len(1, 3000);
  std::string sent, pollBytes;
  std::vector<std::string> polls;
  const int ticks = 400;
  for (int tick = 0; tick < ticks; ++tick) {
    m->Timer1_Action();
    if (m->waitack == 2) pollBytes += ctl.ReadExactly(3);  // this tick sent a poll
    pollBytes += ctl.ReadAvailable();
    for (std::string& p : vxstress::TakeMessages(pollBytes)) {
      EXPECT_EQ(p, cycle[polls.size() % cycle.size()]) << "poll " << polls.size();
      polls.push_back(std::move(p));
      const std::string junk = vxstress::RandomBytes(rng, len(rng));
      ctl.Write(junk);
      sent += junk;
    }
    PumpEvents(0);
  }
  EXPECT_GE(static_cast<int>(polls.size()), ticks / 3);
  ASSERT_TRUE(PumpUntil([&] { return bytesRead == sent.size(); }, 10000));
  EXPECT_EQ(handed, vxstress::ReferenceFrames(sent));

  // A time reply that follows the garbage shows at once.
  ctl.Write(kSync + Bytes("74 04 01 02 03 04 82"));
  EXPECT_TRUE(PumpUntil([&] { return m->cpoz->caption == "04:03:02:01"; }, 500)) << m->cpoz->caption;
  EXPECT_TRUE(messages.empty());
}

}  // namespace
}  // namespace vxtest
