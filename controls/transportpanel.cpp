#include "controls/transportpanel.h"

#include <QPointer>

#include "controls/keybd.h"
#include "controls/tckey.h"
#include "protocol/cbsr.h"

namespace {
// Design places of the keys; alignsize replaces them when the panel opens.
constexpr std::array<int, 5> kDesignLefts{13, 75, 143, 217, 279};
constexpr int kDesignTopLow = 12, kDesignTopHigh = 49, kDesignW = 50, kDesignH = 25;
// TallyCode of each key by index; keys 0 and 1 carry none and stay hidden.
constexpr std::array<int32_t, 10> kTags{0, 0, tally::kGoto, tally::kRecordOff, tally::kRecordOn,
                                        tally::kRewind, tally::kReverse, tally::kStop, tally::kPlay,
                                        tally::kFastForward};
}  // namespace

// The constructor runs this class's own hooks (virtual calls do not reach
// subclasses from here, and none is meant to).
transportpanel::transportpanel(QWidget* parent) : fw::ContainerControl(parent) {
  Layout();
  CreateControls();
}

void transportpanel::Layout() { resize(349, 86); }

void transportpanel::CreateControls() {
  for (int i = 0; i < 10; ++i) {
    auto* key = cbkey::create(this, "tkey1", i);
    key->SetBounds(kDesignLefts[i % 5], i < 5 ? kDesignTopLow : kDesignTopHigh, kDesignW, kDesignH);
    key->MouseDown = [this, i](int x, int y) { return tkey1_MouseDown(i, x, y); };
    tkey1[i] = key;
  }
}

void transportpanel::Event_Open() { alignsize(); }

void transportpanel::alignsize() {
  // Two rows of five keys, 4 pixels apart, none at the panel's edges.
  const int h = (Height() - 4) / 2;
  const int w = (Width() - 16) / 5;
  for (int i = 0; i < 10; ++i) tkey1[i]->Tag = kTags[i];
  for (int i = 0; i < 10; ++i) {
    cbkey* key = tkey1[i];
    key->SetWidth(w);
    key->setheight(h);
    key->SetLeft((i % 5) * (w + 4));
    key->SetTop((i / 5) * (h + 4));
    key->SetVisible(key->Tag != 0);
    key->tag2caption();
  }
}

bool transportpanel::tkey1_MouseDown(int index, int x, int y) {
  (void)x;
  (void)y;
  const int32_t tag = tkey1[index]->Tag;
  if (tag == tally::kGoto) {
    // The keypad's nested event loop may outlive this panel or the keypad
    // (the main window closing meanwhile): look again before touching them.
    QPointer<transportpanel> self(this);
    QPointer<keybd> pad(&keybd::instance());
    pad->ShowModal();
    if (!self || !pad || !pad->kvalid) return false;
    lastlocate = pad->poz->caption;
  }
  tcmd = tag;
  if (tag < tally::kGoto) settally(tag);
  // Record only from the On key while the play lamp is lit.
  setrecord(ttally == tally::kPlay && tcmd == tally::kRecordOn);
  newcmd = true;
  return false;
}

void transportpanel::updtally() {
  for (cbkey* key : tkey1) {
    const int32_t tag = key->Tag;
    if (tag == tally::kRecordOn)
      key->setlit(record);
    else if (tag == tally::kRecordOff)
      key->setlit(!record);
    else if (tag == tally::kGoto)
      key->setlit(false);
    else if (tag < tally::kGoto)
      key->setlit(tag == ttally);
  }
}

std::string transportpanel::buildcmd() {
  newcmd = false;
  std::string msg;
  switch (tcmd) {
    case tally::kStop: msg = {'\x20', '\x00'}; break;
    case tally::kPlay: msg = {'\x20', '\x01'}; break;
    case tally::kReverse: msg = {'\x21', '\x21', '\x40'}; break;
    case tally::kFastForward: msg = {'\x20', '\x10'}; break;
    case tally::kRewind: msg = {'\x20', '\x20'}; break;
    case tally::kGoto: msg = cbsr::appendtcstr({'\x24', '\x31'}, lastlocate); break;
    case tally::kRecordOn: msg = {'\x20', '\x65'}; break;
    case tally::kRecordOff: msg = {'\x20', '\x64'}; break;
    default: return {};
  }
  return cbsr::appendsum(msg);
}

void transportpanel::setrecord(bool b) {
  if (b == record) return;
  record = b;
  updtally();
}

void transportpanel::settally(int32_t t) {
  if (t == ttally) return;
  ttally = t;
  updtally();
}
