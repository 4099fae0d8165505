#include "protocol/rxring.h"

void rxring::receive(std::string_view bytes, FrameArray& frame, const std::function<void()>& handler) {
  for (const char c : bytes) {
    // A full ring would make the next byte look like an empty one: cut the
    // frames out first. That always frees room, since a candidate is at
    // most 18 bytes long and is either handed over or loses its first byte.
    if (unread() == kCells - 1) takeFrames(frame, handler);
    cells[in] = static_cast<uint8_t>(c);
    in = static_cast<uint8_t>((in + 1) % kCells);
  }
  takeFrames(frame, handler);
}

void rxring::takeFrames(FrameArray& frame, const std::function<void()>& handler) {
  while (in != out) {
    const int n = cells[out] % 16 + 2;  // CMD1, CMD2 and the data bytes
    if (unread() < n + 1) break;        // incomplete: wait for more bytes
    uint8_t sum = 0;
    for (int i = 0; i < n; ++i) {
      const uint8_t b = cells[(out + i) % kCells];
      frame[static_cast<size_t>(i)] = b;
      sum = static_cast<uint8_t>(sum + b);
    }
    if (sum == cells[(out + n) % kCells]) {
      if (handler) handler();
      out = static_cast<uint8_t>((out + n + 1) % kCells);
    } else {
      out = static_cast<uint8_t>((out + 1) % kCells);
    }
  }
}
