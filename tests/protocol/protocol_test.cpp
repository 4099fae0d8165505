// Timecode, BCD, checksums and bit maps of cbsr; the frame loop of rxring.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "framework/serial.h"
#include "protocol/cbsr.h"
#include "protocol/rxring.h"
#include "tests/support/pty.h"

namespace {

using namespace cbsr;
using vxtest::Bytes;
using vxtest::Hex;

TEST(Timecode, CountsWrapIntoOneDayTextsReadByPositionAndSteps) {
  const std::pair<double, const char*> texts[] = {
      {0, "00:00:00:00"},        {-1, "23:59:59:24"},       {2160000, "00:00:00:00"}, {-2160000, "00:00:00:00"},
      {-2160001, "23:59:59:24"}, {-4320025, "23:59:59:00"}, {91526, "01:01:01:01"},   {NAN, "00:00:00:00"}};
  for (auto [f, tc] : texts) EXPECT_EQ(frms2str(f, 0), tc) << f;
  EXPECT_EQ(frms2str(-1, 1) + frms2str(5, 2), "23:59:59:2900:00:00:00");
  // Far-out counts still give a well-formed text: reading it back gives it again.
  for (double f : {-1e18, 1e18, 1e300, -1e308, HUGE_VAL})
    for (int32_t rate : {0, 1}) EXPECT_EQ(frms2str(str2frms(frms2str(f, rate), rate), rate), frms2str(f, rate)) << f;
  const std::pair<const char*, int32_t> counts[] = {{"01:00:00:00", 90000}, {"01x02y03z04", 93079}, {"", 0},
                                                    {"5", 450005},          {"01:02", 93002},       {"ab:cd", 0},
                                                    {"-1:00:00:00", -90000}, {"99:99:99:99", 9061074}};
  for (auto [tc, n] : counts) EXPECT_EQ(str2frms(tc, 0), n) << tc;
  EXPECT_EQ(str2frms("01:00:00:00", 1), 108000);
  EXPECT_EQ(str2frms("01:00:00:00", 7), 0);
  EXPECT_EQ(inctcstr("23:59:59:29", 1), "00:00:00:00");  // a day's last frame; the keypad's test steps at 25
  EXPECT_EQ(inctcstr("00:00:00:99", 0), "00:00:04:00");
  EXPECT_EQ(dectcstr("00:00:00:00", 0) + dectcstr("01:00:00:00", 1), "23:59:59:2400:59:59:29");
  for (auto [n, s] : {std::pair{7, "07"}, {0, "00"}, {-5, "-5"}, {100, "100"}}) EXPECT_EQ(i2s(n), s);
}

TEST(Bcd, TimeBytesAndRoundTrip) {
  for (auto [tc, hex] :
       {std::pair{"01:02:03:04", "74 04 03 02 01"}, {"23:59:59:24", "74 24 59 59 23"}, {"1", "74 01 00 00 01"}})
    EXPECT_EQ(Hex(appendtcstr("\x74", tc)), hex);
  EXPECT_EQ(bcd2text(0xA4) + bcd2text(0xFF), ":4??");
  EXPECT_EQ(bcdchr("-5"), 0xFB);
  bcdchr("-99999999999999999999999");  // no overflow (UBSan)
  for (int hi = 0; hi < 10; ++hi)
    for (int lo = 0; lo < 10; ++lo) EXPECT_EQ(bcdchr(bcd2text(static_cast<uint8_t>(hi * 16 + lo))), hi * 16 + lo);
}

TEST(Checksum, AddsTheBytesCmd1CountsThatArePresent) {
  const std::pair<const char*, const char*> cases[] = {
      {"20 01", "20 01 21"}, {"21 21 40", "21 21 40 82"}, {"74 04 24 59 59 23", "74 04 24 59 59 23 71"},
      {"", "00"},            {"2F", "2F 2F"},             {"20 00 07", "20 00 07 20"}, {"6F 01 02", "6F 01 02 72"}};
  for (auto [in, out] : cases) EXPECT_EQ(Hex(appendsum(Bytes(in))), out);
}

TEST(BitMap, MasksAndBitsOutsideTheMap) {
  for (auto [n, mask] : {std::pair{0, 1}, {7, 128}, {8, 0}, {-1, 0}}) EXPECT_EQ(getbit(n), mask) << n;
  std::array<uint8_t, 2> map{0x80, 0x02};
  const std::vector<bool> bits{isbitset(map, 7), isbitset(map, 9), isbitset(map, 8), isbitset(map, 0),
                               xorbit(map, 9),   xorbit(map, 8),   xorbit(map, 0)};
  EXPECT_EQ(bits, (std::vector<bool>{true, true, false, false, false, true, true}));
  EXPECT_EQ(map, (std::array<uint8_t, 2>{0x81, 0x01}));
  std::array<uint8_t, 2> full{0xFF, 0xFF};
  for (int32_t k : {-1, -9, 16, 1000, INT32_MIN, INT32_MAX}) EXPECT_FALSE(isbitset(full, k) || xorbit(full, k)) << k;
  EXPECT_EQ(full, (std::array<uint8_t, 2>{0xFF, 0xFF}));
}

class Ring : public ::testing::Test {
 protected:
  rxring ring;
  FrameArray frame{};
  std::vector<std::string> got;

  void feed(std::string_view s) {
    ring.receive(s, frame, [this] {
      const int n = frame[0] % 16 + 2;
      std::string f(frame.begin(), frame.begin() + n), unread;
      for (int i = 0; i <= n; ++i) unread += static_cast<char>(ring.cells[(ring.out + i) % rxring::kCells]);
      EXPECT_EQ(vxtest::ScanFrames(unread), std::vector{f});  // not yet passed, checksum right
      got.push_back(f);
    });
  }
};

TEST_F(Ring, SplitFramesStrayBytesAndTheLongestFrame) {
  const std::string f15 = Bytes("7F 20 A0 A1 A2 A3 A4 A5 A6 A7 A8 A9 AA AB AC AD AE");
  feed(Bytes("10 01 11 10 01 11 20 01"));
  feed(Bytes("21 05 20 01 21"));  // 05 wants eight bytes before it can be tested
  EXPECT_EQ(got.size(), 3u);
  feed(Bytes("61 20 0F 90") + f15 + Bytes("68 10 01 11"));
  EXPECT_EQ(got, (std::vector{Bytes("10 01"), Bytes("10 01"), Bytes("20 01"), Bytes("20 01"), Bytes("61 20 0F"), f15,
                              Bytes("10 01")}));
  EXPECT_EQ(ring.unread(), 0);
  EXPECT_EQ(Hex(std::string(frame.begin(), frame.end())), Hex(Bytes("10 01") + f15.substr(2) + Bytes("00 00 00 00")));
}

// Reads of up to 200 bytes, more than the ring holds: every frame is found once, in order.
TEST_F(Ring, RandomReadsGiveTheFramesOfTheWholeStream) {
  std::mt19937 rng(777);
  std::string stream;
  for (int read = 0; read < 2000; ++read) {
    std::string s(rng() % 200, '\0');
    for (char& c : s) c = static_cast<char>(rng() % 4 ? rng() % 8 : rng());  // short frames are common
    feed(s);
    stream += s;
  }
  EXPECT_GT(got.size(), 1000u);
  EXPECT_TRUE(got == vxtest::ScanFrames(stream));
}

TEST(PortLookup, FirstPortOfTheNameInAnyCase) {
  fw::testing::HideMachinePorts(true);
  EXPECT_EQ(getserialnum(""), -1);
  for (const char* name : {"ttyA", "TTYB", "ttyb", ""}) fw::testing::AddSerialPort(name, "/dev/null");
  for (auto [name, i] : {std::pair{"TTYA", 0}, {"ttyB", 1}, {"", 3}, {"tty", -1}}) EXPECT_EQ(getserialnum(name), i);
  fw::testing::ClearSerialPorts();
  fw::testing::HideMachinePorts(false);
}

}  // namespace
