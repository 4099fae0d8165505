// The settings file over arbitrary content: loading never fails badly, and
// the table it gives is saved as 256 lines and loads again unchanged.
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "framework/files.h"
#include "fuzz/fuzz_window.h"
#include "settings/config.h"

namespace {
constexpr const char* kFile = "vornadex.ini";

std::string readWhole(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  vxfuzz::InitQt();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = fw::GetFolderItem(kFile).Path();
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  config::reset();
  config::initconfig(kFile);
  const auto loaded = config::parray;
  for (int k = 0; k < config::kPairs; ++k) config::getint(loaded[static_cast<size_t>(2 * k)]);

  vxfuzz::Require(config::saveconfig(), "the settings could not be saved");
  const std::string saved = readWhole(path);
  size_t lines = 0;
  for (const char c : saved) lines += c == '\n';
  vxfuzz::Require(lines == 2 * config::kPairs && saved.ends_with('\n'), "the saved file has not 256 lines");

  config::reset();
  config::initconfig(kFile);
  vxfuzz::Require(config::parray == loaded, "the saved table loads as another table");
  config::reset();
  return 0;
}
