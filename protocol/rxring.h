#pragma once
// One serial port's receive ring and the frame loop that cuts it into
// 9-pin frames. Every candidate is copied into the frame array before its
// checksum is tested; each good frame is handed to the frame handler once,
// in arrival order, before the read position moves past it. A checksum
// mismatch drops one byte; an incomplete candidate waits for more bytes.
#include <array>
#include <cstdint>
#include <functional>
#include <string_view>

using FrameArray = std::array<uint8_t, 21>;

struct rxring {
  static constexpr int kCells = 128;

  std::array<uint8_t, kCells> cells{};
  uint8_t in = 0;   // write position, 0..127
  uint8_t out = 0;  // read position, 0..127

  // Number of unread bytes.
  int unread() const { return (in - out + kCells) % kCells; }

  // Stores the bytes of one read and hands every good frame to handler,
  // with the frame (CMD1, CMD2, data; no checksum) in frame. Frames are
  // taken out while a long read is being stored, so no byte is lost
  // however many arrive at once.
  void receive(std::string_view bytes, FrameArray& frame, const std::function<void()>& handler);

 private:
  void takeFrames(FrameArray& frame, const std::function<void()>& handler);
};
