// The deck model behind a timecode display.
#include "controls/tckey.h"

#include <gtest/gtest.h>

#include "tests/support/pty.h"

namespace vxtest {
namespace {

// Speed, D1 and D2 of no state yet and of states 1..6, record and cue bits clear.
constexpr int kState[7][3] = {{0, 0, 0},       {0, 0xA0, 0x02},    {0, 0x80, 0x12},   {100, 0x81, 0x80},
                              {-100, 0x80, 0x0C}, {3000, 0x84, 0x00}, {-3000, 0x88, 0x04}};

TEST(Tckey, EveryCodeFromEveryState) {
  const std::vector<int> starts[] = {{}, {1}, {2}, {3}, {4}, {5}, {6}, {11}, {11, 2}, {3, 18}, {1, -1}};
  for (const auto& start : starts)
    for (int code : {1, 2, 3, 4, 5, 6, 11, 18, 19, 7, 0}) {
      tckey deck(nullptr);
      for (int c : start) c < 0 ? deck.setrecord(true) : deck.cmdin(c);  // -1: a received 20 65
      const int tally0 = deck.tally, speed0 = deck.speed;
      const bool record0 = deck.record, cued0 = deck.cued;
      deck.cmdin(code);
      SCOPED_TRACE(::testing::PrintToString(start) + " then " + std::to_string(code));
      const bool moves = code >= 1 && code <= 6;
      const int tally = moves ? code : code == 11 ? 1 : tally0;
      const int speed = moves ? kState[code][0] : code == 11 ? 0 : speed0;
      EXPECT_EQ(deck.tally, tally);
      EXPECT_EQ(deck.speed, speed);
      EXPECT_EQ(deck.cued, code == 11 || (cued0 && speed == 0));  // any motion ends the cue
      EXPECT_EQ(deck.record, speed == 100 && code != 19 && (code == 18 || record0));
      EXPECT_EQ(deck.statusarray[1], kState[tally][1] | (deck.record ? 0x02 : 0));
      EXPECT_EQ(deck.statusarray[2], kState[tally][2] | (deck.cued ? 0x01 : 0));
      EXPECT_EQ(deck.statusarray[4], deck.record ? 0x10 : 0);
    }
}

// Play, fast forward, stop, record and Goto are received end to end in serial_sides_test.
TEST(Tckey, ReceivedCommands) {
  tckey deck(nullptr);
  const std::pair<const char*, int> moves[] = {{"21 21 20", 0}, {"21 21 40", 4}, {"20 02", 4}, {"20 20", 6}};
  for (auto [msg, tally] : moves) {
    deck.s9in2x(Frame(msg));
    EXPECT_EQ(deck.tally, tally) << msg;  // 21 21 20 and 20 02 change nothing
  }
  deck.s9in2x(Frame("24 31 07"));  // cut short: the missing bytes read 0
  EXPECT_EQ(deck.caption, "00:00:00:07");
}

TEST(Tckey, TimeDataAndTheDisplayWrappingAtMidnight) {
  tckey deck(nullptr);
  deck.parsepoztally(Frame("74 04 45 00 00 00"));
  EXPECT_EQ(deck.caption, "00:00:01:20");
  deck.setframes(-2160000 + 10);
  deck.cmdin(6);
  deck.adjpoz();
  EXPECT_EQ(deck.frames, -2160020);  // the count is kept, the text wraps
  EXPECT_EQ(deck.caption, "23:59:59:05");
  EXPECT_EQ(Hex(deck.buildpoztally(0x0C)), "74 04 05 59 59 23");
}

TEST(Tckey, StatusRequestsAreCutAtD15) {
  tckey deck(nullptr);
  for (size_t i = 0; i < 16; ++i) deck.statusarray[i] = static_cast<uint8_t>(0xB0 + i);
  EXPECT_EQ(Hex(deck.buildstatustally(0x12)), "72 20 B1 B2");
  EXPECT_EQ(Hex(deck.buildstatustally(0xF5)), "71 20 BF");
  EXPECT_EQ(Hex(deck.buildstatustally(0x9F)), "77 20 B9 BA BB BC BD BE BF");
  deck.parsestatus(Frame("7F 20 11"));  // count 15, one byte present: the rest read 0, D15 untouched
  EXPECT_EQ(Hex({reinterpret_cast<const char*>(deck.statusarray.data()), 16}),
            "11 00 00 00 00 00 00 00 00 00 00 00 00 00 00 BF");
}

TEST(Tckey, ControllerReadsTheDeviceStatus) {
  tckey device(nullptr), controller(nullptr);
  // Code given to the device; tally, record and cue the controller reads back.
  const int steps[][4] = {{1, 1, 0, 0}, {3, 3, 0, 0}, {5, 5, 0, 0}, {6, 6, 0, 0}, {3, 3, 0, 0},
                          {18, 3, 1, 0}, {11, 1, 0, 1}, {2, 1, 0, 1}, {4, 1, 0, 0}};
  for (const auto& [code, tally, record, cued] : steps) {
    device.cmdin(code);
    const std::string reply = device.buildstatustally(0x0F);
    controller.parsestatus(std::vector<uint8_t>(reply.begin(), reply.end()));
    EXPECT_EQ(controller.tally, tally) << code;
    EXPECT_EQ(controller.record, record != 0) << code;
    EXPECT_EQ(controller.cued, cued != 0) << code;
  }
  EXPECT_EQ(controller.statusarray, device.statusarray);
}

}  // namespace
}  // namespace vxtest
