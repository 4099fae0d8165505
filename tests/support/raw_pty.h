#pragma once
// A raw pseudo-terminal pair for tests, fuzz targets and benchmarks: the
// program opens path (the port end), the peer holds far.
#include <string>

namespace vxtest {

struct RawPty {
  int far = -1;
  int port = -1;
  std::string path;
};

// Opens a pair with the port end in raw mode (no echo, no line editing), so
// bytes pass unchanged before the program sets its own line settings. False
// when no pseudo-terminal can be made.
bool OpenRawPty(RawPty& pty);

}  // namespace vxtest
