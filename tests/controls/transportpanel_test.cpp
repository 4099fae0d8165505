// The transport keys, driven by real presses; Goto through the keypad answered inside its modal showing.
#include "controls/transportpanel.h"

#include <gtest/gtest.h>

#include <QTest>
#include <tuple>

#include "controls/keybd.h"
#include "tests/support/pty.h"

namespace vxtest {
namespace {

enum Key { kGoto = 2, kOff = 3, kOn = 4, kRewind = 5, kReverse = 6, kStop = 7, kPlay = 8 };

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
  for (auto [p, w, h] : {std::tuple{panel, 44, 19}, {&other, 45, 14}})
    for (int i = 0; i < 10; ++i) {
      EXPECT_EQ(p->tkey1[i]->geometry(), QRect(i % 5 * (w + 4), i / 5 * (h + 4), w, h)) << i;
      EXPECT_EQ(p->tkey1[i]->Visible(), i >= 2);
    }
  EXPECT_EQ(lit(), std::vector<int>{kOff});
}

TEST_F(TransportPanelTest, PressesLightKeysAndBuildCommands) {
  press(kOn);  // not playing: the command goes out, nothing records
  EXPECT_FALSE(panel->record);
  EXPECT_EQ(build(), "20 65 85");
  press(kPlay);
  EXPECT_EQ(build(), "20 01 21");
  EXPECT_FALSE(panel->newcmd);
  press(kOn);
  EXPECT_TRUE(panel->record);
  EXPECT_EQ(lit(), (std::vector<int>{kOn, kPlay}));
  press(kStop);
  press(kRewind);  // replaces the uncollected stop
  EXPECT_EQ(lit(), (std::vector<int>{kOff, kRewind}));
  EXPECT_EQ(build(), "20 20 40");
  press(kReverse);
  EXPECT_EQ(build(), "21 21 40 82");
}

TEST_F(TransportPanelTest, GotoTakesTheKeypadTextOnlyWhenConfirmed) {
  press(kStop);
  answerKeypad("1234", false);
  press(kGoto);
  EXPECT_EQ(panel->lastlocate, "00:00:00:00");
  EXPECT_EQ(build(), "20 00 20");  // the earlier press is still pending
  answerKeypad("001000", true);
  press(kGoto);
  EXPECT_EQ(panel->lastlocate, "00:00:10:00");
  EXPECT_EQ(lit(), (std::vector<int>{kOff, kStop}));
  EXPECT_EQ(build(), "24 31 00 10 00 00 65");
}

}  // namespace
}  // namespace vxtest
