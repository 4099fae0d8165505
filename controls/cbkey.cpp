#include "controls/cbkey.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include "framework/graphics.h"
#include "framework/strings.h"

namespace {

constexpr int kCorner = 6;  // corner width and height of body, block and outline

// A pixel position from a computed value: the fraction is dropped (toward
// zero), and values far outside any picture are held to the int range so
// odd cursor positions or text sizes cannot overflow.
int toPixel(double v) {
  if (std::isnan(v)) return 0;
  const double lo = std::numeric_limits<int>::min() / 2;
  const double hi = std::numeric_limits<int>::max() / 2;
  return static_cast<int>(std::trunc(std::clamp(v, lo, hi)));
}

}  // namespace

cbkey::cbkey(QWidget* parent) : fw::Canvas(parent) {}

void cbkey::Event_Paint(fw::Graphics& g) {
  (void)g;  // redraw draws on the canvas's own graphics
  redraw();
}

void cbkey::Event_Open() { textsize = Height() * 4 / 7; }

void cbkey::redraw() {
  const int w = Width();
  const int h = Height();
  deltay = -h / 8;

  // Compose off-screen so the key is never seen half drawn.
  auto pic = fw::NewPicture(w, h, 32);
  fw::Graphics& g = pic->graphics();

  g.ForeColor = lit ? litcolor : offcolor;
  g.FillRoundRect(0, 0, w - 1, h - 1, kCorner, kCorner);

  if (highlight) {
    // One cell per character of "00:00:00:00", centred on 5.25 cells; from
    // the seconds on the block stands half a cell further left.
    g.ForeColor = lit ? offcolor : litcolor;
    const int64_t cw = int64_t{textsize} * 9 / 16;
    const int64_t x0 = std::max(0, toPixel(w / 2.0 - static_cast<double>(21 * cw) / 4.0));
    int64_t x = x0 + int64_t{kursor} * cw;
    if (kursor > 5) x -= cw / 2;
    g.FillRoundRect(toPixel(static_cast<double>(x)), 0, toPixel(static_cast<double>(cw)), h - 1, kCorner, kCorner);
  }

  if (!caption.empty()) {
    g.ForeColor = lit ? TextLitcolor : TextOffColor;
    g.TextFont = Textfont;
    g.TextSize = textsize;
    g.Bold = Bold;
    g.Underline = underline;
    g.Italic = Italic;
    const int x = toPixel(w / 2.0 - g.StringWidth(caption) / 2.0);
    const int y = toPixel(h / 2.0 + g.TextSize / 2.0) + deltay;
    g.DrawString(caption, x, y);
  }

  g.ForeColor = 0x000000;
  g.DrawRoundRect(0, 0, w - 1, h - 1, kCorner, kCorner);

  graphics().DrawPicture(*pic, 0, 0);
  ++redraws_;
}

cbkey* cbkey::create(QWidget* parent, const char* arrayName, int index) {
  auto* key = new cbkey(parent);
  key->applyDesign();
  key->Name = arrayName;
  key->Index = index;
  return key;
}

void cbkey::setcaption(const std::string& s) {
  if (fw::EqualsIgnoreCase(s, caption)) return;
  caption = s;
  redraw();
}

void cbkey::setlit(bool b) {
  if (b == lit) return;
  lit = b;
  redraw();
}

void cbkey::setcolor(const std::string& s) {
  if (fw::EqualsIgnoreCase(s, "red")) {
    litcolor = 0xFF0000;
    TextLitcolor = 0xFFFFFF;
  } else if (fw::EqualsIgnoreCase(s, "lime")) {
    litcolor = 0x00FF00;
    TextLitcolor = 0x000000;
  }
  redraw();
}

void cbkey::setkursor(int32_t i) {
  if (i == kursor) return;
  kursor = i;
  redraw();
}

void cbkey::setheight(int32_t i) {
  SetHeight(i);
  textsize = Height() * 4 / 7;
}

void cbkey::tag2caption() {
  switch (Tag) {
    case 1: setcaption("[]"); break;
    case 2: setcaption("||"); break;
    case 3: setcaption(">"); break;
    case 4: setcaption("<"); break;
    case 5: setcaption(">>"); break;
    case 6: setcaption("<<"); break;
    case 11: setcaption("Goto"); break;
    case 18:
      setcaption("On");
      setcolor("Red");
      break;
    case 19:
      setcaption("Off");
      setlit(true);
      break;
    default: break;
  }
}

void cbkey::applyDesign() {
  litcolor = 0x80FF80;
  Textfont = "System";
  Bold = true;
  caption = "Caption";
  textsize = 0;
  deltay = -5;
}
