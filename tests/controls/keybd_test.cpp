// The timecode keypad, shown modally and worked with real keystrokes and
// mouse presses from inside its showing.
#include "controls/keybd.h"

#include <gtest/gtest.h>

#include <QTest>
#include <functional>

#include "settings/config.h"

namespace {

class KeybdTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fw::DestroySingleWindows();
    config::reset();
  }
  void TearDown() override {
    fw::testing::SetModalHook(nullptr);
    fw::DestroySingleWindows();
  }
  // One modal showing of the keypad; body works it and must end it.
  static keybd& show(const std::function<void(keybd&)>& body) {
    bool ran = false;
    fw::testing::SetModalHook([&](fw::Window& w) {
      ran = true;
      auto& pad = static_cast<keybd&>(w);
      body(pad);
      if (pad.isVisible()) {
        ADD_FAILURE() << "showing not ended";
        pad.Hide();
      }
    });
    keybd& pad = keybd::instance();
    pad.ShowModal();
    fw::testing::SetModalHook(nullptr);
    EXPECT_TRUE(ran);
    return pad;
  }
  static void type(keybd& pad, const char* keys) {
    for (const char* c = keys; *c; ++c) QTest::keyClick(pad.poz, *c);
  }
  static void key(keybd& pad, Qt::Key k) { QTest::keyClick(pad.poz, k); }
  static void click(QWidget* w) { QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(5, 5)); }
};

TEST_F(KeybdTest, IsAFixedWindowWithoutFrameButtons) {
  keybd& pad = keybd::instance();
  EXPECT_EQ(&pad, &keybd::instance());
  EXPECT_EQ(pad.Title(), "Keyboard");
  EXPECT_EQ(pad.Width(), 182);
  EXPECT_EQ(pad.Height(), 257);
  EXPECT_FALSE(pad.windowFlags() & Qt::WindowCloseButtonHint);
  EXPECT_FALSE(pad.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
  EXPECT_FALSE(pad.isVisible());  // shown only by ShowModal
  EXPECT_EQ(pad.numk[5]->Caption(), "5");
  EXPECT_EQ(pad.numk[5]->geometry(), QRect(68, 134, 45, 30));
  EXPECT_EQ(pad.numk[0]->geometry(), QRect(67, 217, 45, 30));
  EXPECT_TRUE(pad.kok->lit && pad.kabort->lit);
  EXPECT_EQ(pad.kabort->litcolor, 0xFF0000u);
  EXPECT_EQ(pad.kok->textsize, 12);
  EXPECT_FALSE(pad.poz->lit);
  EXPECT_TRUE(pad.poz->highlight);
}

TEST_F(KeybdTest, FirstShowingEditsFromTheMinutes) {
  keybd& pad = show([](keybd& p) {
    EXPECT_EQ(p.poz->caption, "00:00:00:00");
    EXPECT_EQ(p.poz->kursor, 3);
    EXPECT_FALSE(p.kvalid);
    EXPECT_EQ(p.focusWidget(), p.poz);
    type(p, "15");
    EXPECT_EQ(p.poz->caption, "00:15:00:00");
    EXPECT_EQ(p.cursor, 6);
    EXPECT_EQ(p.poz->kursor, 6);
    key(p, Qt::Key_Return);
  });
  EXPECT_TRUE(pad.kvalid);
  EXPECT_FALSE(pad.isVisible());
  EXPECT_EQ(pad.poz->caption, "00:15:00:00");
}

TEST_F(KeybdTest, CursorSkipsColonsAndStopsAtBothEnds) {
  show([](keybd& p) {
    key(p, Qt::Key_Left);
    EXPECT_EQ(p.cursor, 1);
    click(p.BevelButton7);  // ">"
    EXPECT_EQ(p.cursor, 3);
    click(p.BevelButton6);  // "<"
    key(p, Qt::Key_Left);
    key(p, Qt::Key_Left);
    EXPECT_EQ(p.cursor, 0);
    for (int i = 0; i < 12; ++i) key(p, Qt::Key_Right);
    EXPECT_EQ(p.cursor, 10);
    click(p.BevelButton7);
    EXPECT_EQ(p.cursor, 10);
    click(p.numk[7]);
    type(p, "8");
    EXPECT_EQ(p.poz->caption, "00:00:00:08");  // each digit replaces the last
    EXPECT_EQ(p.poz->kursor, 10);
    click(p.kok);
  });
}

TEST_F(KeybdTest, ResetStartsOverAtTheFirstCharacter) {
  show([](keybd& p) {
    type(p, "4242");
    click(p.BevelButton4);
    EXPECT_EQ(p.poz->caption, "00:00:00:00");
    EXPECT_EQ(p.poz->kursor, 0);
    click(p.numk[2]);
    EXPECT_EQ(p.poz->caption, "20:00:00:00");
    click(p.kok);
  });
}

TEST_F(KeybdTest, FrameStepsWrapAtMidnightAndLeaveTheCursor) {
  show([](keybd& p) {
    click(p.BevelButton4);
    type(p, "23595924");
    ASSERT_EQ(p.poz->caption, "23:59:59:24");
    const int cursor = p.cursor;
    key(p, Qt::Key_Up);
    EXPECT_EQ(p.poz->caption, "00:00:00:00");
    key(p, Qt::Key_Down);
    EXPECT_EQ(p.poz->caption, "23:59:59:24");
    click(p.incpoz);
    EXPECT_EQ(p.poz->caption, "00:00:00:00");
    click(p.decpoz);
    EXPECT_EQ(p.poz->caption, "23:59:59:24");
    EXPECT_EQ(p.cursor, cursor);
    click(p.kok);
  });
}

TEST_F(KeybdTest, AbandonedTextIsWhereTheNextShowingStarts) {
  keybd& pad = show([](keybd& p) {
    type(p, "12");
    key(p, Qt::Key_Escape);
  });
  EXPECT_FALSE(pad.kvalid);
  show([](keybd& p) {
    EXPECT_EQ(p.poz->caption, "00:12:00:00");
    EXPECT_EQ(p.cursor, 3);
    EXPECT_FALSE(p.kvalid);
    type(p, "3");
    click(p.kabort);
  });
  EXPECT_FALSE(pad.kvalid);
  EXPECT_EQ(pad.poz->caption, "00:32:00:00");
}

TEST_F(KeybdTest, KeysOutsideTheTableChangeNothing) {
  show([](keybd& p) {
    type(p, "aZ :");
    key(p, Qt::Key_Tab);
    key(p, Qt::Key_Backspace);
    key(p, Qt::Key_Delete);
    QTest::keyClick(p.numk[1], Qt::Key_A);  // a button forwards keys the same way
    EXPECT_EQ(p.poz->caption, "00:00:00:00");
    EXPECT_EQ(p.cursor, 3);
    EXPECT_TRUE(p.isVisible());
    EXPECT_EQ(p.focusWidget(), p.poz);
    QTest::keyClick(p.numk[1], Qt::Key_Return);
  });
}

TEST_F(KeybdTest, PositionReadAtOpenAndStoredAtClose) {
  config::putconfig("Keyboard_left", 123);
  config::putconfig("Keyboard_top", 45);
  keybd& pad = keybd::instance();
  EXPECT_EQ(pad.Left(), 123);
  EXPECT_EQ(pad.Top(), 45);
  pad.SetLeft(-20);
  pad.Close();
  EXPECT_EQ(config::getstring("Keyboard_left"), "-20");
  EXPECT_EQ(config::getint("Keyboard_top"), 45);
}

TEST_F(KeybdTest, DigitOnAShortCaptionStaysInBounds) {
  keybd& pad = keybd::instance();
  pad.poz->caption = "12";
  pad.cursor = 6;
  pad.addkey("5");
  EXPECT_EQ(pad.poz->caption, "125");
  pad.poz->caption = "12:3";
  pad.cursor = 3;
  pad.addkey("7");
  EXPECT_EQ(pad.poz->caption, "12:7");
}

}  // namespace
