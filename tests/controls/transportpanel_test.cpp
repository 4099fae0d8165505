// The transport keys, driven by real mouse presses on the drawn keys; the
// Goto key through the keypad answered inside its modal showing.
#include "controls/transportpanel.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <cstdlib>
#include <memory>

#include "controls/keybd.h"
#include "controls/recpanel.h"
#include "controls/tckey.h"
#include "framework/window.h"
#include "settings/config.h"
#include "tests/support/pty.h"

namespace {

// Index of each key after the panel opens.
enum Key { kGoto = 2, kOff = 3, kOn = 4, kRewind = 5, kReverse = 6, kStop = 7, kPlay = 8, kFwd = 9 };

class TransportPanelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fw::DestroySingleWindows();
    config::reset();
    host = std::make_unique<QWidget>();
    host->resize(300, 100);
    panel = new transportpanel(host.get());
    panel->SetBounds(0, 0, 238, 43);
    host->show();
    fw::OpenControls(host.get());  // keys first, then the panel's own Open
  }
  void TearDown() override {
    fw::testing::SetModalHook(nullptr);
    host.reset();
    fw::DestroySingleWindows();
  }
  void press(int i) { QTest::mouseClick(panel->tkey1[i], Qt::LeftButton, {}, QPoint(5, 5)); }
  std::string build() { return vxtest::Hex(panel->buildcmd()); }
  std::vector<int> litKeys() const {
    std::vector<int> lit;
    for (int i = 0; i < 10; ++i)
      if (panel->tkey1[i]->lit) lit.push_back(i);
    return lit;
  }
  // Answers the next keypad showing: types the digits, then OK or Esc.
  static void answerKeypad(const std::string& digits, bool confirm) {
    fw::testing::SetModalHook([digits, confirm](fw::Window& w) {
      auto& pad = static_cast<keybd&>(w);
      for (char c : digits) QTest::keyClick(pad.poz, c);
      if (confirm)
        QTest::mouseClick(pad.kok, Qt::LeftButton, {}, QPoint(5, 5));
      else
        QTest::keyClick(pad.poz, Qt::Key_Escape);
    });
  }

  std::unique_ptr<QWidget> host;
  transportpanel* panel = nullptr;
};

void expectLayout(transportpanel& p, int w, int h, int textsize) {
  for (int i = 0; i < 10; ++i) {
    SCOPED_TRACE(i);
    cbkey* k = p.tkey1[i];
    EXPECT_EQ(k->Width(), w);
    EXPECT_EQ(k->Height(), h);
    EXPECT_EQ(k->Left(), (i % 5) * (w + 4));
    EXPECT_EQ(k->Top(), (i / 5) * (h + 4));
    EXPECT_EQ(k->textsize, textsize);
    EXPECT_EQ(k->Visible(), i >= 2);
  }
}

TEST_F(TransportPanelTest, OpensWithKeysInTwoRowsNamedByTheirCodes) {
  expectLayout(*panel, 44, 19, 10);
  const char* captions[] = {"<<", "<", "[]", ">", ">>"};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(panel->tkey1[5 + i]->caption, captions[i]);
  EXPECT_EQ(panel->tkey1[kGoto]->caption, "Goto");
  EXPECT_EQ(panel->tkey1[kOff]->caption, "Off");
  EXPECT_EQ(panel->tkey1[kOn]->caption, "On");
  EXPECT_EQ(panel->tkey1[kOn]->litcolor, 0xFF0000u);
  EXPECT_EQ(litKeys(), std::vector<int>{kOff});

  transportpanel other(host.get());
  other.SetBounds(0, 50, 245, 32);
  other.Event_Open();
  expectLayout(other, 45, 14, 8);
}

TEST_F(TransportPanelTest, PlayLightsAndBuildsPlay) {
  press(kPlay);
  EXPECT_EQ(litKeys(), (std::vector<int>{kOff, kPlay}));
  EXPECT_EQ(panel->tcmd, tally::kPlay);
  EXPECT_FALSE(panel->record);
  EXPECT_TRUE(panel->newcmd);
  EXPECT_EQ(build(), "20 01 21");
  EXPECT_FALSE(panel->newcmd);
}

TEST_F(TransportPanelTest, RecordOnlyFromOnWhilePlaying) {
  press(kOn);  // play lamp not lit: no record, lamps unchanged
  EXPECT_FALSE(panel->record);
  EXPECT_EQ(litKeys(), std::vector<int>{kOff});
  EXPECT_EQ(build(), "20 65 85");

  press(kPlay);
  press(kOn);
  EXPECT_TRUE(panel->record);
  EXPECT_EQ(litKeys(), (std::vector<int>{kOn, kPlay}));
  EXPECT_EQ(build(), "20 65 85");

  press(kOff);
  EXPECT_FALSE(panel->record);
  EXPECT_EQ(build(), "20 64 84");
}

TEST_F(TransportPanelTest, LaterPressOverwritesUncollectedOne) {
  press(kStop);
  press(kRewind);
  EXPECT_EQ(litKeys(), (std::vector<int>{kOff, kRewind}));
  EXPECT_EQ(build(), "20 20 40");
  EXPECT_FALSE(panel->newcmd);
}

TEST_F(TransportPanelTest, EveryCodeHasItsMessage) {
  press(kReverse);
  EXPECT_EQ(build(), "21 21 40 82");
  press(kFwd);
  EXPECT_EQ(build(), "20 10 30");
  panel->tcmd = tally::kStill;  // no message: empty, still collected
  panel->newcmd = true;
  EXPECT_EQ(build(), "");
  EXPECT_FALSE(panel->newcmd);
}

TEST_F(TransportPanelTest, LampsFollowSettersAndRedrawOnlyOnChange) {
  panel->settally(tally::kPlay);
  EXPECT_EQ(litKeys(), (std::vector<int>{kOff, kPlay}));
  panel->settally(tally::kStill);  // no key for still: every transport lamp off
  EXPECT_EQ(litKeys(), std::vector<int>{kOff});
  panel->setrecord(true);
  EXPECT_EQ(litKeys(), std::vector<int>{kOn});

  std::vector<int> before;
  for (cbkey* k : panel->tkey1) before.push_back(k->redrawCount());
  panel->settally(tally::kStill);
  panel->setrecord(true);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(panel->tkey1[i]->redrawCount(), before[i]) << i;
}

TEST_F(TransportPanelTest, GotoConfirmedOnKeypadCues) {
  press(kPlay);
  panel->buildcmd();
  answerKeypad("001000", true);
  press(kGoto);
  EXPECT_EQ(panel->lastlocate, "00:00:10:00");
  EXPECT_EQ(panel->tcmd, tally::kGoto);
  EXPECT_TRUE(panel->newcmd);
  EXPECT_FALSE(panel->record);
  EXPECT_EQ(litKeys(), (std::vector<int>{kOff, kPlay}));  // Goto never lights
  EXPECT_FALSE(keybd::instance().isVisible());
  EXPECT_EQ(build(), "24 31 00 10 00 00 65");
}

TEST_F(TransportPanelTest, GotoAbortedChangesNothing) {
  press(kStop);
  answerKeypad("1234", false);
  press(kGoto);
  EXPECT_EQ(panel->lastlocate, "00:00:00:00");
  EXPECT_EQ(panel->tcmd, tally::kStop);
  EXPECT_TRUE(panel->newcmd);  // the earlier press is still pending
  EXPECT_EQ(litKeys(), (std::vector<int>{kOff, kStop}));
  EXPECT_EQ(build(), "20 00 20");
}

// Pictures of both panels and of the keypad at the sizes the main window
// gives them, for looking at; written only when VX_SCREENSHOT_DIR is set.
TEST(PanelScreenshots, SavedWhenAsked) {
  const char* dir = std::getenv("VX_SCREENSHOT_DIR");
  if (!dir) GTEST_SKIP() << "VX_SCREENSHOT_DIR not set";
  fw::DestroySingleWindows();
  config::reset();
  QWidget host;
  host.resize(527, 256);
  auto* rec1 = new recpanel(&host);
  rec1->SetBounds(11, 76, 246, 115);
  auto* rec2 = new recpanel(&host);
  rec2->SetBounds(270, 75, 246, 115);
  rec2->showarec = false;
  auto* tp1 = new transportpanel(&host);
  tp1->SetBounds(11, 203, 238, 43);
  auto* tp2 = new transportpanel(&host);
  tp2->SetBounds(271, 203, 245, 32);
  host.show();
  fw::OpenControls(&host);
  rec1->alignsize();
  rec2->alignsize();
  QTest::mouseClick(rec1->areck[0], Qt::LeftButton);
  QTest::mouseClick(rec1->cbk[4], Qt::LeftButton);
  QTest::mouseClick(rec2->cbk[23], Qt::LeftButton);
  QTest::mouseClick(tp1->tkey1[kPlay], Qt::LeftButton);
  QTest::mouseClick(tp1->tkey1[kOn], Qt::LeftButton);
  QTest::mouseClick(tp2->tkey1[kRewind], Qt::LeftButton);
  QApplication::processEvents();
  EXPECT_TRUE(host.grab().save(QString(dir) + "/panels.png"));

  fw::testing::SetModalHook([dir](fw::Window& w) {
    auto& pad = static_cast<keybd&>(w);
    QTest::keyClick(pad.poz, '1');
    QTest::keyClick(pad.poz, '5');
    QApplication::processEvents();
    EXPECT_TRUE(pad.grab().save(QString(dir) + "/keypad.png"));
    pad.Hide();
  });
  keybd::instance().ShowModal();
  fw::testing::SetModalHook(nullptr);
  fw::DestroySingleWindows();
}

}  // namespace
