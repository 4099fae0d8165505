// The keypad's key dispatch over arbitrary key sequences: the text stays a
// timecode's 11 characters, the cursor stays on a digit, and stepping by a
// frame always gives a valid time of the rate.
#include <cstdlib>
#include <string>

#include "controls/keybd.h"
#include "fuzz/fuzz_window.h"

namespace {

constexpr uint8_t kReset = 0xFD, kInc = 0xFE, kDec = 0xFF;

bool twoDigits(const std::string& s, size_t at, int below) {
  const char a = s[at], b = s[at + 1];
  if (a < '0' || a > '9' || b < '0' || b > '9') return false;
  return (a - '0') * 10 + (b - '0') < below;
}

// "HH:MM:SS:FF" within one day of the rate; only zero for an unknown rate.
bool validTimecode(const std::string& s, int tcstd) {
  if (tcstd != 0 && tcstd != 1) return s == "00:00:00:00";
  if (s.size() != 11 || s[2] != ':' || s[5] != ':' || s[8] != ':') return false;
  return twoDigits(s, 0, 24) && twoDigits(s, 3, 60) && twoDigits(s, 6, 60) && twoDigits(s, 9, tcstd == 0 ? 25 : 30);
}

void check(const keybd& k) {
  vxfuzz::Require(k.poz->caption.size() == 11, "the keypad text is not 11 characters");
  const int c = k.cursor;
  vxfuzz::Require(c >= 0 && c <= 10 && c != 2 && c != 5 && c != 8, "the keypad cursor left the digits");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  vxfuzz::InitQt();
  keybd::instance();
  return 0;
}

// Byte 0 picks the rate; every further byte is a key, or Reset, + or -.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  keybd& k = keybd::instance();
  k.tcstd = static_cast<uint8_t>(data[0] % 3);
  k.BevelButton4_Action();
  check(k);
  for (size_t i = 1; i < size; ++i) {
    const uint8_t b = data[i];
    if (b == kReset) {
      k.BevelButton4_Action();
    } else if (b == kInc || b == kDec) {
      b == kInc ? k.incpoz_Action() : k.decpoz_Action();
      vxfuzz::Require(validTimecode(k.poz->caption, k.tcstd), "a frame step gave an invalid time");
    } else {
      k.kdown(std::string(1, static_cast<char>(b)));
      if (b == 30 || b == 31)
        vxfuzz::Require(validTimecode(k.poz->caption, k.tcstd), "a frame step gave an invalid time");
    }
    check(k);
  }
  return 0;
}
