// Both sides at once, the controller port wired to the device port like a
// null-modem cable: the system controls its own emulated deck.
#include <gtest/gtest.h>

#include <QtTest/QTest>
#include <functional>
#include <string>

#include "controls/keybd.h"
#include "framework/window.h"
#include "tests/app/main_fixture.h"

namespace vxtest {
namespace {

class BothSidesTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    ctl = &AddPort("ttyCTL");
    dev = &AddPort("ttyDEV");
    m = &OpenMain();
    ASSERT_TRUE(m->opencontrollerport(0));
    ASSERT_TRUE(m->opendeviceport(1));
  }

  // Carries the bytes each far end has received over to the other one.
  bool Carry() {
    const std::string toDevice = ctl->ReadAvailable();
    const std::string toController = dev->ReadAvailable();
    dev->Write(toDevice);
    ctl->Write(toController);
    return !toDevice.empty() || !toController.empty();
  }

  // One tick, then the cable carries until the exchange it started is over.
  void Tick() {
    m->Timer1_Action();
    int quiet = 0;
    PumpUntil([&] {
      quiet = Carry() ? 0 : quiet + 1;
      return m->waitack == 0 && quiet > 20;
    }, 100);
  }

  bool TickUntil(const std::function<bool()>& cond, int maxTicks = 12) {
    for (int i = 0; i < maxTicks && !cond(); ++i) Tick();
    return cond();
  }

  void Press(cbkey* key) { QTest::mouseClick(key, Qt::LeftButton); }

  PtyPeer* ctl = nullptr;
  PtyPeer* dev = nullptr;
  app::main* m = nullptr;
};

constexpr int kGoto = 2, kOn = 4, kStop = 7, kPlay = 8, kFastForward = 9;

TEST_F(BothSidesTest, TransportKeysDriveTheEmulatedDeckAndTheLampsFollow) {
  Press(m->transportpanel1->tkey1[kPlay]);
  ASSERT_TRUE(TickUntil([&] { return m->dpoz->tally == 3; }));
  EXPECT_TRUE(m->transportpanel2->tkey1[kPlay]->lit);
  ASSERT_TRUE(TickUntil([&] { return m->cpoz->tally == 3 && m->cpoz->caption != "00:00:00:00"; }));
  EXPECT_TRUE(m->transportpanel1->tkey1[kPlay]->lit);
  const std::string before = m->cpoz->caption;
  ASSERT_TRUE(TickUntil([&] { return m->cpoz->caption != before; }));  // the display runs

  Press(m->transportpanel1->tkey1[kOn]);
  ASSERT_TRUE(TickUntil([&] { return m->cpoz->record; }));
  EXPECT_TRUE(m->dpoz->record);
  EXPECT_TRUE(m->transportpanel1->tkey1[kOn]->lit);

  Press(m->transportpanel1->tkey1[kFastForward]);
  ASSERT_TRUE(TickUntil([&] { return m->cpoz->tally == 5; }));
  EXPECT_FALSE(m->dpoz->record);
  EXPECT_TRUE(m->transportpanel1->tkey1[kFastForward]->lit);
  EXPECT_TRUE(m->transportpanel2->tkey1[kFastForward]->lit);

  Press(m->transportpanel1->tkey1[kStop]);
  ASSERT_TRUE(TickUntil([&] { return m->cpoz->tally == 1; }));
  EXPECT_EQ(m->dpoz->tally, 1);
  EXPECT_TRUE(messages.empty());
}

TEST_F(BothSidesTest, GotoATypedTime) {
  fw::testing::SetModalHook([](fw::Window& w) {
    auto* k = dynamic_cast<keybd*>(&w);
    ASSERT_NE(k, nullptr);
    QTest::mouseClick(k->BevelButton4, Qt::LeftButton);  // Reset: cursor on the first digit
    for (int digit : {0, 1, 0, 2, 0, 3, 0, 4}) QTest::mouseClick(k->numk[digit], Qt::LeftButton);
    QTest::mouseClick(k->kok, Qt::LeftButton);
  });
  Press(m->transportpanel1->tkey1[kGoto]);
  EXPECT_EQ(m->transportpanel1->lastlocate, "01:02:03:04");

  ASSERT_TRUE(TickUntil([&] { return m->dpoz->caption == "01:02:03:04"; }));
  EXPECT_EQ(m->dpoz->tally, 1);
  EXPECT_TRUE(m->dpoz->cued);
  ASSERT_TRUE(TickUntil([&] { return m->cpoz->caption == "01:02:03:04" && m->cpoz->cued; }));
  EXPECT_TRUE(m->transportpanel1->tkey1[kStop]->lit);
}

TEST_F(BothSidesTest, RecordEnableKeysReachTheOtherSide) {
  Press(m->recpanel1->cbk[2]);  // "3": byte 1 bit 2
  ASSERT_TRUE(TickUntil([&] { return m->recpanel2->cbk[2]->lit; }));
  EXPECT_EQ(m->recpanel2->reccmd[1], 0x04);
  // The deck's edit-preset reply keeps the controller side's lamp lit.
  for (int i = 0; i < 8; ++i) Tick();
  EXPECT_TRUE(m->recpanel1->cbk[2]->lit);
}

}  // namespace
}  // namespace vxtest
