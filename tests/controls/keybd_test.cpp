// The timecode keypad, worked with real keystrokes and presses inside its modal showing.
#include "controls/keybd.h"

#include <gtest/gtest.h>

#include <QTest>
#include <tuple>

#include "tests/controls/key_pixels.h"
#include "tests/support/pty.h"

namespace vxtest {
namespace {

class KeybdTest : public ::testing::Test {
 protected:
  void TearDown() override { fw::DestroySingleWindows(); }
  // One showing; body works the keypad and must end the showing.
  static keybd& show(const std::function<void(keybd&)>& body) {
    fw::testing::SetModalHook([&](fw::Window& w) {
      body(static_cast<keybd&>(w));
      if (w.isVisible()) ADD_FAILURE() << "the showing goes on", w.Hide();  // fail, not hang
    });
    keybd::instance().ShowModal();
    fw::testing::SetModalHook(nullptr);
    return keybd::instance();
  }
  static void type(keybd& pad, std::string_view keys) { QTest::keyClicks(pad.poz, QString::fromLatin1(keys)); }
  static void key(keybd& pad, Qt::Key k) { QTest::keyClick(pad.poz, k); }
};

// OK ends one showing confirmed; the next starts unconfirmed from the text left, and a
// close from the window system ends it as Abort, the keypad only hidden.
TEST_F(KeybdTest, EachShowingStartsUnconfirmedAtTheMinutesOfTheTextLeftBefore) {
  keybd& pad = show([](keybd& p) {
    EXPECT_EQ(p.poz->kursor, 3);
    type(p, "15");
    EXPECT_EQ(std::pair(p.poz->caption, p.poz->kursor), std::pair(std::string("00:15:00:00"), 6));
    Click(p.kok);
  });
  EXPECT_TRUE(pad.kvalid && !pad.isVisible());
  show([](keybd& p) {
    EXPECT_EQ(std::tuple(p.poz->caption, p.cursor, p.kvalid), std::tuple("00:15:00:00", 3, false));
    p.kvalid = true;
    p.close();
  });
  EXPECT_FALSE(pad.kvalid || pad.isVisible() || pad.IsClosed());
  EXPECT_TRUE(show([](keybd& p) { key(p, Qt::Key_Enter); }).kvalid);
  EXPECT_FALSE(show([](keybd& p) { Click(p.kabort); }).kvalid);
}

// The text field white and never lit, its cursor block in the layout's green; Abort lit red with a
// white caption, OK lit green with a black one, both captions at size 12.
TEST_F(KeybdTest, KeyColours) {
  const keybd& p = show([](keybd& pad) { Click(pad.kok); });
  EXPECT_EQ(std::tuple(p.poz->lit, body(p.poz), px(p.poz, 35, 2)), std::tuple(false, 0xFFFFFFu, 0x80FF80u));
  EXPECT_EQ(std::pair(body(p.kabort), ink(p.kabort, 0xFFFFFF) > 5), std::pair(0xFF0000u, true));
  EXPECT_EQ(std::pair(body(p.kok), ink(p.kok, 0x000000) > 5), std::pair(0x80FF80u, true));
  EXPECT_EQ(std::pair(p.kabort->textsize, p.kok->textsize), std::pair(12, 12));
}

// From 00:00:00:00 with the cursor on 3, each step, the caption and the cursor after it.
TEST_F(KeybdTest, CursorEndsOtherKeysResetAndFrameStepsAcrossMidnight) {
  const std::tuple<std::function<void(keybd&)>, const char*, int> steps[] = {
      {[](keybd& p) { type(p, "aZ :"), key(p, Qt::Key_Tab), key(p, Qt::Key_Backspace), key(p, Qt::Key_Shift); },
       "00:00:00:00", 3},
      {[](keybd& p) { key(p, Qt::Key_Left); }, "00:00:00:00", 1},
      {[](keybd& p) { Click(p.BevelButton7); }, "00:00:00:00", 3},  // ">"
      {[](keybd& p) { for (int i = 0; i < 4; ++i) Click(p.BevelButton6); }, "00:00:00:00", 0},  // "<"
      {[](keybd& p) { for (int i = 0; i < 12; ++i) key(p, Qt::Key_Right); }, "00:00:00:00", 10},
      {[](keybd& p) { Click(p.numk[7]), type(p, "8"); }, "00:00:00:08", 10},  // each digit replaces the last
      {[](keybd& p) { Click(p.BevelButton4); }, "00:00:00:00", 0},              // Reset
      {[](keybd& p) { key(p, Qt::Key_Down); }, "23:59:59:24", 0},
      {[](keybd& p) { Click(p.incpoz); }, "00:00:00:00", 0},
      {[](keybd& p) { key(p, Qt::Key_Up), Click(p.decpoz), Click(p.decpoz); }, "23:59:59:24", 0}};
  show([&](keybd& p) {
    for (const auto& [step, caption, cursor] : steps) {
      step(p);
      EXPECT_EQ(std::tuple(p.poz->caption, p.cursor, p.poz->kursor), std::tuple(caption, cursor, cursor)) << caption;
    }
    EXPECT_EQ(p.focusWidget(), p.poz);
    Click(p.kok);
  });
}

}  // namespace
}  // namespace vxtest
