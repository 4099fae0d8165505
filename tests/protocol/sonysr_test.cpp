#include "protocol/sonysr.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string bytes(std::initializer_list<int> v) {
  std::string s;
  for (int b : v) s.push_back(static_cast<char>(b));
  return s;
}

TEST(StatusRequests, CycleOfFourRepeatsFromStart) {
  sonysr::reset();
  const std::string cycle[] = {bytes({0x61, 0x20, 0x0F, 0x90}), bytes({0x00, 0x11, 0x11}),
                               bytes({0x61, 0x30, 0x04, 0x95}), bytes({0x61, 0x0C, 0x01, 0x6E})};
  for (int call = 0; call < 12; ++call) {
    EXPECT_EQ(sonysr::buildrq(), cycle[call % 4]) << "call " << call + 1;
    EXPECT_GE(sonysr::rqcount, -1);
    EXPECT_LE(sonysr::rqcount, 3);
  }
}

TEST(StatusRequests, ResetStartsOver) {
  sonysr::buildrq();
  sonysr::buildrq();
  sonysr::reset();
  EXPECT_EQ(sonysr::rqcount, 0);
  EXPECT_EQ(sonysr::armlen, 4);
  EXPECT_EQ(sonysr::buildrq(), bytes({0x61, 0x20, 0x0F, 0x90}));
}

}  // namespace
