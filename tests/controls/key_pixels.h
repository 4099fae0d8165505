// What a drawn key's picture shows, for the control tests.
#pragma once
#include "controls/cbkey.h"

namespace vxtest {

// The colour of one pixel of the key's picture, and its body colour (left of any caption).
inline uint32_t px(const cbkey* k, int x, int y) { return k->Backing().pixel(x, y) & 0xFFFFFF; }
inline uint32_t body(const cbkey* k) { return px(k, 2, k->Height() / 2); }

// How many pixels inside the outline (corners left out) have the colour.
inline int ink(const cbkey* k, uint32_t rgb) {
  int n = 0;
  for (int y = 1; y < k->Height() - 1; ++y)
    for (int x = 4; x < k->Width() - 4; ++x) n += px(k, x, y) == rgb;
  return n;
}

}  // namespace vxtest
