// The record-enable keys over the edit-preset bit map: presses, received
// commands and replies, the sense reply and the lamps.
#include "controls/recpanel.h"

#include <gtest/gtest.h>

#include <QTest>
#include <memory>
#include <vector>

#include "tests/support/pty.h"

namespace {

class RecPanelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    host = std::make_unique<QWidget>();
    host->resize(300, 130);
    panel = new recpanel(host.get());
    panel->SetBounds(0, 0, 246, 115);
    host->show();
    fw::OpenControls(host.get());
    panel->alignsize();  // the owner lays the panel out; it has no Open of its own
  }
  void press(cbkey* k) { QTest::mouseClick(k, Qt::LeftButton, {}, QPoint(3, 3)); }
  std::vector<cbkey*> allKeys() const {
    std::vector<cbkey*> keys(panel->cbk.begin(), panel->cbk.end());
    keys.insert(keys.end(), panel->areck.begin(), panel->areck.end());
    return keys;
  }
  std::vector<int> redraws() const {
    std::vector<int> r;
    for (cbkey* k : allKeys()) r.push_back(k->redrawCount());
    return r;
  }
  static std::vector<uint8_t> frame(const std::string& hex) {
    const std::string b = vxtest::Bytes(hex);
    return {b.begin(), b.end()};
  }

  std::unique_ptr<QWidget> host;
  recpanel* panel = nullptr;
};

TEST_F(RecPanelTest, FourRowsWithLetteredKeysThreeWithout) {
  for (int i = 0; i < 7; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(panel->areck[i]->geometry(), QRect(i * 31, 0, 27, 25));
    EXPECT_TRUE(panel->areck[i]->Visible());
  }
  EXPECT_EQ(panel->areck[4]->caption, "V");
  for (int i = 0; i < 24; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(panel->cbk[i]->geometry(), QRect((i % 8) * 31, 29 + (i / 8) * 29, 27, 25));
    EXPECT_EQ(panel->cbk[i]->caption, std::to_string(i + 1));
    EXPECT_EQ(panel->cbk[i]->litcolor, 0xFF0000u);
  }

  panel->showarec = false;
  panel->alignsize();
  for (cbkey* k : panel->areck) EXPECT_FALSE(k->Visible());
  for (int i = 0; i < 24; ++i) EXPECT_EQ(panel->cbk[i]->geometry(), QRect((i % 8) * 31, (i / 8) * 39, 27, 35)) << i;
}

TEST_F(RecPanelTest, PressesToggleBitsAndBuildTheCommand) {
  press(panel->areck[0]);  // "A1"
  EXPECT_EQ(panel->reccmd[0], 0x01);
  EXPECT_TRUE(panel->areck[0]->lit);
  EXPECT_TRUE(panel->newcmd);
  EXPECT_EQ(vxtest::Hex(panel->buildcmd()), "44 30 01 00 00 00 75");
  EXPECT_FALSE(panel->newcmd);

  press(panel->cbk[23]);  // "24": bit 7 of byte 3
  EXPECT_EQ(panel->reccmd[3], 0x80);
  EXPECT_TRUE(panel->cbk[23]->lit);
  press(panel->cbk[23]);
  EXPECT_EQ(panel->reccmd[3], 0x00);
  EXPECT_FALSE(panel->cbk[23]->lit);
  EXPECT_TRUE(panel->newcmd);  // the unchanged bytes still go out
}

TEST_F(RecPanelTest, IsolateKeyOnlyShowsItsBit) {
  press(panel->areck[6]);
  EXPECT_EQ(panel->reccmd[0], 0);
  EXPECT_FALSE(panel->areck[6]->lit);
  EXPECT_FALSE(panel->newcmd);

  panel->parsereccmd(frame("41 30 40"));
  EXPECT_TRUE(panel->areck[6]->lit);
}

TEST_F(RecPanelTest, RepliesWaitBehindAPressAndRedrawOnlyOnChange) {
  press(panel->cbk[0]);
  panel->parserectally(frame("74 30 00 00 00 00"));
  EXPECT_EQ(panel->reccmd[1], 0x01);  // the press waiting to be sent wins
  EXPECT_TRUE(panel->cbk[0]->lit);
  panel->buildcmd();

  panel->parserectally(frame("74 30 03 02 00 00"));
  EXPECT_TRUE(panel->areck[0]->lit && panel->areck[1]->lit && panel->cbk[1]->lit);
  EXPECT_FALSE(panel->cbk[0]->lit);

  const auto before = redraws();
  panel->parserectally(frame("74 30 03 02 00 00"));
  panel->parserectally(frame("70 30"));
  EXPECT_EQ(redraws(), before);

  // Only the keys whose lamp changes are drawn again.
  panel->parserectally(frame("72 30 03 03"));
  const auto after = redraws();
  for (size_t i = 0; i < after.size(); ++i) EXPECT_EQ(after[i] - before[i], i == 0 ? 1 : 0) << i;
}

TEST_F(RecPanelTest, ReceivedCountsStayInsideMapAndFrame) {
  // Count 15 in a frame of 15 data bytes: bytes 0..9 are taken, the rest ignored.
  panel->parsereccmd(frame("4F 30 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F"));
  EXPECT_EQ(panel->reccmd, (std::array<uint8_t, 10>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
  EXPECT_FALSE(panel->newcmd);

  // Count 4 but only two data bytes present: nothing is read past the frame.
  panel->parsereccmd(frame("44 30 FF FF"));
  EXPECT_EQ(panel->reccmd, (std::array<uint8_t, 10>{0xFF, 0xFF, 3, 4, 5, 6, 7, 8, 9, 10}));

  panel->parserectally(frame("7F 30 00 00 00 00 00 00 00 00 00 00 EE EE EE EE EE"));
  EXPECT_EQ(panel->reccmd, (std::array<uint8_t, 10>{}));
  panel->parserectally({});
  panel->parsereccmd({});
}

TEST_F(RecPanelTest, SenseReplyIsCutAtTheEndOfTheMap) {
  panel->parsereccmd(frame("4A 30 10 11 12 13 14 15 16 17 18 19"));
  EXPECT_EQ(vxtest::Hex(panel->buildrectally(0x04)), "74 30 10 11 12 13");
  EXPECT_EQ(vxtest::Hex(panel->buildrectally(0x00)), "70 30");
  EXPECT_EQ(vxtest::Hex(panel->buildrectally(0x46)), "76 30 14 15 16 17 18 19");
  EXPECT_EQ(vxtest::Hex(panel->buildrectally(0x85)), "72 30 18 19");
  EXPECT_EQ(vxtest::Hex(panel->buildrectally(0x0F)), "7A 30 10 11 12 13 14 15 16 17 18 19");
  EXPECT_EQ(vxtest::Hex(panel->buildrectally(0xF3)), "70 30");
}

TEST_F(RecPanelTest, AlignsizeClearsAllButTheLastByte) {
  panel->parsereccmd(frame("4A 30 FF FF FF FF FF FF FF FF FF FF"));
  panel->alignsize();
  EXPECT_EQ(panel->reccmd, (std::array<uint8_t, 10>{0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF}));
  EXPECT_TRUE(panel->cbk[0]->lit);  // no lamp refresh until data arrives
}

}  // namespace
