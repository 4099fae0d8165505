#pragma once
// Byte-string helpers. Strings in this program are std::string; outgoing
// serial messages use one char per byte, so values 0x80..0xFF are kept raw.
#include <cstdint>
#include <string>
#include <string_view>

namespace fw {

// One-byte string holding the value v (0..255).
std::string Chr(int v);
// Value 0..255 of the first byte of s; 0 for the empty string.
int AscB(std::string_view s);
// The system's string comparison: equal ignoring ASCII letter case.
bool EqualsIgnoreCase(std::string_view a, std::string_view b);
// Decimal text of n, "-" in front when negative.
std::string Str(long long n);
// Whole-number value of a decimal text, read like the original runtime's
// Val: leading blanks skipped, optional sign, then digits up to the first
// non-digit; anything unreadable gives 0. Saturates instead of overflowing.
long long Val(std::string_view s);

}  // namespace fw
