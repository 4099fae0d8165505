// The device side: the emulated deck dpoz answers an external controller on
// the device port, inside the event that brought each frame, and takes the
// presses on its own panels on every tick.
#include <string>

#include "app/main_window.h"
#include "protocol/cbsr.h"

namespace app {

namespace {

const std::string kAck("\x10\x01\x11", 3);
const std::string kDeviceTypeReply("\x12\x11\x00\x01", 4);  // checksum appended when sent

}  // namespace

void main::parsecmda() {
  switch (incmda[0] / 16) {
    case 0: s9ina0x(); break;
    case 2: s9ina2x(incmda); break;
    case 4: s9ina4x(); break;
    case 6: s9ina6x(); break;
    default: break;  // not for a deck: no effect, no reply
  }
}

void main::s9ina0x() {
  if (incmda[1] == 0x11)
    Seriald.Write(cbsr::appendsum(kDeviceTypeReply));
  else
    Seriald.Write(kAck);
}

void main::s9ina2x(std::span<const uint8_t> msg) {
  dpoz->s9in2x(msg);
  Seriald.Write(kAck);
  transportpanel2->settally(dpoz->tally);
  transportpanel2->setrecord(dpoz->record);
}

void main::s9ina4x() {
  // Edit presets are taken without a reply.
  if (incmda[1] == 0x30) recpanel2->parsereccmd(incmda);
}

void main::s9ina6x() {
  // Each reply is made whole and written at once, so it leaves in one piece.
  switch (incmda[1]) {
    case 0x0C: Seriald.Write(cbsr::appendsum(dpoz->buildpoztally(0x0C))); break;
    case 0x20: Seriald.Write(cbsr::appendsum(dpoz->buildstatustally(incmda[2]))); break;
    case 0x30: Seriald.Write(cbsr::appendsum(recpanel2->buildrectally(incmda[2]))); break;
    default: break;
  }
}

void main::devicetick() {
  if (transportpanel2->newcmd) {
    if (transportpanel2->tcmd == tally::kGoto) dpoz->setpoz(transportpanel2->lastlocate);
    dpoz->cmdin(transportpanel2->tcmd);
    transportpanel2->newcmd = false;
    transportpanel2->setrecord(dpoz->record);
    transportpanel2->settally(dpoz->tally);
  }
  if (recpanel2->newcmd) {
    recpanel2->newcmd = false;
    dpoz->rec2status(recpanel2->reccmd);
  }
  dpoz->adjpoz();
}

}  // namespace app
