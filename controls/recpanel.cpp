#include "controls/recpanel.h"

#include <algorithm>

#include "framework/strings.h"
#include "protocol/cbsr.h"

namespace {
const std::array<const char*, 7> kLetterCaptions{"A1", "A2", "A3", "A4", "V", "A", "I"};
constexpr int kIsolateKey = 6;  // "I": shows its bit, a press does nothing

// How many data bytes of a received frame fit both the frame and the map:
// the count from CMD1, cut at the end of msg and at the map's 10 bytes.
size_t receivedCount(std::span<const uint8_t> msg, size_t mapSize) {
  if (msg.size() < 2) return 0;
  const size_t n = msg[0] & 0x0F;
  return std::min({n, msg.size() - 2, mapSize});
}
}  // namespace

// The constructor runs this class's own hooks (virtual calls do not reach
// subclasses from here, and none is meant to).
recpanel::recpanel(QWidget* parent) : fw::ContainerControl(parent) {
  Layout();
  CreateControls();
}

void recpanel::Layout() {
  resize(352, 116);
  setEnabled(true);
}

void recpanel::CreateControls() {
  for (int i = 0; i < 24; ++i) {
    auto* key = cbkey::create(this, "cbk", i);
    key->MouseDown = [this, i](int x, int y) { return cbk_MouseDown(i, x, y); };
    cbk[i] = key;
  }
  for (int i = 0; i < 7; ++i) {
    auto* key = cbkey::create(this, "areck", i);
    key->MouseDown = [this, i](int x, int y) { return areck_MouseDown(i, x, y); };
    areck[i] = key;
  }
}

bool recpanel::cbk_MouseDown(int index, int x, int y) {
  (void)x;
  (void)y;
  cbk[index]->setlit(cbsr::xorbit(reccmd, index + bank1 + 8));
  newcmd = true;
  return false;
}

bool recpanel::areck_MouseDown(int index, int x, int y) {
  (void)x;
  (void)y;
  if (index == kIsolateKey) return false;
  areck[index]->setlit(cbsr::xorbit(reccmd, index));
  newcmd = true;
  return false;
}

void recpanel::alignsize() {
  const int rows = showarec ? 4 : 3;
  const int firstNumberedRow = showarec ? 1 : 0;
  const int h = (Height() - (rows - 1) * 4) / rows;
  const int w = (Width() - 28) / 8;
  for (int i = 0; i < 7; ++i) {
    cbkey* key = areck[i];
    key->SetWidth(w);
    key->setheight(h);
    key->SetTop(0);
    key->SetLeft(i * (w + 4));
    key->setcolor("red");
    key->SetVisible(showarec);
  }
  for (int i = 0; i < 7; ++i) areck[i]->setcaption(kLetterCaptions[i]);
  for (int i = 0; i < 24; ++i) {
    cbkey* key = cbk[i];
    key->SetWidth(w);
    key->setheight(h);
    key->SetLeft((i % 8) * (w + 4));
    key->SetTop((firstNumberedRow + i / 8) * (h + 4));
    key->setcaption(fw::Str(i + bank1 + 1));
    key->setcolor("red");
  }
  // Byte 9 keeps its value; no lamp is refreshed here.
  std::fill(reccmd.begin(), reccmd.begin() + 9, uint8_t{0});
}

std::string recpanel::buildcmd() {
  newcmd = false;
  std::string msg{'\x44', '\x30'};
  for (int i = 0; i < 4; ++i) msg += static_cast<char>(reccmd[i]);
  return cbsr::appendsum(msg);
}

void recpanel::parsereccmd(std::span<const uint8_t> msg) {
  const size_t n = receivedCount(msg, reccmd.size());
  for (size_t i = 0; i < n; ++i) reccmd[i] = msg[i + 2];
  updrectally();
}

void recpanel::updrectally() {
  for (int i = 0; i < 24; ++i) cbk[i]->setlit(cbsr::isbitset(reccmd, i + bank1 + 8));
  for (int i = 0; i < 7; ++i) areck[i]->setlit(cbsr::isbitset(reccmd, i));
}

void recpanel::parserectally(std::span<const uint8_t> msg) {
  // A change waiting to be sent is not overwritten by the deck's older view.
  if (newcmd) return;
  const size_t n = receivedCount(msg, reccmd.size());
  bool changed = false;
  for (size_t i = 0; i < n; ++i) {
    if (reccmd[i] != msg[i + 2]) {
      changed = true;
      reccmd[i] = msg[i + 2];
    }
  }
  if (changed) updrectally();
}

// Map bytes from the request's first byte on, cut at byte 9.
std::string recpanel::buildrectally(uint8_t d) { return cbsr::sensereply(0x30, reccmd, d); }
