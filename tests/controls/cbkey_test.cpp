// The drawn key, checked on the pixels it leaves in its canvas.
#include "controls/cbkey.h"

#include <gtest/gtest.h>

#include <QApplication>

namespace {

std::unique_ptr<cbkey> shownKey(int w, int h) {
  auto key = std::make_unique<cbkey>(nullptr);
  key->applyDesign();
  key->SetBounds(0, 0, w, h);
  key->show();
  QApplication::processEvents();
  key->Event_Open();
  key->caption = "";
  return key;
}

uint32_t px(const cbkey& k, int x, int y) { return k.Backing().pixel(x, y) & 0xFFFFFF; }

// Left edge and width of the first run of colour along row y.
std::pair<int, int> run(const cbkey& k, int y, uint32_t colour) {
  int left = 0, x;
  while (left < k.Width() && px(k, left, y) != colour) ++left;
  for (x = left; x < k.Width() && px(k, x, y) == colour;) ++x;
  return {left, x - left};
}

// Pixels inside the outline, corners left out, that differ from the body colour.
int ink(const cbkey& k, uint32_t body) {
  int n = 0;
  for (int y = 1; y < k.Height() - 1; ++y)
    for (int x = 4; x < k.Width() - 4; ++x) n += px(k, x, y) != body;
  return n;
}

TEST(Cbkey, TextSizeAndLiftFollowTheHeight) {
  auto key = shownKey(103, 28);
  const int table[][3] = {{14, 8, -1}, {19, 10, -2}, {28, 16, -3}, {35, 20, -4}};
  for (const auto& [h, size, dy] : table) {
    key->setheight(h);
    key->redraw();
    EXPECT_EQ(key->textsize, size) << h;
    EXPECT_EQ(key->deltay, dy) << h;
  }
}

TEST(Cbkey, CursorBlockStepsOneCellAndHalfACellBackFromTheSeconds) {
  auto key = shownKey(103, 28);
  key->highlight = true;
  const int left[] = {4, 13, 22, 31, 40, 49, 54, 63, 72, 81, 90};
  for (bool lit : {false, true})
    for (int k = 0; k <= 10; ++k) {
      key->lit = lit;
      key->kursor = k;
      key->redraw();
      EXPECT_EQ(run(*key, 14, lit ? key->offcolor : key->litcolor), std::pair(left[k], 9)) << k << lit;
    }
  auto narrow = shownKey(20, 28);  // the block would start left of the key
  narrow->highlight = true;
  narrow->redraw();
  EXPECT_EQ(run(*narrow, 14, narrow->litcolor), std::pair(1, 8));
}

TEST(Cbkey, BodyColoursAndCaptionInk) {
  auto key = shownKey(103, 28);
  for (bool lit : {false, true}) {
    key->lit = lit;
    key->caption = "";
    key->redraw();
    const uint32_t body = lit ? 0x80FF80 : 0xD0D0D0;
    EXPECT_EQ(px(*key, 0, 14), 0u);  // outline
    EXPECT_EQ(ink(*key, body), 0) << "no caption, no text";
    key->caption = "00:00:00:00";
    key->redraw();
    EXPECT_GT(ink(*key, body), 50);
  }
}

TEST(Cbkey, SettersWithTheSameValueDrawNothing) {
  auto key = shownKey(103, 28);
  key->caption = "Caption";
  const int before = key->redrawCount();
  key->setcaption("caption");
  key->setlit(false);
  key->setkursor(0);
  EXPECT_EQ(key->redrawCount(), before);
  key->setcaption(">>");
  key->setlit(true);
  key->setkursor(4);
  EXPECT_EQ(key->redrawCount(), before + 3);
}

}  // namespace
