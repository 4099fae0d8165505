#pragma once
// Helpers of the stress tests: reading a stream of 9-pin messages and the
// frames a fresh receive ring finds in a byte stream.
#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "protocol/rxring.h"

namespace vxstress {

// Cuts the whole messages (CMD1's count plus three bytes) off the front of
// stream; an incomplete one stays.
inline std::vector<std::string> TakeMessages(std::string& stream) {
  std::vector<std::string> msgs;
  size_t at = 0;
  while (at < stream.size()) {
    const size_t len = static_cast<uint8_t>(stream[at]) % 16 + 3;
    if (stream.size() - at < len) break;
    msgs.push_back(stream.substr(at, len));
    at += len;
  }
  stream.erase(0, at);
  return msgs;
}

inline bool ChecksumOk(std::string_view msg) {
  uint8_t sum = 0;
  for (size_t i = 0; i + 1 < msg.size(); ++i) sum = static_cast<uint8_t>(sum + static_cast<uint8_t>(msg[i]));
  return !msg.empty() && sum == static_cast<uint8_t>(msg.back());
}

inline std::string FrameBytes(const FrameArray& frame) {
  return std::string(reinterpret_cast<const char*>(frame.data()), frame[0] % 16 + 2);
}

// The frames (without checksum) a fresh ring hands over for stream read at once.
inline std::vector<std::string> ReferenceFrames(std::string_view stream) {
  std::vector<std::string> frames;
  rxring ring;
  FrameArray frame{};
  ring.receive(stream, frame, [&] { frames.push_back(FrameBytes(frame)); });
  return frames;
}

inline std::string RandomBytes(std::mt19937& rng, size_t n) {
  std::uniform_int_distribution<int> byte(0, 255);
  std::string s(n, '\0');
  for (char& c : s) c = static_cast<char>(byte(rng));
  return s;
}

// Whether needles appear in haystack in order (not necessarily adjacent).
inline bool InOrder(const std::vector<std::string>& needles, const std::vector<std::string>& haystack) {
  size_t at = 0;
  for (const std::string& h : haystack)
    if (at < needles.size() && h == needles[at]) ++at;
  return at == needles.size();
}

}  // namespace vxstress
