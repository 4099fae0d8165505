#include "framework/strings.h"

#include <limits>

namespace fw {

std::string Chr(int v) { return std::string(1, static_cast<char>(static_cast<unsigned char>(v & 0xFF))); }

int AscB(std::string_view s) { return s.empty() ? 0 : static_cast<unsigned char>(s.front()); }

static char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (lowerAscii(a[i]) != lowerAscii(b[i])) return false;
  return true;
}

std::string Str(long long n) { return std::to_string(n); }

long long Val(std::string_view s) {
  size_t i = 0;
  while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '-' || s[i] == '+')) negative = s[i++] == '-';
  constexpr long long limit = std::numeric_limits<long long>::max() / 10 - 10;
  long long v = 0;
  for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
    if (v > limit) break;  // saturate: far beyond any value the program uses
    v = v * 10 + (s[i] - '0');
  }
  return negative ? -v : v;
}

}  // namespace fw
