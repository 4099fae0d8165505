#include "protocol/rxring.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "protocol/cbsr.h"

namespace {

std::string bytes(std::initializer_list<int> v) {
  std::string s;
  for (int b : v) s.push_back(static_cast<char>(b));
  return s;
}

// One ring with its frame array; records every frame handed over and checks,
// at the moment of the call, that the frame is still at the read position
// with a matching checksum after it.
class Ring : public ::testing::Test {
 protected:
  rxring ring;
  FrameArray frame{};
  std::vector<std::string> got;

  void feed(std::string_view s) {
    ring.receive(s, frame, [this] {
      const int n = frame[0] % 16 + 2;
      uint8_t sum = 0;
      for (int i = 0; i < n; ++i) {
        EXPECT_EQ(frame[static_cast<size_t>(i)], ring.cells[(ring.out + i) % rxring::kCells]);
        sum = static_cast<uint8_t>(sum + frame[static_cast<size_t>(i)]);
      }
      EXPECT_EQ(sum, ring.cells[(ring.out + n) % rxring::kCells]);
      got.emplace_back(frame.begin(), frame.begin() + n);
    });
  }
};

TEST_F(Ring, TwoFramesInOneRead) {
  feed(bytes({0x10, 0x01, 0x11, 0x10, 0x01, 0x11}));
  ASSERT_EQ(got.size(), 2u);
  EXPECT_EQ(got[0], bytes({0x10, 0x01}));
  EXPECT_EQ(ring.unread(), 0);
}

TEST_F(Ring, SplitFrameWaitsAndEmptyReadChangesNothing) {
  feed(bytes({0x20, 0x01}));
  EXPECT_TRUE(got.empty());
  feed("");
  EXPECT_TRUE(got.empty());
  EXPECT_EQ(ring.unread(), 2);
  feed(bytes({0x21}));
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0], bytes({0x20, 0x01}));
}

TEST_F(Ring, StrayByteHoldsUpUntilItCanBeTestedAndDropped) {
  feed(bytes({0x05, 0x20, 0x01, 0x21}));
  EXPECT_TRUE(got.empty());
  feed(bytes({0x61, 0x20, 0x0F, 0x90}));
  ASSERT_EQ(got.size(), 2u);
  EXPECT_EQ(got[0], bytes({0x20, 0x01}));
  EXPECT_EQ(got[1], bytes({0x61, 0x20, 0x0F}));
  EXPECT_EQ(ring.unread(), 0);
}

TEST_F(Ring, BadChecksumDropsOneByteAndFrameArrayShowsCandidate) {
  feed(bytes({0x20, 0x01, 0x22}));
  EXPECT_TRUE(got.empty());
  EXPECT_EQ(frame[0], 0x20);  // the rejected candidate was copied before its test
  EXPECT_EQ(frame[1], 0x01);
  EXPECT_EQ(ring.unread(), 2);  // 01 asks for four bytes and waits
  feed(bytes({0x00}));
  EXPECT_TRUE(got.empty());
  EXPECT_EQ(ring.unread(), 3);
}

TEST_F(Ring, ShorterFrameKeepsOlderCells) {
  feed(cbsr::appendsum(bytes({0x74, 0x04, 0x24, 0x59, 0x58, 0x23})));
  feed(bytes({0x10, 0x01, 0x11}));
  ASSERT_EQ(got.size(), 2u);
  EXPECT_EQ(frame[0], 0x10);
  EXPECT_EQ(frame[1], 0x01);
  EXPECT_EQ(frame[2], 0x24);
  EXPECT_EQ(frame[5], 0x23);
}

TEST_F(Ring, LongestFrameFillsSeventeenCells) {
  std::string f = bytes({0x7F, 0x20});
  for (int i = 0; i < 15; ++i) f.push_back(static_cast<char>(0xA0 + i));
  feed(cbsr::appendsum(f));
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0], f);
  EXPECT_EQ(frame[16], 0xAE);
  EXPECT_EQ(frame[17], 0);
}

TEST_F(Ring, ExactlyOneRingfulInOneReadIsAllHandedOver) {
  // 40 three-byte frames and one of eight: 128 bytes into an empty ring.
  std::string s;
  for (int i = 0; i < 40; ++i) s += bytes({0x10, 0x01, 0x11});
  s += cbsr::appendsum(bytes({0x75, 0x0C, 1, 2, 3, 4, 5}));
  ASSERT_EQ(s.size(), 128u);
  feed(s);
  ASSERT_EQ(got.size(), 41u);
  EXPECT_EQ(got.back(), bytes({0x75, 0x0C, 1, 2, 3, 4, 5}));
  EXPECT_EQ(ring.unread(), 0);
}

TEST_F(Ring, ThousandFrameBurstInOneRead) {
  std::string burst;
  std::vector<std::string> sent;
  for (int i = 0; i < 1000; ++i) {
    std::string f = bytes({0x60 | (i % 16), i & 0xFF});
    for (int d = 0; d < i % 16; ++d) f.push_back(static_cast<char>((i * 7 + d) & 0xFF));
    sent.push_back(f);
    burst += cbsr::appendsum(f);
  }
  feed(bytes({0x20, 0x01}));  // a frame already begun goes on across the burst
  feed(bytes({0x21}) + burst);
  sent.insert(sent.begin(), bytes({0x20, 0x01}));
  EXPECT_EQ(got, sent);
  EXPECT_EQ(ring.unread(), 0);
}

TEST_F(Ring, GoodFramesSplitAtRandomBoundariesArriveOnceInOrder) {
  std::mt19937 rng(12345);
  std::string stream;
  std::vector<std::string> sent;
  for (int i = 0; i < 3000; ++i) {
    const int n = static_cast<int>(rng() % 16);
    std::string f = bytes({static_cast<int>(rng() & 0xF0) | n, static_cast<int>(rng() & 0xFF)});
    for (int d = 0; d < n; ++d) f.push_back(static_cast<char>(rng() & 0xFF));
    sent.push_back(f);
    stream += cbsr::appendsum(f);
  }
  for (size_t pos = 0; pos < stream.size();) {
    const size_t len = std::min<size_t>(rng() % 300, stream.size() - pos);
    feed(std::string_view(stream).substr(pos, len));
    pos += len;
  }
  EXPECT_EQ(got, sent);
  EXPECT_EQ(ring.unread(), 0);
}

TEST_F(Ring, RandomBytesHandOverOnlyCheckedFrames) {
  // The handler itself checks each frame against its checksum in the ring.
  std::mt19937 rng(777);
  for (int read = 0; read < 2000; ++read) {
    std::string s(rng() % 200, '\0');
    for (char& c : s) c = static_cast<char>(rng() & 0xFF);
    feed(s);
    ASSERT_LT(ring.unread(), rxring::kCells);
  }
  EXPECT_FALSE(got.empty());
}

}  // namespace
