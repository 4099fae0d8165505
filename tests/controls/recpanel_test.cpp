// The record-enable keys over the edit-preset bit map.
#include "controls/recpanel.h"

#include <gtest/gtest.h>

#include "tests/controls/key_pixels.h"
#include "tests/support/pty.h"

namespace vxtest {
namespace {

class RecPanelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    panel->SetBounds(0, 0, 246, 115);
    host.show();
    fw::OpenControls(&host);
    panel->alignsize();
  }
  QWidget host;
  recpanel* panel = new recpanel(&host);
};

TEST_F(RecPanelTest, LayoutWithAndWithoutTheLetteredRow) {
  for (bool letters : {true, false}) {
    panel->showarec = letters;
    panel->alignsize();
    const int top = letters ? 29 : 0, h = letters ? 25 : 35;
    for (int i = 0; i < 7; ++i) {
      EXPECT_EQ(panel->areck[i]->Visible(), letters);
      EXPECT_EQ(panel->areck[i]->geometry(), QRect(i * 31, 0, 27, h));
    }
    for (int i = 0; i < 24; ++i) EXPECT_EQ(panel->cbk[i]->geometry(), QRect(i % 8 * 31, top + i / 8 * (h + 4), 27, h));
  }
}

// Each key once, in turn: the bit it toggles, its lamp in red with a white caption, its caption.
TEST_F(RecPanelTest, EveryKeyPressedInTurn) {
  const char* letters[] = {"A1", "A2", "A3", "A4", "V", "A", "I"};
  auto bits = [this] {  // bytes 0 to 3 of the map as one number, byte 0 lowest
    return uint32_t{panel->reccmd[3]} << 24 | panel->reccmd[2] << 16 | panel->reccmd[1] << 8 | panel->reccmd[0];
  };
  for (int i = 0; i < 31; ++i) {
    cbkey* key = i < 7 ? panel->areck[i] : panel->cbk[i - 7];
    const uint32_t bit = i < 6 ? 1u << i : i == 6 ? 0 : 1u << (i + 1);  // "I" does nothing
    const uint32_t before = bits();
    panel->newcmd = false;
    Click(key);
    EXPECT_EQ(before ^ bits(), bit) << i;
    EXPECT_EQ(std::tuple(panel->newcmd, key->lit, ink(key, 0xFFFFFF) > 5), std::tuple(!!bit, !!bit, !!bit)) << i;
    EXPECT_EQ(body(key), bit ? 0xFF0000u : 0xD0D0D0u) << i;
    EXPECT_EQ(key->caption, i < 7 ? letters[i] : std::to_string(i - 6)) << i;
  }
  EXPECT_EQ(Hex(panel->buildcmd()), "44 30 3F FF FF FF B0");
  Click(panel->cbk[23]);  // a second press clears the bit
  EXPECT_EQ(panel->reccmd[3], 0x7F);
  EXPECT_FALSE(panel->cbk[23]->lit);
}

// Replies wait behind a press; received counts are cut at the map and at the frame.
TEST_F(RecPanelTest, ReceivedPresetsAndReplies) {
  Click(panel->cbk[0]);
  panel->parserectally(Frame("74 30 00 00 00 00"));
  EXPECT_EQ(panel->reccmd[1], 0x01);
  panel->buildcmd();
  panel->parserectally(Frame("72 30 03 02"));
  EXPECT_TRUE(panel->areck[1]->lit && panel->cbk[1]->lit);
  EXPECT_FALSE(panel->cbk[0]->lit);
  panel->parsereccmd(Frame("41 30 40"));
  EXPECT_TRUE(panel->areck[6]->lit);  // "I" shows its bit
  panel->parsereccmd(Frame("4F 30 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F"));
  EXPECT_EQ(panel->reccmd, (std::array<uint8_t, 10>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
  panel->parserectally(Frame("74 30 FF"));  // count 4, one byte present
  EXPECT_EQ(Hex(panel->buildrectally(0x0F)), "7A 30 FF 02 03 04 05 06 07 08 09 0A");
  EXPECT_EQ(Hex(panel->buildrectally(0x85)), "72 30 09 0A");
  EXPECT_EQ(Hex(panel->buildrectally(0xF3)), "70 30");
}

// alignsize clears bytes 0 to 8 and leaves the lamps; replies equal to the map then draw nothing and
// leave those lamps too, while a preset of no bytes sets every lamp from the map.
TEST_F(RecPanelTest, LayoutClearsTheMapReplyEqualToItAndEmptyPreset) {
  Click(panel->areck[0]), Click(panel->cbk[23]);
  panel->reccmd.fill(0xA5), panel->newcmd = false;
  panel->alignsize();
  EXPECT_EQ(panel->reccmd, (std::array<uint8_t, 10>{0, 0, 0, 0, 0, 0, 0, 0, 0, 0xA5}));
  auto draws = [this](int n = 0) {  // of all 31 keys
    for (int i = 0; i < 31; ++i) n += (i < 24 ? panel->cbk[i] : panel->areck[i - 24])->redrawCount();
    return n;
  };
  const int before = draws();
  for (const char* reply : {"74 30 00 00 00 00", "70 30", "71 30 00"}) panel->parserectally(Frame(reply));
  EXPECT_EQ(std::tuple(draws() - before, panel->areck[0]->lit, panel->cbk[23]->lit), std::tuple(0, true, true));
  panel->parsereccmd(Frame("40 30"));
  EXPECT_EQ(std::tuple(draws() - before, panel->areck[0]->lit, panel->cbk[23]->lit), std::tuple(2, false, false));
  EXPECT_EQ(std::pair(panel->newcmd, Hex(panel->buildrectally(0x00))), std::pair(false, std::string("70 30")));
}

}  // namespace
}  // namespace vxtest
