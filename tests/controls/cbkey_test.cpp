// The drawn key, checked on the pixels it leaves in its canvas.
#include "controls/cbkey.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

constexpr uint32_t kBlack = 0x000000;

// A key shown on the offscreen platform, opened like a layout opens it.
std::unique_ptr<cbkey> shownKey(int w, int h) {
  auto key = std::make_unique<cbkey>(nullptr);
  key->applyDesign();
  key->SetBounds(0, 0, w, h);
  key->show();
  QApplication::processEvents();
  key->Event_Open();
  return key;
}

uint32_t px(const cbkey& k, int x, int y) { return k.Backing().pixel(x, y) & 0xFFFFFF; }

struct PixelRun {
  int left = -1;
  int width = 0;
};

// The first run of pixels of one colour along row y.
PixelRun firstRun(const cbkey& k, int y, uint32_t colour) {
  PixelRun r;
  for (int x = 0; x < k.Backing().width(); ++x) {
    if (px(k, x, y) == colour) {
      if (r.left < 0) r.left = x;
      ++r.width;
    } else if (r.left >= 0) {
      break;
    }
  }
  return r;
}

// The box around the pixels inside the outline that are not body colour:
// the caption. The rounded corners are left out.
QRect inkBox(const cbkey& k, uint32_t body) {
  const int w = k.Width(), h = k.Height();
  QRect box;
  for (int y = 1; y < h - 1; ++y)
    for (int x = 1; x < w - 1; ++x) {
      const bool corner = (x < 4 || x > w - 5) && (y < 4 || y > h - 5);
      if (!corner && px(k, x, y) != body) box |= QRect(x, y, 1, 1);
    }
  return box;
}

TEST(CbkeyDrawing, OpenSetsTextSizeAndRedrawSetsDeltay) {
  auto key = shownKey(103, 28);
  EXPECT_EQ(key->textsize, 16);
  key->redraw();
  EXPECT_EQ(key->deltay, -3);

  struct Figures {
    int height, textsize, deltay;
  };
  for (Figures f : {Figures{14, 8, -1}, {19, 10, -2}, {25, 14, -3}, {30, 17, -3}, {35, 20, -4}}) {
    key->setheight(f.height);
    EXPECT_EQ(key->Height(), f.height);
    EXPECT_EQ(key->textsize, f.textsize) << "height " << f.height;
    key->redraw();
    EXPECT_EQ(key->deltay, f.deltay) << "height " << f.height;
  }
}

TEST(CbkeyDrawing, CursorBlockStepsOneCellAndSkipsHalfACellAtTheSeconds) {
  auto key = shownKey(103, 28);
  key->caption = "";
  key->highlight = true;
  const int expected[] = {4, 13, 22, 31, 40, 49, 54, 63, 72, 81, 90};
  for (bool lit : {false, true}) {
    key->lit = lit;
    const uint32_t block = lit ? key->offcolor : key->litcolor;
    for (int k = 0; k <= 10; ++k) {
      key->kursor = k;
      key->redraw();
      const PixelRun r = firstRun(*key, 14, block);
      EXPECT_EQ(r.left, expected[k]) << "kursor " << k << " lit " << lit;
      EXPECT_EQ(r.width, 9) << "kursor " << k << " lit " << lit;
    }
  }
}

TEST(CbkeyDrawing, CursorBlockNeverStartsLeftOfTheKey) {
  auto key = shownKey(20, 28);  // 10 - 21 * 9 / 4 is far below 0
  key->caption = "";
  key->highlight = true;
  key->redraw();
  EXPECT_EQ(px(*key, 0, 14), kBlack);  // the outline covers the block's first column
  const PixelRun r = firstRun(*key, 14, key->litcolor);
  EXPECT_EQ(r.left, 1);
  EXPECT_EQ(r.width, 8);
}

TEST(CbkeyDrawing, BodyAndOutlineColoursLitAndOff) {
  auto key = shownKey(103, 28);
  key->caption = "";
  for (bool lit : {false, true}) {
    key->lit = lit;
    key->redraw();
    const uint32_t body = lit ? 0x80FF80 : 0xD0D0D0;
    EXPECT_EQ(px(*key, 51, 14), body);
    EXPECT_EQ(px(*key, 3, 3), body);
    EXPECT_EQ(px(*key, 51, 0), kBlack);
    EXPECT_EQ(px(*key, 51, 27), kBlack);
    EXPECT_EQ(px(*key, 0, 14), kBlack);
    EXPECT_EQ(px(*key, 102, 14), kBlack);
    // Rounded corners: the very corner pixel is not part of the key.
    EXPECT_EQ(key->Backing().pixel(0, 0) >> 24, 0u);
    EXPECT_TRUE(inkBox(*key, body).isEmpty()) << "an empty caption draws no text";
  }
}

TEST(CbkeyDrawing, CaptionIsCentredAndLiftedInItsColour) {
  auto key = shownKey(103, 28);
  key->caption = "00:00:00:00";
  key->TextOffColor = 0x0000FF;
  key->redraw();
  const QRect ink = inkBox(*key, key->offcolor);
  ASSERT_FALSE(ink.isEmpty());
  const int leftGap = ink.left();
  const int rightGap = 102 - ink.right();
  EXPECT_LE(std::abs(leftGap - rightGap), 3) << leftGap << " / " << rightGap;
  // Base line at 14 + 8 - 3 = 19: digits end on or just above it.
  EXPECT_LE(ink.bottom(), 19);
  EXPECT_GE(ink.bottom(), 17);
  bool inCaptionColour = false;
  for (int x = ink.left(); x <= ink.right(); ++x)
    for (int y = ink.top(); y <= ink.bottom(); ++y) inCaptionColour |= px(*key, x, y) == 0x0000FF;
  EXPECT_TRUE(inCaptionColour);
}

TEST(CbkeyDrawing, RedrawOutsidePaintReachesTheCanvasAtOnce) {
  auto key = shownKey(60, 20);
  key->caption = "";
  key->redraw();
  ASSERT_EQ(px(*key, 30, 10), 0xD0D0D0);
  key->setlit(true);  // no event loop runs in between
  EXPECT_EQ(px(*key, 30, 10), 0x80FF80);
}

TEST(CbkeySetters, SameValueDrawsNothing) {
  auto key = shownKey(103, 28);
  const int before = key->redrawCount();
  key->setcaption("caption");  // differs in letter case only
  key->setlit(false);
  key->setkursor(0);
  key->setheight(30);
  EXPECT_EQ(key->redrawCount(), before);
  EXPECT_EQ(key->caption, "Caption");
  EXPECT_EQ(key->textsize, 17);

  key->setcaption(">>");
  key->setlit(true);
  key->setkursor(4);
  EXPECT_EQ(key->redrawCount(), before + 3);
  EXPECT_EQ(key->caption, ">>");
  EXPECT_TRUE(key->lit);
  EXPECT_EQ(key->kursor, 4);
}

TEST(CbkeySetters, SetcolorKnowsRedAndLimeAndAlwaysRedraws) {
  auto key = shownKey(50, 20);
  int count = key->redrawCount();
  key->setcolor("RED");
  EXPECT_EQ(key->litcolor, 0xFF0000u);
  EXPECT_EQ(key->TextLitcolor, 0xFFFFFFu);
  EXPECT_EQ(key->redrawCount(), ++count);
  key->setcolor("Lime");
  EXPECT_EQ(key->litcolor, 0x00FF00u);
  EXPECT_EQ(key->TextLitcolor, 0x000000u);
  EXPECT_EQ(key->redrawCount(), ++count);
  key->setcolor("blue");
  EXPECT_EQ(key->litcolor, 0x00FF00u);
  EXPECT_EQ(key->redrawCount(), ++count);
}

TEST(CbkeySetters, Tag2CaptionNamesTheTransportCodes) {
  auto key = shownKey(50, 20);
  const std::pair<int, const char*> names[] = {{1, "[]"}, {2, "||"}, {3, ">"},     {4, "<"},
                                               {5, ">>"}, {6, "<<"}, {11, "Goto"}};
  for (auto [tag, name] : names) {
    key->Tag = tag;
    key->tag2caption();
    EXPECT_EQ(key->caption, name);
  }
  EXPECT_FALSE(key->lit);

  key->Tag = 18;
  key->tag2caption();
  EXPECT_EQ(key->caption, "On");
  EXPECT_FALSE(key->lit);
  EXPECT_EQ(key->litcolor, 0xFF0000u);
  EXPECT_EQ(key->TextLitcolor, 0xFFFFFFu);

  key->Tag = 19;
  key->tag2caption();
  EXPECT_EQ(key->caption, "Off");
  EXPECT_TRUE(key->lit);

  const int count = key->redrawCount();
  key->Tag = 0;
  key->tag2caption();
  EXPECT_EQ(key->caption, "Off");
  EXPECT_EQ(key->redrawCount(), count);
}

// Writes a picture of a few keys when VX_KEYS_PNG names a file, so the
// look can be checked by eye (docs/keys.png).
TEST(CbkeyPicture, WritesKeysPictureOnRequest) {
  const char* out = std::getenv("VX_KEYS_PNG");
  if (!out) GTEST_SKIP() << "set VX_KEYS_PNG to write the picture";
  std::vector<std::unique_ptr<cbkey>> keys;
  auto add = [&](const char* caption, bool lit) -> cbkey& {
    keys.push_back(shownKey(103, 28));
    cbkey& k = *keys.back();
    k.caption = caption;
    k.lit = lit;
    return k;
  };
  add(">", true).redraw();
  add("[]", false).redraw();
  cbkey& red = add("On", true);
  red.setcolor("red");
  cbkey& tc = add("01:23:45:12", true);
  tc.highlight = true;
  tc.kursor = 7;
  tc.redraw();
  cbkey& tcOff = add("00:00:00:00", false);
  tcOff.highlight = true;
  tcOff.kursor = 1;
  tcOff.redraw();

  QImage sheet(10 + 113 * static_cast<int>(keys.size()), 48, QImage::Format_ARGB32);
  sheet.fill(QColor(0xEC, 0xEC, 0xEC));
  QPainter p(&sheet);
  for (size_t i = 0; i < keys.size(); ++i) p.drawImage(10 + 113 * static_cast<int>(i), 10, keys[i]->Backing());
  p.end();
  EXPECT_TRUE(sheet.save(QString::fromLocal8Bit(out)));
}

}  // namespace
