#pragma once
// The controller side's status request cycle: status sense, device type,
// edit-preset sense, current time, over and over.
#include <cstdint>
#include <string>

namespace sonysr {

extern int32_t rqcount;  // step of the cycle; 0 at start
extern int32_t armlen;   // data byte of the edit-preset sense request (4)

// The next request of the cycle, checksum included.
std::string buildrq();
// Back to the start of the run (tests).
void reset();

}  // namespace sonysr
