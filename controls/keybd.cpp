#include "controls/keybd.h"

#include <algorithm>

#include "framework/strings.h"
#include "protocol/cbsr.h"
#include "settings/config.h"

namespace {
constexpr const char* kZero = "00:00:00:00";
// Places of the digit buttons by digit: rows 7 8 9, 4 5 6, 1 2 3, then 0
// between Abort and OK.
struct Place {
  int left, top;
};
constexpr std::array<Place, 10> kDigitPlaces{{{67, 217},
                                              {10, 176},
                                              {67, 176},
                                              {125, 176},
                                              {10, 134},
                                              {68, 134},
                                              {125, 134},
                                              {10, 92},
                                              {67, 92},
                                              {125, 92}}};
}  // namespace

keybd& keybd::instance() { return fw::SingleInstance<keybd>(); }

keybd::keybd() = default;

void keybd::Layout() {
  SetTitle("Keyboard");
  SetContentSize(182, 257);
  SetFrameButtons(false, false, false);
  // Created on first use but shown only by ShowModal: a keypad built just to
  // be closed at shut-down never appears.
  SetDesignVisible(false);
  // First position, centred on the main screen; a stored one replaces it at Open.
  MoveToScreenCentre();
}

namespace {
fw::BevelButton* makeButton(QWidget* parent, int x, int y, int w, int h, const std::string& caption,
                            int textSize, bool bold) {
  auto* b = new fw::BevelButton(parent);
  b->SetBounds(x, y, w, h);
  b->SetTextFont("System");
  b->SetTextSize(textSize);
  b->SetBold(bold);
  b->SetCaption(caption);
  return b;
}

cbkey* makeKey(QWidget* parent, int x, int y, int w, int h) {
  auto* k = cbkey::create(parent, "", -1);
  k->SetBounds(x, y, w, h);
  return k;
}
}  // namespace

void keybd::CreateControls() {
  QWidget* c = Content();
  poz = makeKey(c, 40, 10, 103, 28);
  poz->SetAcceptFocus(true);  // the one control that takes keyboard focus
  poz->KeyDown = [this](const std::string& key) { return poz_KeyDown(key); };

  BevelButton6 = makeButton(c, 10, 10, 25, 28, "<", 20, true);
  BevelButton6->Action = [this] { BevelButton6_Action(); };
  BevelButton7 = makeButton(c, 148, 10, 25, 28, ">", 20, true);
  BevelButton7->Action = [this] { BevelButton7_Action(); };

  decpoz = makeButton(c, 10, 50, 35, 30, "-", 20, true);
  decpoz->Action = [this] { decpoz_Action(); };
  decpoz->KeyDown = [this](const std::string& key) { return decpoz_KeyDown(key); };
  BevelButton4 = makeButton(c, 54, 50, 75, 30, "Reset", 0, false);
  BevelButton4->Action = [this] { BevelButton4_Action(); };
  BevelButton4->KeyDown = [this](const std::string& key) { return BevelButton4_KeyDown(key); };
  incpoz = makeButton(c, 138, 50, 35, 30, "+", 20, true);
  incpoz->Action = [this] { incpoz_Action(); };
  incpoz->KeyDown = [this](const std::string& key) { return incpoz_KeyDown(key); };

  for (int i = 0; i < 10; ++i) {
    fw::BevelButton* b = makeButton(c, kDigitPlaces[i].left, kDigitPlaces[i].top, 45, 30, "", 0, false);
    b->Index = i;
    b->Action = [this, i] { numk_Action(i); };
    b->KeyDown = [this, i](const std::string& key) { return numk_KeyDown(i, key); };
    numk[i] = b;
  }

  kabort = makeKey(c, 10, 217, 45, 30);
  kabort->MouseDown = [this](int x, int y) { return kabort_MouseDown(x, y); };
  kabort->KeyDown = [this](const std::string& key) { return kabort_KeyDown(key); };
  kok = makeKey(c, 125, 217, 45, 30);
  kok->MouseDown = [this](int x, int y) { return kok_MouseDown(x, y); };
}

void keybd::Event_Open() {
  config::getwindowpoz(*this);
  for (int i = 0; i < 10; ++i) numk[i]->SetCaption(fw::Chr(48 + i));
  poz->highlight = true;
  poz->offcolor = 0xFFFFFF;
  kabort->setcolor("red");
  kabort->lit = true;
  kok->lit = true;
  kok->textsize = 12;
  kabort->textsize = 12;
  // Last, so each key is drawn once with the looks set above.
  kabort->setcaption("Abort");
  kok->setcaption("OK");
  poz->setcaption(kZero);
}

void keybd::Event_Activate() {
  // Each showing starts unconfirmed, on the first minutes digit, from the
  // text the last showing left.
  kvalid = false;
  cursor = 3;
  poz->setkursor(3);
  poz->SetFocus();
}

void keybd::Event_Close() { config::putwindowpoz(*this); }

void keybd::Event_CloseRequest() { kabort_MouseDown(0, 0); }

bool keybd::poz_KeyDown(const std::string& key) {
  kdown(key);
  return false;
}

void keybd::numk_Action(int index) { addkey(fw::Chr(48 + index)); }

bool keybd::numk_KeyDown(int index, const std::string& key) {
  (void)index;
  kdown(key);
  return false;
}

void keybd::decpoz_Action() { decpoz1(); }

bool keybd::decpoz_KeyDown(const std::string& key) {
  kdown(key);
  return false;
}

void keybd::BevelButton4_Action() {
  cursor = 0;
  poz->setkursor(0);
  poz->setcaption(kZero);
}

bool keybd::BevelButton4_KeyDown(const std::string& key) {
  kdown(key);
  return false;
}

void keybd::incpoz_Action() { incpoz1(); }

bool keybd::incpoz_KeyDown(const std::string& key) {
  kdown(key);
  return false;
}

void keybd::BevelButton6_Action() { deckursor(); }

void keybd::BevelButton7_Action() { inckursor(); }

bool keybd::kabort_MouseDown(int x, int y) {
  (void)x;
  (void)y;
  kvalid = false;
  Hide();
  return false;
}

bool keybd::kabort_KeyDown(const std::string& key) {
  kdown(key);
  return false;
}

bool keybd::kok_MouseDown(int x, int y) {
  (void)x;
  (void)y;
  kvalid = true;
  Hide();
  return false;
}

// The cursor steps over the colons (2, 5, 8) and stops at both ends.
void keybd::inckursor() {
  ++cursor;
  if (cursor == 2 || cursor == 5 || cursor == 8)
    ++cursor;
  else if (cursor == 11)
    cursor = 10;
  poz->setkursor(cursor);
}

void keybd::deckursor() {
  --cursor;
  if (cursor == -1)
    cursor = 0;
  else if (cursor == 2 || cursor == 5 || cursor == 8)
    --cursor;
  poz->setkursor(cursor);
}

// Replaces the character under the cursor with the digit. A caption too
// short to reach the cursor gets the digit at its end instead.
void keybd::addkey(const std::string& key) {
  const std::string& t = poz->caption;
  const size_t at = static_cast<size_t>(std::max(cursor, 0));
  std::string next = t.substr(0, std::min(at, t.size()));
  next += key.substr(0, 1);
  if (at + 1 < t.size()) next += t.substr(at + 1);
  poz->setcaption(next);
  inckursor();
}

void keybd::decpoz1() { poz->setcaption(cbsr::dectcstr(poz->caption, tcstd)); }

void keybd::incpoz1() { poz->setcaption(cbsr::inctcstr(poz->caption, tcstd)); }

void keybd::kdown(const std::string& key) {
  switch (const int k = fw::AscB(key)) {
    case 13:
      kvalid = true;
      Hide();
      break;
    case 27:
      kvalid = false;
      Hide();
      break;
    case 28: deckursor(); break;
    case 29: inckursor(); break;
    case 30: incpoz1(); break;
    case 31: decpoz1(); break;
    default:
      if (k >= '0' && k <= '9') addkey(key);
      break;
  }
}
