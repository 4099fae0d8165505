// The transport keys, driven by real presses; Goto through the keypad answered inside its modal showing.
#include "controls/transportpanel.h"

#include <gtest/gtest.h>

#include <QTest>
#include <algorithm>
#include <tuple>

#include "controls/keybd.h"
#include "tests/controls/key_pixels.h"
#include "tests/support/pty.h"

namespace vxtest {
namespace {

enum Key { kGoto = 2, kOff = 3, kOn = 4, kRewind = 5, kReverse = 6, kStop = 7, kPlay = 8, kFast = 9 };

class TransportPanelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    panel->SetBounds(0, 0, 238, 43);
    host.show();
    fw::OpenControls(&host);
  }
  void TearDown() override {
    fw::testing::SetModalHook(nullptr);
    fw::DestroySingleWindows();
  }
  void press(int i) { Click(panel->tkey1[i]); }
  std::string build() { return Hex(panel->buildcmd()); }
  std::vector<int> lit() const {
    std::vector<int> keys;
    for (int i = 0; i < 10; ++i)
      if (panel->tkey1[i]->lit) keys.push_back(i);
    return keys;
  }
  // The next keypad showing gets the digits typed, then OK or Esc.
  static void answerKeypad(const std::string& digits, bool confirm) {
    fw::testing::SetModalHook([digits, confirm](fw::Window& w) {
      auto& pad = static_cast<keybd&>(w);
      for (char c : digits) QTest::keyClick(pad.poz, c);
      QTest::keyClick(pad.poz, confirm ? Qt::Key_Return : Qt::Key_Escape);
    });
  }
  QWidget host;
  transportpanel* panel = new transportpanel(&host);
};

TEST_F(TransportPanelTest, LayoutsOfBothSizes) {
  transportpanel other(&host);
  other.SetBounds(0, 50, 245, 32);
  other.Event_Open();
  for (auto [p, w, h, size, lift] : {std::tuple{panel, 44, 19, 10, -2}, {&other, 45, 14, 8, -1}})
    for (int i = 0; i < 10; ++i) {
      EXPECT_EQ(p->tkey1[i]->geometry(), QRect(i % 5 * (w + 4), i / 5 * (h + 4), w, h)) << i;
      p->tkey1[i]->redraw();
      EXPECT_EQ(std::pair(p->tkey1[i]->textsize, p->tkey1[i]->deltay), std::pair(size, lift));
      EXPECT_EQ(p->tkey1[i]->Visible(), i >= 2);
      EXPECT_EQ(p->tkey1[i]->caption,
                (std::array<const char*, 10>{"Caption", "Caption", "Goto", "Off", "On", "<<", "<", "[]", ">", ">>"}[i]));
    }
  EXPECT_EQ(lit(), std::vector<int>{kOff});
}

TEST_F(TransportPanelTest, EveryKeyPressedInTurn) {
  const std::tuple<int, const char*, std::vector<int>> presses[] = {
      {kRewind, "20 20 40", {kOff, kRewind}}, {kReverse, "21 21 40 82", {kOff, kReverse}},
      {kStop, "20 00 20", {kOff, kStop}},     {kOn, "20 65 85", {kOff, kStop}},  // not playing: no record
      {kPlay, "20 01 21", {kOff, kPlay}},     {kOn, "20 65 85", {kOn, kPlay}},
      {kOff, "20 64 84", {kOff, kPlay}},      {kFast, "20 10 30", {kOff, kFast}},
      {kGoto, "24 31 00 10 00 00 65", {kOff, kFast}}};
  for (const auto& [key, command, lamps] : presses) {
    if (key == kGoto) answerKeypad("001000", true);
    press(key);
    EXPECT_EQ(lit(), lamps) << command;
    EXPECT_TRUE(panel->newcmd);
    EXPECT_EQ(build(), command);
    EXPECT_FALSE(panel->newcmd);
  }
  EXPECT_EQ(panel->lastlocate, "00:00:10:00");
  press(kPlay);
  press(kOn);  // lit red with a white caption
  EXPECT_EQ(body(panel->tkey1[kOn]), 0xFF0000u);
  EXPECT_GT(ink(panel->tkey1[kOn], 0xFFFFFF), 5);
  answerKeypad("1234", false);  // an aborted Goto changes nothing: the On press stays pending
  press(kGoto);
  EXPECT_EQ(std::pair(panel->lastlocate, lit()), std::pair(std::string("00:00:10:00"), std::vector<int>{kOn, kPlay}));
  EXPECT_EQ(build(), "20 65 85");
  answerKeypad("", true);  // confirmed from the text the aborted showing left: recording ends, play stays lit
  press(kGoto);
  EXPECT_EQ(std::pair(panel->record, lit()), std::pair(false, std::vector<int>{kOff, kPlay}));
  EXPECT_EQ(build(), "24 31 00 34 12 00 9B");
}

// The lamps for each state handed in, recording or not: one transport key at most, Goto never
// (with no state the two hidden keys, which carry no code, light).
TEST_F(TransportPanelTest, LampsForEveryStateHandedIn) {
  const std::pair<int, std::vector<int>> lamps[] = {{1, {kStop}}, {2, {}}, {3, {kPlay}}, {4, {kReverse}}, {5, {kFast}},
                                                    {6, {kRewind}}, {11, {}}, {18, {}}, {19, {}}, {0, {0, 1}}};
  for (bool record : {true, false})
    for (auto [tally, keys] : lamps) {
      panel->settally(tally), panel->setrecord(record);
      keys.push_back(record ? kOn : kOff), std::ranges::sort(keys);
      EXPECT_EQ(lit(), keys) << tally << record;
    }
}

}  // namespace
}  // namespace vxtest
