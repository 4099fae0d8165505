#pragma once
// The settings: up to 128 key/value pairs of text, loaded once from the
// settings file and written back whole. The file has 256 lines: key of
// pair 0, its value, key of pair 1, ... Keys compare ignoring case.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace fw {
class Window;
}

namespace config {

inline constexpr int kPairs = 128;

extern std::string filename;
extern std::array<std::string, 2 * kPairs> parray;
extern bool cfound;

// Sets the file name and loads the file when it exists and can be read.
void initconfig(const std::string& fname);
// The pair of key, or the first free pair when absent (cfound False);
// -1 when the key is absent and every pair holds another key.
int32_t findconfig(std::string_view key);
std::string getstring(std::string_view key);
int32_t getint(std::string_view key);
void putconfig(std::string_view key, const std::string& value);
void putconfig(std::string_view key, int32_t value);
// Writes the whole table. The previous file stays whole when this fails,
// unless the folder refused a temporary file and the file was being
// written in place. A value is written up to its first CR or LF.
bool saveconfig();
void getwindowpoz(fw::Window& w);
void putwindowpoz(fw::Window& w);
// Back to the start of the run: empty table, no file name (tests).
void reset();

}  // namespace config
