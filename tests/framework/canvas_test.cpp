// fw::Canvas: drawing outside the paint event, keys and mouse.
#include <gtest/gtest.h>

#include <QTest>

#include "framework/canvas.h"
#include "framework/window.h"

namespace {

QRgb Rgb(uint32_t c) { return qRgb((c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF); }

struct PaintedCanvas : fw::Canvas {
  using fw::Canvas::Canvas;
  int paints = 0;
  void Event_Paint(fw::Graphics& g) override {
    ++paints;
    g.ForeColor = 0x0000FF;
    g.FillRect(0, 0, 4, 4);
  }
};

TEST(Canvas, DrawingBeforeShowingAndOutsidePaintShowsInBacking) {
  fw::Window w;
  auto* canvas = new PaintedCanvas(w.Content());
  canvas->SetBounds(10, 10, 40, 20);
  canvas->graphics().ForeColor = 0xFF0000;
  canvas->graphics().FillRect(0, 0, 40, 20);
  canvas->graphics().ForeColor = 0x00FF00;
  canvas->graphics().FillRoundRect(20, 0, 20, 20, 0, 0);
  ASSERT_EQ(canvas->Backing().size(), QSize(40, 20));
  EXPECT_EQ(canvas->Backing().pixel(10, 10), Rgb(0xFF0000));
  EXPECT_EQ(canvas->Backing().pixel(30, 10), Rgb(0x00FF00));

  w.show();
  const QImage shown = canvas->grab().toImage();  // runs the paint event into the same picture
  EXPECT_GE(canvas->paints, 1);
  EXPECT_EQ(canvas->Backing().pixel(1, 1), Rgb(0x0000FF));
  EXPECT_EQ(shown.pixel(10, 10), Rgb(0xFF0000));
  canvas->SetWidth(60);  // growing keeps the picture
  EXPECT_EQ(canvas->Backing().size(), QSize(60, 20));
  EXPECT_EQ(canvas->Backing().pixel(30, 10), Rgb(0x00FF00));
  EXPECT_EQ(qAlpha(canvas->Backing().pixel(50, 10)), 0);
}

TEST(Canvas, KeyDownGetsOneCharacterCodesAndMouseDownCanvasCoordinates) {
  fw::Window w;
  auto* canvas = new fw::Canvas(w.Content());
  canvas->SetBounds(30, 40, 50, 50);
  canvas->SetAcceptFocus(true);
  std::vector<int> codes;
  canvas->KeyDown = [&](const std::string& key) {
    EXPECT_EQ(key.size(), 1u);
    codes.push_back(static_cast<unsigned char>(key[0]));
    return false;
  };
  QPoint down;
  canvas->MouseDown = [&](int x, int y) {
    down = {x, y};
    return false;
  };
  w.show();
  for (Qt::Key k : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape, Qt::Key_Left, Qt::Key_Right, Qt::Key_Up,
                    Qt::Key_Down, Qt::Key_7, Qt::Key_A, Qt::Key_Shift})
    QTest::keyClick(canvas, k);
  EXPECT_EQ(codes, (std::vector<int>{13, 13, 27, 28, 29, 30, 31, '7', 'a'}));  // Shift has no text
  QTest::mousePress(canvas, Qt::LeftButton, {}, QPoint(7, 9));
  EXPECT_EQ(down, QPoint(7, 9));
}

}  // namespace
