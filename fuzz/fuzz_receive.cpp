// One side's receive path over arbitrary bytes in arbitrary reads, with
// ticks between them: frames handed to the side's frame handler are good,
// and every message the program writes is well-formed. Built once per side:
// fuzz_device_receive (parsecmda; the device side's replies) and, with
// VX_CONTROLLER_SIDE, fuzz_controller_receive (parsecmdb; the polls).
#include <cstdlib>

#include "fuzz/fuzz_window.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  vxfuzz::Window();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  app::main& m = vxfuzz::Window();
#ifdef VX_CONTROLLER_SIDE
  vxfuzz::RunReceive(m, m.rxbuffb, m.incmdb, &app::main::parsecmdb, data, size);
#else
  vxfuzz::RunReceive(m, m.rxbuffa, m.incmda, &app::main::parsecmda, data, size);
#endif
  return 0;
}
