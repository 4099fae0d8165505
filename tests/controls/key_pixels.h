// What a drawn key's picture shows, for the control tests: one pixel, the body colour
// (left of any caption), and how many pixels inside the outline (corners left out) have a colour.
#pragma once
#include "controls/cbkey.h"

namespace vxtest {

inline uint32_t px(const cbkey* k, int x, int y) { return k->Backing().pixel(x, y) & 0xFFFFFF; }
inline uint32_t body(const cbkey* k) { return px(k, 2, k->Height() / 2); }
inline int ink(const cbkey* k, uint32_t rgb) {
  int n = 0;
  for (int y = 1; y < k->Height() - 1; ++y)
    for (int x = 4; x < k->Width() - 4; ++x) n += px(k, x, y) == rgb;
  return n;
}

}  // namespace vxtest
