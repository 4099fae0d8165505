#include "protocol/cbsr.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <string>

#include "framework/serial.h"

namespace {

std::string bytes(std::initializer_list<int> v) {
  std::string s;
  for (int b : v) s.push_back(static_cast<char>(b));
  return s;
}

// A well-formed timecode text: 11 characters, fields in range.
void expectInRange(const std::string& tc, int32_t fps) {
  ASSERT_EQ(tc.size(), 11u) << tc;
  const int h = std::stoi(tc.substr(0, 2)), m = std::stoi(tc.substr(3, 2));
  const int s = std::stoi(tc.substr(6, 2)), f = std::stoi(tc.substr(9, 2));
  EXPECT_TRUE(h >= 0 && h < 24 && m >= 0 && m < 60 && s >= 0 && s < 60 && f >= 0 && f < fps) << tc;
}

TEST(Timecode, CountsToTextWrapIntoOneDay) {
  EXPECT_EQ(cbsr::frms2str(0, 0), "00:00:00:00");
  EXPECT_EQ(cbsr::frms2str(-1, 0), "23:59:59:24");
  EXPECT_EQ(cbsr::frms2str(2160000, 0), "00:00:00:00");
  EXPECT_EQ(cbsr::frms2str(-2160000, 0), "00:00:00:00");
  EXPECT_EQ(cbsr::frms2str(2160000 - 1, 0), "23:59:59:24");
  EXPECT_EQ(cbsr::frms2str(90000 + 1500 + 25 + 1, 0), "01:01:01:01");
  EXPECT_EQ(cbsr::frms2str(-1, 1), "23:59:59:29");
  EXPECT_EQ(cbsr::frms2str(108000, 1), "01:00:00:00");
  EXPECT_EQ(cbsr::frms2str(5, 2), "00:00:00:00");
  EXPECT_EQ(cbsr::frms2str(5, -1), "00:00:00:00");
}

TEST(Timecode, CountsBeyondOneDayBackOrHugeStayInRange) {
  EXPECT_EQ(cbsr::frms2str(-2160001, 0), "23:59:59:24");
  EXPECT_EQ(cbsr::frms2str(-2 * 2160000 - 25, 0), "23:59:59:00");
  EXPECT_EQ(cbsr::frms2str(3.0 * 2160000 + 90000, 0), "01:00:00:00");
  for (double f : {-1e18, 1e18, -1e300, 1e300, -2147483648.0 * 7, std::numeric_limits<double>::max(),
                   std::numeric_limits<double>::lowest(), std::numeric_limits<double>::infinity(),
                   -std::numeric_limits<double>::infinity(), std::nan("")}) {
    expectInRange(cbsr::frms2str(f, 0), 25);
    expectInRange(cbsr::frms2str(f, 1), 30);
    // Such text converts to BCD bytes without any negative field.
    const std::string bcd = cbsr::appendtcstr("", cbsr::frms2str(f, 0));
    for (char c : bcd) EXPECT_LE(static_cast<unsigned char>(c) & 0x0F, 9);
  }
  EXPECT_EQ(cbsr::frms2str(std::nan(""), 0), "00:00:00:00");
}

TEST(Timecode, TextToCountTakesFieldsByPosition) {
  EXPECT_EQ(cbsr::str2frms("01:00:00:00", 0), 90000);
  EXPECT_EQ(cbsr::str2frms("00:99:00:00", 0), 99 * 1500);
  EXPECT_EQ(cbsr::str2frms("01:00:00:00", 1), 108000);
  EXPECT_EQ(cbsr::str2frms("01:02:03:04", 2), 0);
  EXPECT_EQ(cbsr::str2frms("01x02y03z04", 0), 90000 + 2 * 1500 + 3 * 25 + 4);
  EXPECT_EQ(cbsr::str2frms("99:99:99:99", 0), 99 * 90000 + 99 * 1500 + 99 * 25 + 99);
}

TEST(Timecode, ShortOrMalformedTextReadsWhatIsThere) {
  EXPECT_EQ(cbsr::str2frms("", 0), 0);
  EXPECT_EQ(cbsr::str2frms("5", 0), 5 * 90000 + 5);  // hours and frames both see "5"
  EXPECT_EQ(cbsr::str2frms("01:02", 0), 90000 + 2 * 1500 + 2);
  EXPECT_EQ(cbsr::str2frms("01:02:0", 0), 90000 + 2 * 1500 + 0 + 0);
  EXPECT_EQ(cbsr::str2frms("ab:cd:ef:gh", 0), 0);
  EXPECT_EQ(cbsr::str2frms("-1:00:00:00", 0), -90000);
  EXPECT_EQ(cbsr::str2frms(std::string_view("\0\0:\0\0:\0\0:\0\0", 11), 0), 0);
  EXPECT_EQ(cbsr::inctcstr("", 0), "00:00:00:01");
  EXPECT_EQ(cbsr::appendtcstr("", ""), bytes({0, 0, 0, 0}));
  EXPECT_EQ(cbsr::appendtcstr("", "1"), bytes({1, 0, 0, 1}));
}

TEST(Timecode, StepsWrapAtMidnightAndNormalise) {
  EXPECT_EQ(cbsr::inctcstr("23:59:59:24", 0), "00:00:00:00");
  EXPECT_EQ(cbsr::inctcstr("00:00:00:99", 0), "00:00:04:00");
  EXPECT_EQ(cbsr::dectcstr("00:00:00:00", 0), "23:59:59:24");
  EXPECT_EQ(cbsr::inctcstr("23:59:59:29", 1), "00:00:00:00");
}

TEST(Bcd, TimeBytesAndNibbles) {
  EXPECT_EQ(cbsr::appendtcstr("", "23:59:59:24"), bytes({0x24, 0x59, 0x59, 0x23}));
  EXPECT_EQ(cbsr::appendtcstr(bytes({0x74, 0x04}), "01:02:03:04"), bytes({0x74, 0x04, 0x04, 0x03, 0x02, 0x01}));
  EXPECT_EQ(cbsr::bcd2text(0x59), "59");
  EXPECT_EQ(cbsr::bcd2text(0x00), "00");
  EXPECT_EQ(cbsr::bcd2text(0xFF), "??");
  EXPECT_EQ(cbsr::bcd2text(0xA4), ":4");
  for (int hi = 0; hi <= 9; ++hi)
    for (int lo = 0; lo <= 9; ++lo) {
      const auto b = static_cast<uint8_t>(hi * 16 + lo);
      EXPECT_EQ(cbsr::bcdchr(cbsr::bcd2text(b)), b);
    }
}

TEST(Bcd, NonNumericTextReadsLikeVal) {
  EXPECT_EQ(cbsr::bcdchr(""), 0);
  EXPECT_EQ(cbsr::bcdchr(":4"), 0);
  EXPECT_EQ(cbsr::bcdchr(" 7"), 0x07);
  EXPECT_EQ(cbsr::bcdchr("4:"), 0x04);
  EXPECT_EQ(cbsr::bcdchr("-5"), static_cast<uint8_t>(-5));
  EXPECT_EQ(cbsr::bcdchr("123"), static_cast<uint8_t>(12 * 16 + 3));
  // Saturated values still give a byte, without overflow.
  cbsr::bcdchr("99999999999999999999999999");
  cbsr::bcdchr("-99999999999999999999999999");
}

TEST(Checksum, AddsTheBytesCmd1Counts) {
  EXPECT_EQ(cbsr::appendsum(bytes({0x20, 0x01})), bytes({0x20, 0x01, 0x21}));
  EXPECT_EQ(cbsr::appendsum(bytes({0x21, 0x21, 0x40})), bytes({0x21, 0x21, 0x40, 0x82}));
  EXPECT_EQ(cbsr::appendsum(bytes({0x00, 0x11})), bytes({0x00, 0x11, 0x11}));
  EXPECT_EQ(cbsr::appendsum(bytes({0x24, 0x31, 0x24, 0x59, 0x59, 0x23})).back(), '\x4E');
  EXPECT_EQ(cbsr::appendsum(bytes({0x74, 0x04, 0x24, 0x59, 0x59, 0x23})).back(), '\x71');  // sum 369
  // Bytes after those counted are kept but not added.
  EXPECT_EQ(cbsr::appendsum(bytes({0x20, 0x00, 0x07})), bytes({0x20, 0x00, 0x07, 0x20}));
}

TEST(Checksum, FewerBytesThanAnnouncedAddsThosePresent) {
  EXPECT_EQ(cbsr::appendsum(""), bytes({0x00}));
  EXPECT_EQ(cbsr::appendsum(bytes({0x2F})), bytes({0x2F, 0x2F}));
  EXPECT_EQ(cbsr::appendsum(bytes({0x6F, 0x01, 0x02})), bytes({0x6F, 0x01, 0x02, 0x72}));
}

TEST(BitMap, MasksAndBitPositions) {
  EXPECT_EQ(cbsr::getbit(0), 1);
  EXPECT_EQ(cbsr::getbit(7), 128);
  EXPECT_EQ(cbsr::getbit(8), 0);
  EXPECT_EQ(cbsr::getbit(9), 0);
  EXPECT_EQ(cbsr::getbit(-1), 0);
  std::array<uint8_t, 2> map{0x80, 0x02};
  EXPECT_TRUE(cbsr::isbitset(map, 7));
  EXPECT_TRUE(cbsr::isbitset(map, 9));
  EXPECT_FALSE(cbsr::isbitset(map, 8));
  EXPECT_FALSE(cbsr::isbitset(map, 0));
}

TEST(BitMap, XorTwiceRestores) {
  std::array<uint8_t, 10> map{};
  map[1] = 0x04;
  const auto before = map;
  EXPECT_FALSE(cbsr::xorbit(map, 10));  // bit 10 was set
  EXPECT_EQ(map[1], 0x00);
  EXPECT_TRUE(cbsr::xorbit(map, 10));
  EXPECT_EQ(map, before);
  EXPECT_TRUE(cbsr::xorbit(map, 79));
  EXPECT_EQ(map[9], 0x80);
}

TEST(BitMap, BitsOutsideTheMapReadZeroAndChangeNothing) {
  std::array<uint8_t, 2> map{0xFF, 0xFF};
  for (int32_t k : {-1, -8, -9, 16, 17, 1000, INT32_MIN, INT32_MAX}) {
    EXPECT_FALSE(cbsr::isbitset(map, k)) << k;
    EXPECT_FALSE(cbsr::xorbit(map, k)) << k;
  }
  EXPECT_EQ(map[0], 0xFF);
  EXPECT_EQ(map[1], 0xFF);
  EXPECT_FALSE(cbsr::isbitset(std::span<const uint8_t>(), 0));
}

class PortLookup : public ::testing::Test {
 protected:
  void SetUp() override {
    fw::testing::HideMachinePorts(true);
    fw::testing::ClearSerialPorts();
  }
  void TearDown() override {
    fw::testing::ClearSerialPorts();
    fw::testing::HideMachinePorts(false);
  }
};

TEST_F(PortLookup, NoPortsGivesMinusOne) {
  EXPECT_EQ(cbsr::getserialnum(""), -1);
  EXPECT_EQ(cbsr::getserialnum("ttyUSB0"), -1);
}

TEST_F(PortLookup, FindsFirstMatchIgnoringCase) {
  fw::testing::AddSerialPort("ttyUSB0", "/dev/null");
  fw::testing::AddSerialPort("ttyUSB1", "/dev/null");
  fw::testing::AddSerialPort("TTYusb1", "/dev/null");
  EXPECT_EQ(cbsr::getserialnum("ttyUSB0"), 0);
  EXPECT_EQ(cbsr::getserialnum("ttyusb1"), 1);
  EXPECT_EQ(cbsr::getserialnum("ttyUSB"), -1);
  EXPECT_EQ(cbsr::getserialnum(""), -1);
  fw::testing::AddSerialPort("", "/dev/null");
  EXPECT_EQ(cbsr::getserialnum(""), 3);
}

}  // namespace
