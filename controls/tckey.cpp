#include "controls/tckey.h"

#include "protocol/cbsr.h"

namespace {

// Byte i of a received frame; cells past its end read as 0.
uint8_t byteAt(std::span<const uint8_t> msg, size_t i) { return i < msg.size() ? msg[i] : 0; }

// Status data indexes that carry meaning for the deck model.
constexpr size_t kD1 = 1, kD2 = 2, kD4 = 4, kD5 = 5, kD12 = 12;

}  // namespace

tckey::tckey(QWidget* parent) : cbkey(parent) {}

// ---- position and display ----

void tckey::setframes(double f) {
  frames = f;
  update();
}

// Shows the position. The text is always the one-day text of the count,
// however far the count has run; the count itself is kept as it is.
void tckey::update() {
  caption = cbsr::frms2str(frames, tcstd);
  redraw();
}

void tckey::setstd(int32_t i) {
  tcstd = i;
  frames = cbsr::str2frms(caption, tcstd);
  update();
}

void tckey::inc() {
  frames += 1;
  update();
}

void tckey::dec() {
  frames -= 1;
  update();
}

void tckey::setpoz(const std::string& s) {
  frames = cbsr::str2frms(s, tcstd);
  update();
}

// One 50 ms tick of motion, in whole frames.
void tckey::adjpoz() {
  if (speed == 0) return;
  setframes(frames + speed / 100);
}

void tckey::init() {
  lit = true;
  caption = "00:00:00:00";
}

// ---- transport state ----

void tckey::cmdin(int32_t code) {
  // Speed of each transport state 1..6 (stop, still, play, reverse, fast
  // forward, rewind), in hundredths of a frame per tick.
  static constexpr std::array<int32_t, 7> kSpeeds{0, 0, 0, 100, -100, 3000, -3000};
  if (code >= tally::kStop && code <= tally::kRewind) {
    tally = code;
    speed = kSpeeds[static_cast<size_t>(code)];
  } else if (code == tally::kGoto) {
    tally = tally::kStop;
    speed = 0;
    cued = true;
  } else if (code == tally::kRecordOn || code == tally::kRecordOff) {
    record = code == tally::kRecordOn;
  }
  // A deck that moves has left its cue point; it records only in forward play.
  if (speed != 0) cued = false;
  if (speed != 100) record = false;
  updstatusarray();
}

void tckey::settally(int32_t n) { tally = n; }

void tckey::setrecord(bool b) {
  record = b;
  updstatusarray();
}

void tckey::updstatusarray() {
  uint8_t& d1 = statusarray[kD1];
  uint8_t& d2 = statusarray[kD2];
  switch (tally) {
    case tally::kStop: d1 = 0xA0; d2 = 0x02; break;
    case tally::kStill: d1 = 0x80; d2 = 0x12; break;
    case tally::kPlay: d1 = 0x81; d2 = 0x80; break;
    case tally::kReverse: d1 = 0x80; d2 = 0x0C; break;
    case tally::kFastForward: d1 = 0x84; d2 = 0x00; break;
    case tally::kRewind: d1 = 0x88; d2 = 0x04; break;
    default: break;  // no transport code yet: D1 and D2 stay
  }
  if (record) {
    d1 |= 0x02;
    statusarray[kD4] = 0x10;
  } else {
    // Also before the first transport code, which leaves D1 as it was above.
    d1 &= static_cast<uint8_t>(~0x02);
    statusarray[kD4] = 0x00;
  }
  if (cued) d2 |= 0x01;
}

// ---- received data ----

void tckey::parsepoztally(std::span<const uint8_t> msg) {
  // Time bytes frames, seconds, minutes, hours; taken unmasked, as text.
  const std::string text = cbsr::bcd2text(byteAt(msg, 5)) + ":" + cbsr::bcd2text(byteAt(msg, 4)) + ":" +
                           cbsr::bcd2text(byteAt(msg, 3)) + ":" + cbsr::bcd2text(byteAt(msg, 2));
  setpoz(text);
}

void tckey::s9in2x(std::span<const uint8_t> msg) {
  switch (byteAt(msg, 1)) {
    case 0x00: cmdin(tally::kStop); break;
    case 0x01: cmdin(tally::kPlay); break;
    case 0x10: cmdin(tally::kFastForward); break;
    case 0x20: cmdin(tally::kRewind); break;
    case 0x21:
      if (byteAt(msg, 2) == 0x40) cmdin(tally::kReverse);
      break;
    case 0x31:
      cmdin(tally::kGoto);
      parsepoztally(msg);
      break;
    case 0x64: setrecord(false); break;
    case 0x65: setrecord(true); break;
    default: break;
  }
}

void tckey::parsestatus(std::span<const uint8_t> msg) {
  // The data count of CMD1 is at most 15, so D15 is never written.
  const size_t n = byteAt(msg, 0) & 0x0F;
  bool changed = false;
  for (size_t i = 0; i < n; ++i) {
    const uint8_t v = byteAt(msg, i + 2);
    if (statusarray[i] != v) {
      statusarray[i] = v;
      changed = true;
    }
  }
  if (!changed) return;

  statuschange = true;
  const uint8_t d1 = statusarray[kD1];
  switch (d1 & 0x3D) {  // play, ff, rewind, (bit 4), stop: exactly one decides
    case 0x01: settally(tally::kPlay); break;
    case 0x04: settally(tally::kFastForward); break;
    case 0x08: settally(tally::kRewind); break;
    case 0x20: settally(tally::kStop); break;
    default: break;
  }
  record = (d1 & 0x02) != 0 || (statusarray[kD4] & 0x10) != 0;
  cued = (statusarray[kD2] & 0x01) != 0;
}

// ---- replies ----

std::string tckey::buildpoztally(uint8_t x) {
  (void)x;  // every time sense request gets the same time data
  return cbsr::appendtcstr(std::string{'\x74', '\x04'}, caption);
}

// Status bytes D(start) onward, cut at D15.
std::string tckey::buildstatustally(uint8_t d) { return cbsr::sensereply(0x20, statusarray, d); }

void tckey::rec2status(std::span<const uint8_t> a) {
  statusarray[kD5] = byteAt(a, 0);
  statusarray[kD12] = byteAt(a, 1);
}
