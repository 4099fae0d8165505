// fw::Canvas: drawing outside the paint event and the key texts.
#include <gtest/gtest.h>

#include <QTest>

#include "framework/canvas.h"
#include "framework/window.h"

namespace {

QRgb Rgb(uint32_t c) { return qRgb((c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF); }

TEST(CanvasDrawing, DrawnBeforeShowingAndOutsidePaintShowsInBacking) {
  fw::Window w;
  auto* canvas = new fw::Canvas(w.Content());
  canvas->SetBounds(10, 10, 40, 20);
  // Never shown yet: the picture already has the canvas's size.
  canvas->graphics().ForeColor = 0xFF0000;
  canvas->graphics().FillRect(0, 0, 40, 20);
  canvas->graphics().ForeColor = 0x00FF00;
  canvas->graphics().FillRoundRect(20, 0, 20, 20, 0, 0);
  ASSERT_EQ(canvas->Backing().size(), QSize(40, 20));
  EXPECT_EQ(canvas->Backing().pixel(5, 5), Rgb(0xFF0000));
  EXPECT_EQ(canvas->Backing().pixel(30, 10), Rgb(0x00FF00));

  // Showing and painting keep what was drawn; growing keeps it too.
  w.show();
  canvas->repaint();
  EXPECT_EQ(canvas->Backing().pixel(5, 5), Rgb(0xFF0000));
  canvas->SetWidth(60);
  EXPECT_EQ(canvas->Backing().size(), QSize(60, 20));
  EXPECT_EQ(canvas->Backing().pixel(30, 10), Rgb(0x00FF00));
  EXPECT_EQ(qAlpha(canvas->Backing().pixel(50, 10)), 0);

  // The widget itself shows the picture.
  const QImage shown = canvas->grab().toImage();
  EXPECT_EQ(shown.pixel(5, 5), Rgb(0xFF0000));
}

TEST(CanvasDrawing, PaintEventDrawsIntoTheSamePicture) {
  struct Painted : fw::Canvas {
    using fw::Canvas::Canvas;
    int paints = 0;
    void Event_Paint(fw::Graphics& g) override {
      ++paints;
      g.ForeColor = 0x0000FF;
      g.FillRect(0, 0, 4, 4);
    }
  };
  fw::Window w;
  auto* canvas = new Painted(w.Content());
  canvas->SetBounds(0, 0, 8, 8);
  w.show();
  canvas->grab();  // renders the canvas, running its paint event
  EXPECT_GE(canvas->paints, 1);
  EXPECT_EQ(canvas->Backing().pixel(1, 1), Rgb(0x0000FF));
}

TEST(CanvasKeys, KeyDownGetsOneCharacterTexts) {
  fw::Window w;
  auto* canvas = new fw::Canvas(w.Content());
  canvas->SetBounds(0, 0, 20, 20);
  canvas->SetAcceptFocus(true);
  std::vector<int> codes;
  canvas->KeyDown = [&](const std::string& key) {
    EXPECT_EQ(key.size(), 1u);
    codes.push_back(static_cast<unsigned char>(key[0]));
    return false;
  };
  w.show();
  for (Qt::Key k : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape, Qt::Key_Left, Qt::Key_Right, Qt::Key_Up,
                    Qt::Key_Down, Qt::Key_7})
    QTest::keyClick(canvas, k);
  QTest::keyClick(canvas, 'a');
  QTest::keyClick(canvas, Qt::Key_Shift);  // no text: not handed over
  EXPECT_EQ(codes, (std::vector<int>{13, 13, 27, 28, 29, 30, 31, '7', 'a'}));
}

TEST(CanvasMouse, MouseDownGetsCanvasCoordinates) {
  fw::Window w;
  auto* canvas = new fw::Canvas(w.Content());
  canvas->SetBounds(30, 40, 50, 50);
  int x = -1, y = -1;
  canvas->MouseDown = [&](int px, int py) {
    x = px;
    y = py;
    return false;
  };
  w.show();
  QTest::mousePress(canvas, Qt::LeftButton, {}, QPoint(7, 9));
  EXPECT_EQ(x, 7);
  EXPECT_EQ(y, 9);
}

}  // namespace
