// The timecode keypad, worked with real keystrokes and presses inside its modal showing.
#include "controls/keybd.h"

#include <gtest/gtest.h>

#include <QTest>

#include "tests/support/pty.h"

namespace vxtest {
namespace {

class KeybdTest : public ::testing::Test {
 protected:
  void TearDown() override { fw::DestroySingleWindows(); }
  // One showing; body works the keypad and must end the showing.
  static keybd& show(const std::function<void(keybd&)>& body) {
    fw::testing::SetModalHook([&](fw::Window& w) { body(static_cast<keybd&>(w)); });
    keybd::instance().ShowModal();
    fw::testing::SetModalHook(nullptr);
    return keybd::instance();
  }
  static void type(keybd& pad, std::string_view keys) {
    for (char c : keys) QTest::keyClick(pad.poz, c);
  }
  static void key(keybd& pad, Qt::Key k) { QTest::keyClick(pad.poz, k); }
};

// OK ends one showing confirmed; the next starts unconfirmed from the text left, and a
// close from the window system ends it as Abort, the keypad only hidden.
TEST_F(KeybdTest, EachShowingStartsUnconfirmedAtTheMinutesOfTheTextLeftBefore) {
  keybd& pad = show([](keybd& p) {
    EXPECT_EQ(p.poz->kursor, 3);
    type(p, "15");
    EXPECT_EQ(p.poz->caption, "00:15:00:00");
    EXPECT_EQ(p.poz->kursor, 6);
    Click(p.kok);
  });
  EXPECT_TRUE(pad.kvalid && !pad.isVisible());
  show([](keybd& p) {
    EXPECT_EQ(p.poz->caption, "00:15:00:00");
    EXPECT_EQ(p.cursor, 3);
    EXPECT_FALSE(p.kvalid);
    p.kvalid = true;
    p.close();
  });
  EXPECT_FALSE(pad.kvalid || pad.isVisible() || pad.IsClosed());
  show([](keybd& p) { key(p, Qt::Key_Enter); });
  EXPECT_TRUE(pad.kvalid);
  show([](keybd& p) { Click(p.kabort); });
  EXPECT_FALSE(pad.kvalid);
}

TEST_F(KeybdTest, CursorEndsOtherKeysResetAndFrameStepsAcrossMidnight) {
  show([](keybd& p) {
    type(p, "aZ :");
    for (Qt::Key k : {Qt::Key_Tab, Qt::Key_Backspace, Qt::Key_Shift}) key(p, k);
    EXPECT_EQ(p.poz->caption, "00:00:00:00");
    EXPECT_EQ(p.focusWidget(), p.poz);
    key(p, Qt::Key_Left);
    EXPECT_EQ(p.cursor, 1);
    Click(p.BevelButton7);  // ">"
    EXPECT_EQ(p.cursor, 3);
    for (int i = 0; i < 4; ++i) Click(p.BevelButton6);  // "<"
    EXPECT_EQ(p.cursor, 0);
    for (int i = 0; i < 12; ++i) key(p, Qt::Key_Right);
    EXPECT_EQ(p.cursor, 10);
    Click(p.numk[7]);
    type(p, "8");
    EXPECT_EQ(p.poz->caption, "00:00:00:08");  // at the end each digit replaces the last
    Click(p.BevelButton4);  // Reset
    EXPECT_EQ(p.poz->caption, "00:00:00:00");
    EXPECT_EQ(p.poz->kursor, 0);
    key(p, Qt::Key_Down);
    EXPECT_EQ(p.poz->caption, "23:59:59:24");
    Click(p.incpoz);
    EXPECT_EQ(p.poz->caption, "00:00:00:00");
    key(p, Qt::Key_Up);
    Click(p.decpoz);
    Click(p.decpoz);
    EXPECT_EQ(p.poz->caption, "23:59:59:24");
    EXPECT_EQ(p.cursor, 0);
    Click(p.kok);
  });
}

}  // namespace
}  // namespace vxtest
