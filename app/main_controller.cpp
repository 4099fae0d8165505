// The controller side: on each 50 ms tick at most one message to the
// external deck on the controller port, paced by waitack; the deck's
// replies update cpoz and the controller-side lamps.
#include <string>

#include "app/main_window.h"
#include "framework/dialogs.h"
#include "protocol/sonysr.h"

namespace app {

void main::Timer1_Action() {
  if (serialcopen) {
    if (waitack != 0) {
      --waitack;
    } else {
      waitack = 2;
      std::string msg;
      if (transportpanel1->newcmd)
        msg = transportpanel1->buildcmd();
      else if (recpanel1->newcmd)
        msg = recpanel1->buildcmd();
      else
        msg = sonysr::buildrq();
      Serialc.Write(msg);
    }
  } else if (transportpanel1->newcmd || recpanel1->newcmd) {
    // Dropped before the message shows: ticks that run while it is up must
    // not report the same presses again.
    transportpanel1->newcmd = false;
    recpanel1->newcmd = false;
    fw::MsgBox("Controller Serial Port Not Open");
  }
  devicetick();
  cpoz->adjpoz();
}

void main::parsecmdb() {
  // Any good frame frees the next tick.
  waitack = 0;
  switch (incmdb[0] / 16) {
    case 1: s9inb1x(); break;
    case 7: s9inb7x(); break;
    default: break;
  }
}

void main::s9inb1x() {
  // Acknowledgements, refusals and the device type need nothing further.
}

void main::s9inb7x() {
  switch (incmdb[1]) {
    case 0x00:
    case 0x04:
    case 0x06:
    case 0x14: cpoz->parsepoztally(incmdb); break;
    case 0x20:
      cpoz->parsestatus(incmdb);
      transportpanel1->settally(cpoz->tally);
      transportpanel1->setrecord(cpoz->record);
      break;
    case 0x30: recpanel1->parserectally(incmdb); break;
    default: break;
  }
}

}  // namespace app
