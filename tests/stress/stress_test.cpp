// Faults and floods against the whole main window: peers that send junk,
// ports that vanish and junk settings files (a read-only folder: settings_test).
#include <algorithm>
#include <random>

#include "tests/app/main_fixture.h"

namespace vxtest {
namespace {

using Strings = std::vector<std::string>;
// A frame a stray byte starts ends inside these zeros, so the ring is in step after them.
const std::string kSync(18, '\0');

// Whole messages (CMD1's count plus three bytes) cut off the front of stream.
Strings TakeMessages(std::string& stream) {
  Strings msgs;
  size_t at = 0;
  for (size_t len; at < stream.size() && stream.size() - at >= (len = uint8_t(stream[at]) % 16 + 3u); at += len)
    msgs.push_back(stream.substr(at, len));
  stream.erase(0, at);
  return msgs;
}

bool ChecksumOk(const std::string& msg) { return ScanFrames(msg) == Strings{msg.substr(0, msg.size() - 1)}; }

std::string RandomBytes(std::mt19937& rng, size_t n) {
  std::string s(n, '\0');
  for (char& c : s) c = char(rng());
  return s;
}

// The first two bytes of the device side's reply to frame, the data count cleared; "" for no reply.
std::string ReplyHead(std::string_view f) {
  const int group = uint8_t(f[0]) / 16, cmd2 = uint8_t(f[1]);
  if (group == 0 && cmd2 == 0x11) return Bytes("12 11");
  if (group == 0 || group == 2) return Bytes("10 01");
  if (group == 6 && cmd2 == 0x0C) return Bytes("74 04");
  if (group == 6 && (cmd2 == 0x20 || cmd2 == 0x30)) return std::string("\x70") + f[1];
  return "";
}

using StressTest = MainWindowTest;

// The device side gets a megabyte of junk with good frames standing in it, while the
// controller side's deck answers every poll with garbage.
TEST_F(StressTest, BothSidesTakeJunkKeepTheirTickAndLoseNoGoodFrame) {
  PtyPeer& dev = AddPort("ttyDEV");
  PtyPeer& ctl = AddPort("ttyCTL");
  app::main& m = OpenMain();
  ASSERT_TRUE(m.opendeviceport(0) && m.opencontrollerport(1));
  std::mt19937 rng(20240607);
  std::string flood;
  Strings placed;
  for (const Strings good = {Bytes("20 01 21"), Bytes("61 0C 01 6E")}; flood.size() < (1u << 20);) {
    placed.push_back(good[placed.size() % 2]);
    flood += RandomBytes(rng, 50 + rng() % 6000) + kSync + placed.back();
    placed.back().pop_back();
  }
  flood += kSync;
  const Strings cycle = {Bytes("61 20 0F 90"), Bytes("00 11 11"), Bytes("61 30 04 95"), Bytes("61 0C 01 6E")};
  std::string replies, sent;
  size_t polls = 0;
  for (size_t at = 0; at < flood.size(); at += 4096) {
    dev.Write(std::string_view(flood).substr(at, 4096));
    m.Timer1_Action();
    PumpEvents(0);
    replies += dev.ReadAvailable();
    for (const std::string& p : TakeMessages(sent += ctl.ReadAvailable())) {
      EXPECT_EQ(Hex(p), Hex(cycle[polls++ % cycle.size()]));
      ctl.Write(RandomBytes(rng, 1 + rng() % 3000));
    }
  }
  EXPECT_GE(polls, flood.size() / 4096 / 3 - 1);  // the tick kept polling
  // The frames the flood holds, read from its front; the good ones all stand in it.
  const Strings reference = ScanFrames(flood);
  Strings expected, heads;
  size_t next = 0;
  for (const std::string& r : reference) next += next < placed.size() && r == placed[next];
  ASSERT_EQ(next, placed.size()) << "a good frame does not stand in the stream";
  for (const std::string& r : reference)
    if (!ReplyHead(r).empty()) expected.push_back(ReplyHead(r));
  PumpUntil([&] {
    replies += dev.ReadAvailable();
    for (std::string& r : TakeMessages(replies)) {
      EXPECT_TRUE(ChecksumOk(r)) << Hex(r);
      heads.push_back(r[1] == 0x20 || r[1] == 0x30 ? std::string("\x70") + r[1] : r.substr(0, 2));
    }
    return heads.size() >= expected.size();
  }, 20000);
  EXPECT_TRUE(heads == expected) << heads.size() << " replies, " << expected.size() << " expected";
  dev.Write(kSync + Bytes("00 11 11"));
  ctl.Write(kSync + Bytes("74 04 01 02 03 04 82"));
  EXPECT_TRUE(PumpUntil([&] { return (replies += dev.ReadAvailable()).ends_with(Bytes("12 11 00 01 24")); }, 500));
  EXPECT_TRUE(PumpUntil([&] { return m.cpoz->caption == "04:03:02:01"; }, 1000)) << m.cpoz->caption;
  EXPECT_TRUE(messages.empty());
}

class PortVanish : public MainWindowTest, public ::testing::WithParamInterface<bool> {};  // true: the device port

TEST_P(PortVanish, OneMessageNoBusyLoopOtherSideGoesOnReopens) {
  const bool deviceGoes = GetParam();
  PtyPeer& dev = AddPort("ttyDEV");
  PtyPeer& ctl = AddPort("ttyCTL");
  app::main& m = OpenMain();
  ASSERT_TRUE(m.opendeviceport(0) && m.opencontrollerport(1));
  std::string ctlBytes;
  size_t polls = 0, answers = 0;
  // A tick of traffic: the deck on ctl answers every poll, the controller on dev asks the time.
  auto round = [&] {
    m.Timer1_Action();
    dev.Write(Bytes("61 0C 01 6E"));
    PumpEvents(5);
    answers += dev.ReadAvailable().size();
    for (const std::string& poll : TakeMessages(ctlBytes += ctl.ReadAvailable()))
      polls += ChecksumOk(poll), ctl.Write(Bytes("74 04 00 00 00 00 78"));
  };
  for (int i = 0; i < 10; ++i) round();
  ASSERT_GE(polls, 3u);
  ASSERT_GT(answers, 0u);
  PtyPeer& gone = deviceGoes ? dev : ctl;
  gone.Write(Bytes("61 0C"));  // half a message under way
  gone.CloseFarEnd();
  ASSERT_TRUE(PumpUntil([&] { return !messages.empty(); }));
  const double cpu0 = ProcessCpuSeconds();
  for (int i = 0; i < 20; ++i) m.Timer1_Action(), PumpEvents(50);
  EXPECT_LT(ProcessCpuSeconds() - cpu0, 0.3) << "the event loop spun after the port vanished";
  polls = answers = 0;
  for (int i = 0; i < 9; ++i) round();
  EXPECT_GT(deviceGoes ? polls : answers, deviceGoes ? 2u : 0u) << "the other side stopped";
  PtyPeer& again = AddPort("ttyNEW");
  ASSERT_TRUE(deviceGoes ? m.opendeviceport(2) : m.opencontrollerport(2));
  for (int i = 0; i < 3; ++i) m.Timer1_Action();
  std::string got;
  if (deviceGoes) again.Write(Bytes("00 11 11"));
  EXPECT_TRUE(PumpUntil([&] { return !TakeMessages(got += again.ReadAvailable()).empty(); }));
  EXPECT_EQ(messages, Strings{"101 - PortNotFound"});
}

INSTANTIATE_TEST_SUITE_P(Side, PortVanish, ::testing::Values(true, false));

TEST_F(StressTest, JunkSettingsGiveDefaultsAndAWholeFileAtClose) {
  AddPort("ttyDEV");
  using namespace std::string_literals;
  const std::string known = "deviceport\n\xFF\xFE\0x\ncontrolport\n\x01\r\npelmark_left\n99999999999999999999\n"s;
  std::mt19937 rng(99);
  for (const auto& junk : {RandomBytes(rng, 65536), std::string(2'000'000, 127), std::string(5000, '\r'), known}) {
    WriteFile(junk);
    app::main& m = OpenMain();
    EXPECT_EQ(m.Controllerbox->Caption() + m.devicebox->Caption(), "controllerDevice");
    EXPECT_FALSE(m.Seriald.IsOpen() || m.serialcopen);
    Finish();
    EXPECT_EQ(std::ranges::count(ReadFile(), '\n'), 256);
  }
  EXPECT_TRUE(messages.empty());
}

}  // namespace
}  // namespace vxtest
