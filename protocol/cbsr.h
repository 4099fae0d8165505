#pragma once
// Protocol primitives shared by both serial sides and the key panels:
// timecode text and frame counts, BCD time data, the 9-pin checksum, bit
// maps over byte arrays and serial port lookup by name. No state.
//
// A 9-pin message (s9frame): CMD1 (high nibble the group, low nibble the
// number N of data bytes), CMD2, N data bytes, and a checksum that is the
// low 8 bits of the sum of the bytes before it. Messages are byte strings,
// one char per byte.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace cbsr {

// Timecode text "HH:MM:SS:FF" of a frame count at the rate selector tcstd
// (0: 25 frames/s, 1: 30 frames/s non-drop; any other: "00:00:00:00").
// Every count is first wrapped into one day.
std::string frms2str(double frames, int32_t tcstd);
// Decimal text of n with at least two characters ("07", "-5", "100").
std::string i2s(int64_t n);
// Frame count of a timecode text, fields taken by position, unvalidated.
int32_t str2frms(std::string_view tc, int32_t tcstd);
std::string inctcstr(std::string_view tc, int32_t tcstd);
std::string dectcstr(std::string_view tc, int32_t tcstd);
// buf followed by the four BCD time bytes of tc: frames, seconds, minutes, hours.
std::string appendtcstr(std::string buf, std::string_view tc);
// BCD byte of a decimal text 0..99.
uint8_t bcdchr(std::string_view s);
// Two characters, one per nibble, code 48 + nibble (unmasked).
std::string bcd2text(uint8_t b);

// s followed by its checksum byte; only the bytes CMD1 counts (and that
// are present) are added.
std::string appendsum(std::string s);
// Reply (no checksum) to a sense request for bytes of data: CMD1 0x70 +
// count, cmd2, then count bytes from start, where start and count are the
// high and low nibbles of the request's data byte. A request reaching past
// the data gets the bytes that exist, its count lowered to match.
std::string sensereply(uint8_t cmd2, std::span<const uint8_t> data, uint8_t request);
// The mask 1 << n for n 0..7, else 0.
uint8_t getbit(int32_t n);
// Bit k of a bit map (byte k / 8, mask 1 << k % 8); bits outside read 0.
bool isbitset(std::span<const uint8_t> b, int32_t k);
// Inverts bit k and returns its new state; bits outside change nothing
// and read 0.
bool xorbit(std::span<uint8_t> b, int32_t k);

// Index of the machine's serial port whose Name equals name ignoring
// case, or -1.
int32_t getserialnum(std::string_view name);

}  // namespace cbsr
