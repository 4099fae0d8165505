// The device side's receive path over arbitrary bytes in arbitrary reads,
// with ticks between them: frames handed to parsecmda are good, and every
// reply written to the controller is a well-formed message.
#include <cstdlib>

#include "fuzz/fuzz_window.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  vxfuzz::Window();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  app::main& m = vxfuzz::Window();
  vxfuzz::RunReceive(m, m.rxbuffa, m.incmda, &app::main::parsecmda, data, size);
  return 0;
}
