#include "tests/support/raw_pty.h"

#include <pty.h>
#include <termios.h>

namespace vxtest {

bool OpenRawPty(RawPty& pty) {
  char name[256] = {};
  if (::openpty(&pty.far, &pty.port, name, nullptr, nullptr) != 0) return false;
  pty.path = name;
  termios tio{};
  ::tcgetattr(pty.port, &tio);
  ::cfmakeraw(&tio);
  ::tcsetattr(pty.port, TCSANOW, &tio);
  return true;
}

}  // namespace vxtest
