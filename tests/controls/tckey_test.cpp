// The deck model behind a timecode display: transport state machine,
// motion, time data and status data.
#include "controls/tckey.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <memory>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

Bytes bytesOf(const std::string& s) { return Bytes(s.begin(), s.end()); }

std::unique_ptr<tckey> newDeck() {
  auto deck = std::make_unique<tckey>(nullptr);
  deck->applyDesign();
  deck->SetBounds(0, 0, 103, 28);
  return deck;
}

uint8_t d(const tckey& deck, int k) { return deck.statusarray[static_cast<size_t>(k)]; }

// ---- transport state machine ----

struct StateBytes {
  int tally, speed;
  uint8_t d1, d2;
};
// What each transport state is and reports (record and cue bits clear).
constexpr StateBytes kStates[] = {
    {1, 0, 0xA0, 0x02}, {2, 0, 0x80, 0x12}, {3, 100, 0x81, 0x80},
    {4, -100, 0x80, 0x0C}, {5, 3000, 0x84, 0x00}, {6, -3000, 0x88, 0x04},
};

struct Start {
  const char* name;
  std::vector<int> codes;  // codes that bring a new deck into this state
};

TEST(TckeyStateMachine, EveryCodeFromEveryState) {
  const Start starts[] = {
      {"new", {}},           {"stop", {1}},          {"still", {2}},       {"play", {3}},
      {"reverse", {4}},      {"ff", {5}},            {"rewind", {6}},      {"cued stop", {11}},
      {"cued still", {11, 2}}, {"recording", {3, 18}}, {"record on at stop", {}},
  };
  const int codes[] = {1, 2, 3, 4, 5, 6, 11, 18, 19, 7, 0};
  for (const Start& start : starts) {
    for (int code : codes) {
      auto deck = newDeck();
      for (int c : start.codes) deck->cmdin(c);
      if (std::string(start.name) == "record on at stop") {
        deck->cmdin(1);
        deck->setrecord(true);  // a received 20 65 records while standing
      }
      const int tally0 = deck->tally, speed0 = deck->speed;
      const bool record0 = deck->record, cued0 = deck->cued;

      deck->cmdin(code);
      SCOPED_TRACE(std::string(start.name) + " + code " + std::to_string(code));

      int tally = tally0, speed = speed0;
      if (code >= 1 && code <= 6) tally = code, speed = kStates[code - 1].speed;
      if (code == 11) tally = 1, speed = 0;
      EXPECT_EQ(deck->tally, tally);
      EXPECT_EQ(deck->speed, speed);
      // A goto cues; standing keeps the cue; any motion ends it.
      EXPECT_EQ(deck->cued, code == 11 || (cued0 && speed == 0));
      // Recording needs forward play; 18 starts it, 19 ends it.
      EXPECT_EQ(deck->record, speed == 100 && code != 19 && (code == 18 || record0));

      if (tally == 0) {
        EXPECT_EQ(d(*deck, 1), deck->record ? 0x02 : 0x00);
        EXPECT_EQ(d(*deck, 2), deck->cued ? 0x01 : 0x00);
      } else {
        const StateBytes& s = kStates[tally - 1];
        EXPECT_EQ(d(*deck, 1), s.d1 | (deck->record ? 0x02 : 0));
        EXPECT_EQ(d(*deck, 2), s.d2 | (deck->cued ? 0x01 : 0));
      }
      EXPECT_EQ(d(*deck, 4), deck->record ? 0x10 : 0x00);
    }
  }
}

TEST(TckeyStateMachine, ReceivedTransportCommands) {
  auto deck = newDeck();
  deck->s9in2x(Bytes{0x20, 0x00});
  deck->s9in2x(Bytes{0x20, 0x65});
  EXPECT_TRUE(deck->record);
  EXPECT_EQ(d(*deck, 1), 0xA2);
  EXPECT_EQ(d(*deck, 4), 0x10);
  deck->cmdin(1);
  EXPECT_FALSE(deck->record);
  EXPECT_EQ(d(*deck, 1), 0xA0);

  const auto before = deck->statusarray;
  deck->s9in2x(Bytes{0x21, 0x21, 0x20});  // reverse needs data 40
  deck->s9in2x(Bytes{0x20, 0x02});        // not a command the deck knows
  EXPECT_EQ(deck->tally, 1);
  EXPECT_EQ(deck->statusarray, before);

  const std::pair<Bytes, int> moves[] = {{{0x20, 0x01}, 3}, {{0x21, 0x21, 0x40}, 4}, {{0x20, 0x10}, 5},
                                         {{0x20, 0x20}, 6}, {{0x20, 0x00}, 1}};
  for (const auto& [msg, tally] : moves) {
    deck->s9in2x(msg);
    EXPECT_EQ(deck->tally, tally);
  }

  deck->s9in2x(Bytes{0x24, 0x31, 0x05, 0x04, 0x03, 0x02});
  EXPECT_EQ(deck->tally, 1);
  EXPECT_TRUE(deck->cued);
  EXPECT_EQ(deck->frames, 2 * 90000 + 3 * 1500 + 4 * 25 + 5);
  EXPECT_EQ(deck->caption, "02:03:04:05");
  EXPECT_EQ(d(*deck, 2), 0x03);
}

TEST(TckeyStateMachine, ShortFramesReadMissingBytesAsZero) {
  auto deck = newDeck();
  deck->s9in2x(Bytes{0x24, 0x31, 0x07});  // goto with the time cut short
  EXPECT_EQ(deck->caption, "00:00:00:07");
  deck->s9in2x(Bytes{0x21, 0x21});
  EXPECT_EQ(deck->tally, 1);
  deck->parsepoztally(Bytes{});
  EXPECT_EQ(deck->frames, 0);
}

// ---- motion ----

TEST(TckeyMotion, WholeFramesPerTick) {
  auto deck = newDeck();
  deck->init();
  const int before = deck->redrawCount();
  deck->adjpoz();  // standing: no move, no drawing
  EXPECT_EQ(deck->frames, 0);
  EXPECT_EQ(deck->redrawCount(), before);

  deck->cmdin(3);
  for (int i = 0; i < 20; ++i) deck->adjpoz();
  EXPECT_EQ(deck->frames, 20);
  EXPECT_EQ(deck->caption, "00:00:00:20");
  EXPECT_EQ(deck->redrawCount(), before + 20);

  deck->cmdin(5);
  deck->adjpoz();
  EXPECT_EQ(deck->frames, 50);
  deck->cmdin(4);
  deck->adjpoz();
  EXPECT_EQ(deck->frames, 49);
}

TEST(TckeyMotion, RewindBelowZeroWrapsTheTextNotTheCount) {
  auto deck = newDeck();
  deck->init();
  deck->cmdin(6);
  deck->adjpoz();
  EXPECT_EQ(deck->frames, -30);
  EXPECT_EQ(deck->caption, "23:59:58:20");
}

TEST(TckeyMotion, RewindPastADayStillShowsAndReportsAValidTime) {
  auto deck = newDeck();
  deck->setframes(-2160000 + 10);
  deck->cmdin(6);
  deck->adjpoz();
  EXPECT_EQ(deck->frames, -2160020);  // the count is kept as it is
  EXPECT_EQ(deck->caption, "23:59:59:05");
  EXPECT_EQ(bytesOf(deck->buildpoztally(0x0C)), (Bytes{0x74, 0x04, 0x05, 0x59, 0x59, 0x23}));

  deck->setframes(-3.0 * 2160000 - 1);
  EXPECT_EQ(deck->caption, "23:59:59:24");
  EXPECT_EQ(bytesOf(deck->buildpoztally(0)), (Bytes{0x74, 0x04, 0x24, 0x59, 0x59, 0x23}));
}

TEST(TckeyMotion, InitAndStepping) {
  auto deck = newDeck();
  const int before = deck->redrawCount();
  deck->init();
  EXPECT_TRUE(deck->lit);
  EXPECT_EQ(deck->caption, "00:00:00:00");
  EXPECT_EQ(deck->redrawCount(), before);  // shown at the next paint
  deck->dec();
  EXPECT_EQ(deck->caption, "23:59:59:24");
  deck->inc();
  deck->inc();
  EXPECT_EQ(deck->caption, "00:00:00:01");
  deck->setstd(1);
  EXPECT_EQ(deck->frames, 1);
  deck->setpoz("00:00:00:45");
  EXPECT_EQ(deck->caption, "00:00:01:15");  // 30 frames/s now
}

// ---- time data ----

TEST(TckeyTimeData, ReceivedBytesAreTakenAsText) {
  auto deck = newDeck();
  deck->parsepoztally(Bytes{0x74, 0x04, 0x45, 0x00, 0x00, 0x00});
  EXPECT_EQ(deck->frames, 45);
  EXPECT_EQ(deck->caption, "00:00:01:20");
}

TEST(TckeyTimeData, ReplyIsTheShownTimeInBcd) {
  auto deck = newDeck();
  deck->setpoz("01:02:03:04");
  for (uint8_t x : {0x00, 0x0C, 0xFF})
    EXPECT_EQ(bytesOf(deck->buildpoztally(x)), (Bytes{0x74, 0x04, 0x04, 0x03, 0x02, 0x01}));
}

// ---- status data ----

TEST(TckeyStatusData, RepliesNameTheRequestedBytes) {
  auto deck = newDeck();
  Bytes fifteenZeros(15, 0);
  Bytes expected{0x7F, 0x20};
  expected.insert(expected.end(), fifteenZeros.begin(), fifteenZeros.end());
  EXPECT_EQ(bytesOf(deck->buildstatustally(0x0F)), expected);

  deck->cmdin(3);
  expected[3] = 0x81;
  expected[4] = 0x80;
  EXPECT_EQ(bytesOf(deck->buildstatustally(0x0F)), expected);

  const uint8_t preset[] = {0x01, 0x80};
  deck->rec2status(preset);
  const Bytes full = bytesOf(deck->buildstatustally(0x0F));
  EXPECT_EQ(full[2 + 5], 0x01);
  EXPECT_EQ(full[2 + 12], 0x80);

  EXPECT_EQ(bytesOf(deck->buildstatustally(0x10)), (Bytes{0x70, 0x20}));
  EXPECT_EQ(bytesOf(deck->buildstatustally(0x12)), (Bytes{0x72, 0x20, 0x81, 0x80}));
}

TEST(TckeyStatusData, RequestPastD15IsCutAtD15) {
  auto deck = newDeck();
  for (size_t i = 0; i < 16; ++i) deck->statusarray[i] = static_cast<uint8_t>(0xB0 + i);
  EXPECT_EQ(bytesOf(deck->buildstatustally(0xF1)), (Bytes{0x71, 0x20, 0xBF}));
  EXPECT_EQ(bytesOf(deck->buildstatustally(0xF5)), (Bytes{0x71, 0x20, 0xBF}));
  EXPECT_EQ(bytesOf(deck->buildstatustally(0x9F)), (Bytes{0x77, 0x20, 0xB9, 0xBA, 0xBB, 0xBC, 0xBD, 0xBE, 0xBF}));
  EXPECT_EQ(bytesOf(deck->buildstatustally(0xFF)).size(), 3u);
}

// A full status reply: CMD1 7F, CMD2 20, then D0..D14.
Bytes statusReply(std::initializer_list<std::pair<int, uint8_t>> set) {
  Bytes msg(17, 0);
  msg[0] = 0x7F;
  msg[1] = 0x20;
  for (auto [k, v] : set) msg[2 + static_cast<size_t>(k)] = v;
  return msg;
}

TEST(TckeyStatusData, ParseDerivesTransportRecordAndCue) {
  auto deck = newDeck();
  deck->statuschange = false;  // to see parsestatus set it
  deck->parsestatus(statusReply({{1, 0x81}}));
  EXPECT_TRUE(deck->statuschange);
  EXPECT_EQ(deck->tally, 3);
  EXPECT_FALSE(deck->record);
  EXPECT_FALSE(deck->cued);

  // The same reply again changes nothing, so nothing is derived again.
  deck->statuschange = false;
  deck->tally = 6;
  deck->parsestatus(statusReply({{1, 0x81}}));
  EXPECT_FALSE(deck->statuschange);
  EXPECT_EQ(deck->tally, 6);

  deck->parsestatus(statusReply({{1, 0x83}}));
  EXPECT_EQ(deck->tally, 3);
  EXPECT_TRUE(deck->record);
  deck->parsestatus(statusReply({{1, 0x20}, {4, 0x10}}));
  EXPECT_EQ(deck->tally, 1);
  EXPECT_TRUE(deck->record);
  deck->parsestatus(statusReply({{1, 0xA0}, {2, 0x03}}));
  EXPECT_EQ(deck->tally, 1);
  EXPECT_TRUE(deck->cued);
  EXPECT_FALSE(deck->record);

  for (uint8_t d1 : {0x80, 0x05, 0x10, 0x00}) {
    deck->parsestatus(statusReply({{0, 0x55}, {1, d1}}));  // D0 makes it a change
    deck->parsestatus(statusReply({{1, d1}}));
    EXPECT_EQ(deck->tally, 1) << "D1 " << int{d1};
  }
  deck->parsestatus(statusReply({{1, 0xC1}}));
  EXPECT_EQ(deck->tally, 3);
}

TEST(TckeyStatusData, ShorterReplyKeepsTheOtherBytes) {
  auto deck = newDeck();
  deck->parsestatus(statusReply({{1, 0x20}, {4, 0x10}}));
  deck->parsestatus(Bytes{0x72, 0x20, 0x00, 0x81});
  EXPECT_EQ(deck->tally, 3);
  EXPECT_TRUE(deck->record);
  EXPECT_EQ(d(*deck, 4), 0x10);
}

TEST(TckeyStatusData, ParseNeverWritesD15NorReadsPastTheFrame) {
  auto deck = newDeck();
  deck->statusarray[15] = 0xEE;
  Bytes full(17, 0x11);
  full[0] = 0x7F;
  deck->parsestatus(full);
  EXPECT_EQ(d(*deck, 14), 0x11);
  EXPECT_EQ(d(*deck, 15), 0xEE);

  // A frame that claims 15 data bytes but carries one: the rest read as 0
  // (a heap buffer of exact size, so a read past it shows under ASan).
  auto shortFrame = std::make_unique<uint8_t[]>(3);
  shortFrame[0] = 0x7F;
  shortFrame[1] = 0x20;
  shortFrame[2] = 0x11;
  deck->parsestatus(std::span<const uint8_t>(shortFrame.get(), 3));
  EXPECT_EQ(d(*deck, 0), 0x11);
  EXPECT_EQ(d(*deck, 1), 0x00);
  EXPECT_EQ(d(*deck, 14), 0x00);
  EXPECT_EQ(d(*deck, 15), 0xEE);
  deck->parsestatus({});
}

// A device-side deck's reply read by a controller-side deck.
TEST(TckeyStatusData, RoundTripBetweenDeviceAndController) {
  auto device = newDeck();
  auto controller = newDeck();
  auto carry = [&] { controller->parsestatus(bytesOf(device->buildstatustally(0x0F))); };

  for (int code : {1, 3, 5, 6, 1}) {
    device->cmdin(code);
    carry();
    EXPECT_EQ(controller->tally, code);
    EXPECT_FALSE(controller->record);
    EXPECT_FALSE(controller->cued);
  }
  device->cmdin(3);
  device->cmdin(18);
  carry();
  EXPECT_EQ(controller->tally, 3);
  EXPECT_TRUE(controller->record);

  device->cmdin(11);
  carry();
  EXPECT_EQ(controller->tally, 1);
  EXPECT_FALSE(controller->record);
  EXPECT_TRUE(controller->cued);

  // Still and reverse are not told by status data: the tally stays.
  device->cmdin(2);
  carry();
  EXPECT_EQ(controller->tally, 1);
  device->cmdin(4);
  carry();
  EXPECT_EQ(controller->tally, 1);
  EXPECT_FALSE(controller->cued);
  EXPECT_EQ(controller->statusarray, device->statusarray);
}

}  // namespace
