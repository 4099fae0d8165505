#include "framework/canvas.h"

#include <QBitmap>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace fw {

Canvas::Canvas(QWidget* parent) : QWidget(parent), Control(this), graphics_(&backing_) {
  // A canvas repaints only itself: what lies beneath it (a group box, the
  // window) is not drawn again each time the canvas changes. So that this
  // holds for a shape with transparent pixels too (the rounded corners of
  // a key), the canvas takes the shape of what it draws: beneath the
  // transparent pixels lies its parent's drawing, made when that is
  // painted, and a repaint of the canvas stays inside its shape. This keeps
  // a display that changes on every tick cheap, so the event thread stays
  // free for the serial ports.
  setAttribute(Qt::WA_OpaquePaintEvent, true);
  setFocusPolicy(Qt::NoFocus);
  graphics_.Changed = [this] { drawn(); };
}

void Canvas::SetAcceptFocus(bool accept) { setFocusPolicy(accept ? Qt::StrongFocus : Qt::NoFocus); }

Graphics& Canvas::graphics() {
  syncBacking();
  return graphics_;
}

const QImage& Canvas::Backing() const {
  syncBacking();
  return backing_;
}

void Canvas::syncBacking() const {
  // A hidden widget gets its resize event only when first shown, so the
  // size is checked at every use instead.
  const QSize want(std::max(width(), 1), std::max(height(), 1));
  if (!backing_.isNull() && backing_.size() == want) return;
  QImage next(want, QImage::Format_ARGB32);
  next.fill(Qt::transparent);
  if (!backing_.isNull()) {
    QPainter p(&next);
    p.drawImage(0, 0, backing_);
  }
  backing_ = next;  // assigned in place: graphics_ keeps pointing at it
  drawnAtSize_ = false;
}

void Canvas::drawn() {
  if (!drawnAtSize_) {
    drawnAtSize_ = true;
    const QRegion shape(QBitmap::fromImage(backing_.createAlphaMask()));
    if (shape == QRegion(backing_.rect()))
      clearMask();
    else
      setMask(shape);
  }
  if (!painting_) update();
}

void Canvas::resizeEvent(QResizeEvent* e) {
  syncBacking();
  QWidget::resizeEvent(e);
}

void Canvas::paintEvent(QPaintEvent*) {
  syncBacking();
  if (!drawnAtSize_) {
    painting_ = true;
    Event_Paint(graphics_);
    painting_ = false;
  }
  QPainter p(this);
  p.drawImage(0, 0, backing_);
}

void Canvas::mousePressEvent(QMouseEvent* e) {
  if (MouseDown) {
    const QPoint pos = e->position().toPoint();
    MouseDown(pos.x(), pos.y());
  }
  e->accept();
}

void Canvas::keyPressEvent(QKeyEvent* e) {
  const std::string key = KeyText(e->key(), e->text());
  if (key.empty() || !KeyDown) {
    QWidget::keyPressEvent(e);
    return;
  }
  if (!KeyDown(key)) e->ignore();
}

std::string KeyText(int qtKey, const QString& text) {
  switch (qtKey) {
    case Qt::Key_Return:
    case Qt::Key_Enter: return std::string(1, '\r');
    case Qt::Key_Escape: return std::string(1, '\x1b');
    case Qt::Key_Left: return std::string(1, '\x1c');
    case Qt::Key_Right: return std::string(1, '\x1d');
    case Qt::Key_Up: return std::string(1, '\x1e');
    case Qt::Key_Down: return std::string(1, '\x1f');
    default: break;
  }
  if (text.isEmpty()) return {};
  const QByteArray utf8 = text.left(1).toUtf8();
  return std::string(utf8.constData(), static_cast<size_t>(utf8.size()));
}

}  // namespace fw
