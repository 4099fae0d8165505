#include "protocol/cbsr.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "framework/serial.h"
#include "framework/strings.h"

namespace cbsr {

namespace {

struct Rate {
  int64_t second, minute, hour, day;
};

// Frames per second, minute, hour and day; false for an unknown selector.
bool rateOf(int32_t tcstd, Rate& r) {
  if (tcstd == 0) r = {25, 1500, 90000, 2160000};
  else if (tcstd == 1) r = {30, 1800, 108000, 2592000};
  else return false;
  return true;
}

// Characters from 0-based position pos, at most len of them; whatever of
// them exists (short text reads as less text, never past its end).
std::string_view mid(std::string_view s, size_t pos, size_t len) {
  if (pos >= s.size()) return {};
  return s.substr(pos, len);
}

std::string_view lastTwo(std::string_view s) { return s.size() <= 2 ? s : s.substr(s.size() - 2); }

}  // namespace

std::string frms2str(double frames, int32_t tcstd) {
  Rate r{};
  if (!rateOf(tcstd, r)) return "00:00:00:00";
  // NaN and infinities have no whole-number value: they read as 0.
  double f = std::isfinite(frames) ? frames : 0.0;
  if (f < 0) f += static_cast<double>(r.day);
  // A true modulo, so any count (also far below one day back, or huge)
  // lands in one day; fmod of a whole double is exact.
  double w = std::fmod(std::trunc(f), static_cast<double>(r.day));
  if (w < 0) w += static_cast<double>(r.day);
  int64_t n = static_cast<int64_t>(w);
  const int64_t hours = n / r.hour;
  n %= r.hour;
  const int64_t minutes = n / r.minute;
  n %= r.minute;
  const int64_t seconds = n / r.second;
  const int64_t frms = n % r.second;
  return i2s(hours) + ":" + i2s(minutes) + ":" + i2s(seconds) + ":" + i2s(frms);
}

std::string i2s(int64_t n) {
  std::string s = fw::Str(n);
  return s.size() == 1 ? "0" + s : s;
}

int32_t str2frms(std::string_view tc, int32_t tcstd) {
  Rate r{};
  if (!rateOf(tcstd, r)) return 0;
  // Two-character fields hold at most 99 or -9, so the sum fits easily.
  const int64_t total = fw::Val(mid(tc, 0, 2)) * r.hour + fw::Val(mid(tc, 3, 2)) * r.minute +
                        fw::Val(mid(tc, 6, 2)) * r.second + fw::Val(lastTwo(tc));
  return static_cast<int32_t>(total);
}

std::string inctcstr(std::string_view tc, int32_t tcstd) {
  return frms2str(static_cast<double>(str2frms(tc, tcstd)) + 1, tcstd);
}

std::string dectcstr(std::string_view tc, int32_t tcstd) {
  return frms2str(static_cast<double>(str2frms(tc, tcstd)) - 1, tcstd);
}

std::string appendtcstr(std::string buf, std::string_view tc) {
  buf.push_back(static_cast<char>(bcdchr(lastTwo(tc))));
  buf.push_back(static_cast<char>(bcdchr(mid(tc, 6, 2))));
  buf.push_back(static_cast<char>(bcdchr(mid(tc, 3, 2))));
  buf.push_back(static_cast<char>(bcdchr(mid(tc, 0, 2))));
  return buf;
}

uint8_t bcdchr(std::string_view s) {
  const long long v = fw::Val(s);
  // Unsigned arithmetic keeps the low byte of any value without overflow.
  const uint64_t b = static_cast<uint64_t>(v / 10) * 16u + static_cast<uint64_t>(v % 10);
  return static_cast<uint8_t>(b & 0xFF);
}

std::string bcd2text(uint8_t b) {
  std::string s;
  s.push_back(static_cast<char>(48 + b / 16));
  s.push_back(static_cast<char>(48 + (b & 15)));
  return s;
}

std::string appendsum(std::string s) {
  const size_t counted = static_cast<size_t>(fw::AscB(s) % 16) + 2;
  const size_t present = counted < s.size() ? counted : s.size();
  unsigned sum = 0;
  for (size_t i = 0; i < present; ++i) sum += static_cast<unsigned char>(s[i]);
  s.push_back(static_cast<char>(sum & 0xFF));
  return s;
}

std::string sensereply(uint8_t cmd2, std::span<const uint8_t> data, uint8_t request) {
  const size_t start = std::min<size_t>(request >> 4, data.size());
  const size_t count = std::min<size_t>(request & 0x0F, data.size() - start);
  std::string reply{static_cast<char>(0x70 + count), static_cast<char>(cmd2)};
  for (size_t i = start; i < start + count; ++i) reply.push_back(static_cast<char>(data[i]));
  return reply;
}

uint8_t getbit(int32_t n) { return (n >= 0 && n <= 7) ? static_cast<uint8_t>(1u << n) : 0; }

namespace {
// Byte index of bit k, or -1 when the bit lies outside a map of size bytes.
int64_t byteOf(size_t size, int32_t k) {
  if (k < 0) return -1;
  const int64_t i = k / 8;
  return i < static_cast<int64_t>(size) ? i : -1;
}
}  // namespace

bool isbitset(std::span<const uint8_t> b, int32_t k) {
  const int64_t i = byteOf(b.size(), k);
  return i >= 0 && (b[static_cast<size_t>(i)] & getbit(k % 8)) != 0;
}

bool xorbit(std::span<uint8_t> b, int32_t k) {
  const int64_t i = byteOf(b.size(), k);
  if (i < 0) return false;
  uint8_t& byte = b[static_cast<size_t>(i)];
  byte = static_cast<uint8_t>(byte ^ getbit(k % 8));
  return (byte & getbit(k % 8)) != 0;
}

int32_t getserialnum(std::string_view name) {
  const int count = fw::SerialPortCount();
  if (count < 1) return -1;
  for (int i = 0; i < count; ++i)
    if (fw::EqualsIgnoreCase(fw::SerialPort(i).Name, name)) return i;
  return -1;
}

}  // namespace cbsr
