// The drawn key, checked on the pixels it leaves in its canvas and on the screen.
#include "controls/cbkey.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>

#include "controls/tckey.h"
#include "framework/widgets.h"
#include "tests/controls/key_pixels.h"

namespace vxtest {
namespace {

// An opened key of the design with the cursor block and no caption (unshown).
std::unique_ptr<cbkey> blockKey(int w, int h) {
  auto key = std::make_unique<cbkey>(nullptr);
  key->applyDesign();
  key->SetBounds(0, 0, w, h);
  key->Event_Open();
  key->caption = "";
  key->highlight = true;
  return key;
}

// Left edge and width of the first run of colour along row y.
std::pair<int, int> run(const cbkey* k, int y, uint32_t colour) {
  int left = 0, x;
  while (left < k->Width() && px(k, left, y) != colour) ++left;
  for (x = left; x < k->Width() && px(k, x, y) == colour;) ++x;
  return {left, x - left};
}

struct Paints : QObject {
  explicit Paints(QWidget* w) { w->installEventFilter(this); }
  bool eventFilter(QObject*, QEvent* e) override { return n += e->type() == QEvent::Paint, false; }
  int n = 0;
};

TEST(Cbkey, CursorBlockStepsOneCellAndHalfACellBackFromTheSeconds) {
  auto key = blockKey(103, 28);
  const int left[] = {4, 13, 22, 31, 40, 49, 54, 63, 72, 81, 90};
  for (bool lit : {false, true})
    for (int k = 0; k <= 10; ++k) {
      key->lit = lit;
      key->kursor = k;
      key->redraw();
      EXPECT_EQ(run(key.get(), 14, lit ? key->offcolor : key->litcolor), std::pair(left[k], 9)) << k << lit;
    }
  auto narrow = blockKey(20, 28);  // the block would start left of the key
  narrow->redraw();
  EXPECT_EQ(run(narrow.get(), 14, narrow->litcolor), std::pair(1, 8));
}

// A display over a group box, as in the main window: each change is drawn once and
// reaches the screen once, the rounded corners show the group box, and nothing beneath
// the display is painted again.
TEST(Cbkey, ChangesReachTheScreenOnceAndTheCornersShowWhatLiesBeneath) {
  QWidget window;
  auto* box = new fw::GroupBox(&window);
  box->SetBounds(0, 0, 200, 80);
  auto* deck = new tckey(&window);
  deck->applyDesign();
  deck->SetBounds(40, 30, 103, 28);
  Paints deckPaints(deck), boxPaints(box);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  QApplication::processEvents();
  auto change = [&](const std::function<void()>& act, int draws, uint32_t colour) {
    const int redraws = deck->redrawCount(), paints = deckPaints.n, under = boxPaints.n;
    act();
    QApplication::processEvents();
    EXPECT_EQ(std::tuple(deck->redrawCount() - redraws, deckPaints.n - paints, boxPaints.n - under),
              std::tuple(draws, draws, 0));
    const QImage shot = window.grab().toImage();
    EXPECT_EQ(shot.pixel(40, 30), shot.pixel(39, 30));  // top left corner
    EXPECT_EQ(shot.pixel(142, 57), shot.pixel(142, 58));  // bottom right corner
    EXPECT_EQ(shot.pixel(40, 44) & 0xFFFFFF, 0u);  // outline
    EXPECT_EQ(shot.pixel(42, 44) & 0xFFFFFF, colour);
  };
  change([&] { deck->setlit(true); }, 1, 0x80FF80);
  change([&] { deck->setlit(true), deck->setcaption("CAPTION"), deck->setkursor(0); }, 0, 0x80FF80);
  change([&] { deck->setcolor("Lime"); }, 1, 0x00FF00);
  change([&] { deck->setcolor("blue"); }, 1, 0x00FF00);
  change([&] { deck->setcolor("RED"), deck->cmdin(3); }, 1, 0xFF0000);
  for (int tick = 0; tick < 20; ++tick) change([&] { deck->adjpoz(); }, 1, 0xFF0000);
  EXPECT_EQ(deck->caption, "00:00:00:20");
  change([&] { deck->setlit(false); }, 1, 0xD0D0D0);
}

}  // namespace
}  // namespace vxtest
