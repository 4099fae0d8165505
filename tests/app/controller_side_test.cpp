// The controller side as an external deck sees it: what the ticks send on
// the controller port, and what the deck's replies do.
#include <gtest/gtest.h>

#include <QtTest/QTest>
#include <string>

#include "framework/dialogs.h"
#include "tests/app/main_fixture.h"

namespace vxtest {
namespace {

class ControllerSideTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    pty = &AddPort("ttyCTL");
    m = &OpenMain();
    ASSERT_TRUE(m->opencontrollerport(0));
  }

  // One tick; returns what it sent (hex), expecting n bytes (0: nothing).
  std::string Tick(size_t n) {
    m->Timer1_Action();
    return Hex(n == 0 ? pty->ReadAvailable() : pty->ReadExactly(n));
  }
  // The deck's reply (good frames), taken in before the next tick.
  void Reply(std::string_view hex) {
    const std::string bytes = Bytes(hex);
    const int done = (m->rxbuffb.out + static_cast<int>(bytes.size())) % rxring::kCells;
    pty->Write(bytes);
    ASSERT_TRUE(PumpUntil([&] { return m->rxbuffb.out == done; }));
    EXPECT_EQ(m->waitack, 0);
  }

  PtyPeer* pty = nullptr;
  app::main* m = nullptr;
};

TEST_F(ControllerSideTest, UnansweredPollingSendsEveryThirdTick) {
  const char* cycle[] = {"61 20 0F 90", "00 11 11", "61 30 04 95", "61 0C 01 6E", "61 20 0F 90"};
  for (const char* msg : cycle) {
    EXPECT_EQ(Tick(Bytes(msg).size()), msg);
    EXPECT_EQ(Tick(0), "");
    EXPECT_EQ(Tick(0), "");
  }
  EXPECT_TRUE(messages.empty());
}

TEST_F(ControllerSideTest, AnsweredPollingSendsEveryTick) {
  EXPECT_EQ(Tick(4), "61 20 0F 90");
  Reply("10 01 11");
  EXPECT_EQ(Tick(3), "00 11 11");
  Reply("12 11 00 01 24");
  EXPECT_EQ(Tick(4), "61 30 04 95");
  Reply("20 00 20");  // any good frame frees the next tick
  EXPECT_EQ(Tick(4), "61 0C 01 6E");
}

TEST_F(ControllerSideTest, PanelPressesGoAheadOfThePoll) {
  EXPECT_EQ(Tick(4), "61 20 0F 90");
  Reply("10 01 11");

  QTest::mouseClick(m->transportpanel1->tkey1[8], Qt::LeftButton);  // play
  QTest::mouseClick(m->recpanel1->cbk[0], Qt::LeftButton);           // record-enable 1
  EXPECT_TRUE(m->transportpanel1->tkey1[8]->lit);

  EXPECT_EQ(Tick(3), "20 01 21");
  Reply("10 01 11");
  EXPECT_EQ(Tick(7), "44 30 00 01 00 00 75");
  Reply("10 01 11");
  EXPECT_EQ(Tick(3), "00 11 11");  // the poll goes on where it was
  Reply("12 11 00 01 24");
  EXPECT_EQ(Tick(4), "61 30 04 95");
}

TEST_F(ControllerSideTest, DeckRepliesShowOnDisplayAndLamps) {
  Reply("74 04 05 04 03 02 86");
  EXPECT_EQ(m->cpoz->caption, "02:03:04:05");
  Reply("74 14 06 00 00 00 8E");  // any of the time replies
  EXPECT_EQ(m->cpoz->caption, "00:00:00:06");

  Reply("7F 20 00 83 80 00 00 00 00 00 00 00 00 00 00 00 00 A2");  // play, recording
  EXPECT_EQ(m->cpoz->tally, 3);
  EXPECT_TRUE(m->transportpanel1->tkey1[8]->lit);   // play
  EXPECT_TRUE(m->transportpanel1->tkey1[4]->lit);   // record on
  EXPECT_FALSE(m->transportpanel1->tkey1[3]->lit);  // record off

  Reply("74 30 01 00 00 80 25");
  EXPECT_TRUE(m->recpanel1->areck[0]->lit);   // A1
  EXPECT_TRUE(m->recpanel1->cbk[23]->lit);    // 24
  EXPECT_FALSE(m->recpanel1->cbk[0]->lit);

  Reply("7F 21 00 A0 00 00 00 00 00 00 00 00 00 00 00 00 00 40");  // not status data
  EXPECT_EQ(m->cpoz->tally, 3);
}

TEST_F(ControllerSideTest, PressWithPortClosedIsDroppedWithOneMessage) {
  EXPECT_FALSE(m->opencontrollerport(-1));
  EXPECT_EQ(m->Controllerbox->Caption(), "controller");
  EXPECT_FALSE(m->serialcopen);

  // A tick that comes while the message is up must not report the same
  // presses again.
  fw::testing::SetMsgBoxHook([this](const std::string& text) {
    messages.push_back(text);
    if (messages.size() == 1) m->Timer1_Action();
  });
  QTest::mouseClick(m->transportpanel1->tkey1[8], Qt::LeftButton);
  QTest::mouseClick(m->recpanel1->cbk[0], Qt::LeftButton);
  m->Timer1_Action();
  m->Timer1_Action();
  EXPECT_EQ(messages, std::vector<std::string>{"Controller Serial Port Not Open"});
  EXPECT_FALSE(m->transportpanel1->newcmd);
  EXPECT_FALSE(m->recpanel1->newcmd);

  // Reopened: the dropped commands are not sent later; the poll starts.
  ASSERT_TRUE(m->opencontrollerport(0));
  EXPECT_EQ(Tick(4), "61 20 0F 90");
}

}  // namespace
}  // namespace vxtest
