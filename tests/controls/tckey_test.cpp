// The deck model behind a timecode display.
#include "controls/tckey.h"

#include <gtest/gtest.h>

#include <tuple>

#include "tests/support/pty.h"

namespace vxtest {
namespace {

// Speed, D1 and D2 of no state yet and of states 1..6, record and cue bits clear.
constexpr int kState[7][3] = {{0, 0, 0},       {0, 0xA0, 0x02},    {0, 0x80, 0x12},   {100, 0x81, 0x80},
                              {-100, 0x80, 0x0C}, {3000, 0x84, 0x00}, {-3000, 0x88, 0x04}};

TEST(Tckey, EveryCodeFromEveryState) {
  const std::vector<int> starts[] = {{}, {-1}, {1}, {2}, {3}, {4}, {5}, {6}, {11}, {11, 2}, {3, 18}, {1, -1}};
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
      EXPECT_EQ(std::pair(deck.tally, deck.speed), std::pair(tally, speed));
      EXPECT_EQ(deck.cued, code == 11 || (cued0 && speed == 0));  // any motion ends the cue
      EXPECT_EQ(deck.record, speed == 100 && code != 19 && (code == 18 || record0));
      const int d1 = kState[tally][1] | (deck.record ? 0x02 : 0), d2 = kState[tally][2] | (deck.cued ? 0x01 : 0);
      EXPECT_EQ(std::tuple(deck.statusarray[1], deck.statusarray[2], deck.statusarray[4]),
                std::tuple(d1, d2, deck.record ? 0x10 : 0));
      deck.adjpoz();
      EXPECT_EQ(deck.frames, speed / 100);
    }
}

// init lights the display and shows zero without drawing it, and keeps the deck; a stopped deck is
// not drawn on a tick. With no transport code yet, D1 and D2 keep what they held but the record bit.
TEST(Tckey, InitKeepsTheDeckAStoppedDeckIsNotDrawnAndStatusWithoutACode) {
  tckey deck(nullptr);
  deck.setframes(100), deck.cmdin(11), deck.setrecord(true);  // stopped at 00:00:04:00, cued, recording
  const int draws = deck.redrawCount();
  deck.init(), deck.adjpoz();
  EXPECT_EQ(std::tuple(deck.lit, deck.caption, deck.redrawCount() - draws), std::tuple(true, "00:00:00:00", 0));
  EXPECT_EQ(std::tuple(deck.frames, deck.tally, deck.record, deck.cued), std::tuple(100, 1, true, true));
  EXPECT_EQ(Hex(deck.buildstatustally(0x05)), "75 20 00 A2 03 00 10");
  deck.cmdin(3), deck.adjpoz();
  EXPECT_EQ(deck.caption, "00:00:04:01");
  tckey bare(nullptr);
  bare.parsestatus(Frame("73 20 00 C0 12")), bare.setrecord(true);  // D1 and D2 give no code
  EXPECT_EQ(std::pair(bare.tally, Hex(bare.buildstatustally(0x05))), std::pair(0, std::string("75 20 00 C2 12 00 10")));
  bare.cmdin(7);
  EXPECT_EQ(Hex(bare.buildstatustally(0x05)), "75 20 00 C0 12 00 00");
}

// Play, fast forward, stop and Goto are received end to end in serial_sides_test.
TEST(Tckey, ReceivedCommandsOnAFreshDeckAndTimeData) {
  tckey deck(nullptr);
  const std::tuple<const char*, int, int> steps[] = {{"20 65", 0, 0x02}, {"20 64", 0, 0x00}, {"21 21 20", 0, 0x00},
                                                     {"21 21 40", 4, 0x80}, {"20 02", 4, 0x80}, {"20 20", 6, 0x88}};
  for (auto [msg, tally, d1] : steps) {
    deck.s9in2x(Frame(msg));
    EXPECT_EQ(std::tuple(deck.tally, deck.statusarray[1]), std::tuple(tally, d1)) << msg;  // 21 21 20, 20 02: nothing
  }
  deck.s9in2x(Frame("24 31 07"));  // cut short: the missing bytes read 0
  EXPECT_EQ(deck.caption, "00:00:00:07");
  deck.parsepoztally(Frame("74 04 45 00 00 00"));
  EXPECT_EQ(deck.caption, "00:00:01:20");
  deck.setframes(-2160000 + 10);
  deck.cmdin(6);
  deck.adjpoz();
  EXPECT_EQ(deck.frames, -2160020);  // the count is kept, the text wraps
  EXPECT_EQ(deck.caption, "23:59:59:05");
  EXPECT_EQ(Hex(deck.buildpoztally(0x0C)), "74 04 05 59 59 23");
}

// A deck's status replies in turn: the transport bits decide the tally only one at a time.
TEST(Tckey, StatusRequestsCutAtD15AndRepliesGiveTallyRecordAndCue) {
  tckey deck(nullptr);
  for (size_t i = 0; i < 16; ++i) deck.statusarray[i] = static_cast<uint8_t>(0xB0 + i);
  deck.rec2status(std::array<uint8_t, 10>{0x01, 0x80, 0xFF});  // edit preset bytes 0, 1 into D5, D12
  EXPECT_EQ(Hex(deck.buildstatustally(0x52)), "72 20 01 B6");
  EXPECT_EQ(Hex(deck.buildstatustally(0xF5)), "71 20 BF");
  EXPECT_EQ(Hex(deck.buildstatustally(0x9F)), "77 20 B9 BA BB 80 BD BE BF");
  deck.parsestatus(Frame("7F 20 11"));  // count 15, one byte present: the rest read 0, D15 untouched
  EXPECT_EQ(Hex({reinterpret_cast<const char*>(deck.statusarray.data()), 16}),
            "11 00 00 00 00 00 00 00 00 00 00 00 00 00 00 BF");
  const std::tuple<const char*, int, bool, bool> replies[] = {
      {"75 20 00 A0 02 00 00", 1, false, false}, {"75 20 00 83 80 00 00", 3, true, false},
      {"75 20 00 84 00 00 00", 5, false, false}, {"75 20 00 30 FE 00 EF", 5, false, false},
      {"75 20 00 20 03 00 10", 1, true, true},   {"72 20 00 C1", 3, true, true},  // D2, D4 kept
      {"75 20 00 88 00 00 00", 6, false, false}, {"75 20 00 05 00 00 00", 6, false, false},
      {"75 20 00 82 00 00 00", 6, true, false},  {"75 20 00 60 00 00 00", 1, false, false}};
  for (auto [reply, tally, record, cued] : replies) {
    deck.parsestatus(Frame(reply));
    EXPECT_EQ(std::tuple(deck.tally, deck.record, deck.cued), std::tuple(tally, record, cued)) << reply;
  }
  deck.settally(2), deck.parsestatus(Frame("75 20 00 60 00 00 00"));  // the same again: nothing happens
  EXPECT_EQ(deck.tally, 2);
}

}  // namespace
}  // namespace vxtest
