#include "settings/config.h"

#include <limits>
#include <memory>

#include "framework/files.h"
#include "framework/strings.h"
#include "framework/window.h"

namespace config {

std::string filename;
std::array<std::string, 2 * kPairs> parray;
bool cfound = false;

void initconfig(const std::string& fname) {
  filename = fname;
  const fw::FolderItem f = fw::GetFolderItem(filename);
  if (!f.Exists()) return;
  std::unique_ptr<fw::TextInputStream> in = f.OpenAsTextFile();
  if (!in) return;  // exists but cannot be opened (a directory, no permission)
  // Read into a fresh table and take it only when the whole read went well,
  // so a file that fails half way leaves nothing half loaded.
  std::array<std::string, 2 * kPairs> table;
  for (auto& element : table)
    if (!in->AtEOF()) element = in->ReadLine();
  if (in->Failed()) return;
  parray = std::move(table);
}

int32_t findconfig(std::string_view key) {
  cfound = false;
  for (int32_t k = 0; k < kPairs; ++k) {
    const std::string& stored = parray[static_cast<size_t>(2 * k)];
    if (stored.empty()) return k;  // the free pair for a new key
    if (fw::EqualsIgnoreCase(stored, key)) {
      cfound = true;
      return k;
    }
  }
  return -1;  // every pair holds another key: no room
}

std::string getstring(std::string_view key) {
  const int32_t k = findconfig(key);
  return cfound ? parray[static_cast<size_t>(2 * k + 1)] : std::string();
}

int32_t getint(std::string_view key) {
  const long long v = fw::Val(getstring(key));
  if (v < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
  if (v > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(v);
}

void putconfig(std::string_view key, const std::string& value) {
  const int32_t k = findconfig(key);
  if (k < 0) return;  // table full: the new key is not stored
  parray[static_cast<size_t>(2 * k)] = std::string(key);
  parray[static_cast<size_t>(2 * k + 1)] = value;
}

void putconfig(std::string_view key, int32_t value) { putconfig(key, fw::Str(value)); }

bool saveconfig() {
  std::unique_ptr<fw::TextOutputStream> out = fw::GetFolderItem(filename).CreateTextFile();
  if (!out) return false;
  for (const auto& element : parray) out->WriteLine(element);
  return out->Close();  // the old file is replaced only when all went well
}

void getwindowpoz(fw::Window& w) {
  const std::string title = w.Title();
  const int32_t x = getint(title + "_left");
  if (cfound) w.SetLeft(x);
  const int32_t y = getint(title + "_top");
  if (cfound) w.SetTop(y);
}

void putwindowpoz(fw::Window& w) {
  const std::string title = w.Title();
  putconfig(title + "_left", static_cast<int32_t>(w.Left()));
  putconfig(title + "_top", static_cast<int32_t>(w.Top()));
}

void reset() {
  filename.clear();
  for (auto& element : parray) element.clear();
  cfound = false;
}

}  // namespace config
