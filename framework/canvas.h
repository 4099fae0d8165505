#pragma once
// A control that is drawn by its owner. Its Graphics draws into a backing
// picture at any time, also outside the paint event; each drawing asks for
// a repaint, and the paint event shows that picture. The first drawing at
// each size gives the canvas its shape: pixels it leaves transparent are
// not part of the control, and what lies beneath shows there. Tests read
// the drawn pixels from Backing().
#include <functional>
#include <string>

#include <QWidget>

#include "framework/control.h"
#include "framework/graphics.h"

namespace fw {

class Canvas : public QWidget, public Control {
 public:
  explicit Canvas(QWidget* parent);

  // Both follow the canvas's current size, also before it is first shown.
  Graphics& graphics();
  const QImage& Backing() const;

  // Paint event: runs before the backing picture is shown, when nothing has
  // been drawn at the canvas's current size; later paints show the picture
  // as last drawn.
  virtual void Event_Paint(Graphics& g) { (void)g; }

  // Mouse press at X, Y inside the canvas; keys as one-character texts
  // (Return 13, Esc 27, arrows left/right/up/down 28..31).
  std::function<bool(int x, int y)> MouseDown;
  std::function<bool(const std::string& key)> KeyDown;

  void SetAcceptFocus(bool accept);

 protected:
  void paintEvent(QPaintEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;

 private:
  // Gives the backing picture the canvas's size, keeping what is drawn.
  void syncBacking() const;
  // After a drawing: the first at a new size gives the canvas its shape.
  void drawn();

  mutable QImage backing_;
  Graphics graphics_;
  bool painting_ = false;
  mutable bool drawnAtSize_ = false;  // drawn since the backing picture took its size
};

// The one-character key text the framework hands to KeyDown; "" for keys
// that carry no text (Shift alone, say).
std::string KeyText(int qtKey, const QString& text);

}  // namespace fw
