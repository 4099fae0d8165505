#include "framework/graphics.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <map>

namespace fw {

namespace {
QColor color(uint32_t rgb) { return QColor((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF); }

QFont fontOf(const Graphics& g) {
  QFont f(QString::fromStdString(ResolveFontFamily(g.TextFont)));
  if (g.TextSize > 0) f.setPixelSize(g.TextSize);
  f.setBold(g.Bold);
  f.setItalic(g.Italic);
  f.setUnderline(g.Underline);
  return f;
}

bool drawable(const QImage* img) { return img && !img->isNull() && img->width() > 0 && img->height() > 0; }

// Fills a shape without anti-aliasing, a band of rows at a time. Qt's raster
// engine hands a fill of more than about a hundred spans to helper threads
// and waits for them; on a loaded machine that wait can take milliseconds,
// and the event thread must answer the serial ports at once. A band of 40
// rows stays below that.
void fillInBands(QImage& target, const QPainterPath& path, const QRect& bounds, const QColor& c) {
  constexpr int kBandRows = 40;
  QPainter p(&target);
  p.setRenderHint(QPainter::Antialiasing, false);
  for (int top = bounds.top(); top <= bounds.bottom(); top += kBandRows) {
    p.setClipRect(QRect(bounds.left(), top, bounds.width(), std::min(kBandRows, bounds.bottom() - top + 1)));
    p.fillPath(path, c);
  }
}
}  // namespace

std::string ResolveFontFamily(const std::string& name) {
  static std::map<std::string, std::string> cache;
  auto it = cache.find(name);
  if (it != cache.end()) return it->second;
  const QStringList families = QFontDatabase::families();
  std::string resolved;
  for (const QString& f : families)
    if (f.compare(QString::fromStdString(name), Qt::CaseInsensitive) == 0) resolved = f.toStdString();
  if (resolved.empty()) {
    // "System", "tahoma" and other names this machine lacks: a plain sans font
    // of about their width, so a timecode fits the keys sized for it.
    for (const char* fallback : {"Liberation Sans", "Arimo", "DejaVu Sans"})
      if (families.contains(QString::fromLatin1(fallback))) {
        resolved = fallback;
        break;
      }
  }
  if (resolved.empty()) resolved = QFontDatabase::systemFont(QFontDatabase::GeneralFont).family().toStdString();
  cache[name] = resolved;
  return resolved;
}

void Graphics::FillRoundRect(int x, int y, int w, int h, int arcW, int arcH) {
  if (!drawable(target_) || w <= 0 || h <= 0) return;
  QPainterPath path;
  path.addRoundedRect(QRectF(x, y, w, h), std::min(arcW, w) / 2.0, std::min(arcH, h) / 2.0);
  fillInBands(*target_, path, QRect(x, y, w, h), color(ForeColor));
  changed();
}

void Graphics::DrawRoundRect(int x, int y, int w, int h, int arcW, int arcH) {
  if (!drawable(target_) || w < 0 || h < 0) return;
  // A one-pixel outline over x..x+w and y..y+h: the ring between the outer
  // shape and the shape one pixel inside it.
  const double rx = std::min(arcW, w) / 2.0, ry = std::min(arcH, h) / 2.0;
  QPainterPath ring;
  ring.setFillRule(Qt::OddEvenFill);
  ring.addRoundedRect(QRectF(x, y, w + 1, h + 1), rx, ry);
  if (w > 1 && h > 1)
    ring.addRoundedRect(QRectF(x + 1, y + 1, w - 1, h - 1), std::max(rx - 1, 0.0), std::max(ry - 1, 0.0));
  fillInBands(*target_, ring, QRect(x, y, w + 1, h + 1), color(ForeColor));
  changed();
}

void Graphics::FillRect(int x, int y, int w, int h) {
  if (!drawable(target_) || w <= 0 || h <= 0) return;
  QPainter p(target_);
  p.fillRect(QRect(x, y, w, h), color(ForeColor));
  p.end();
  changed();
}

void Graphics::DrawString(const std::string& text, int x, int y) {
  if (!drawable(target_) || text.empty()) return;
  QPainter p(target_);
  p.setPen(color(ForeColor));
  p.setFont(fontOf(*this));
  p.drawText(QPoint(x, y), QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
  p.end();
  changed();
}

double Graphics::StringWidth(const std::string& text) const {
  QFontMetricsF m(fontOf(*this));
  return m.horizontalAdvance(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

void Graphics::DrawPicture(const Picture& picture, int x, int y) {
  if (!drawable(target_)) return;
  QPainter p(target_);
  p.setCompositionMode(QPainter::CompositionMode_Source);
  p.drawImage(QPoint(x, y), picture.Image());
  p.end();
  changed();
}

Picture::Picture(int width, int height)
    : image_(std::max(width, 0), std::max(height, 0), QImage::Format_ARGB32), graphics_(&image_) {
  image_.fill(Qt::transparent);
}

std::unique_ptr<Picture> NewPicture(int w, int h, int) { return std::make_unique<Picture>(w, h); }

}  // namespace fw
