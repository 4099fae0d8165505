#include "protocol/sonysr.h"

#include "framework/strings.h"
#include "protocol/cbsr.h"

namespace sonysr {

int32_t rqcount = 0;
int32_t armlen = 4;

std::string buildrq() {
  ++rqcount;
  std::string msg;
  switch (rqcount) {
    case 1:  // status sense: status bytes from 0, 15 of them
      msg = fw::Chr(0x61) + fw::Chr(0x20) + fw::Chr(0x0F);
      break;
    case 2:  // device type
      msg = fw::Chr(0x00) + fw::Chr(0x11);
      break;
    case 3:  // edit-preset sense, then the cycle starts over
      msg = fw::Chr(0x61) + fw::Chr(0x30) + fw::Chr(armlen & 0xFF);
      rqcount = -1;
      break;
    default:  // 0: current time sense
      msg = fw::Chr(0x61) + fw::Chr(0x0C) + fw::Chr(0x01);
      break;
  }
  return cbsr::appendsum(msg);
}

void reset() {
  rqcount = 0;
  armlen = 4;
}

}  // namespace sonysr
