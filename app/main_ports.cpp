// Opening and closing each side's serial port, what the user is told about
// it, and the ports' events: errors and arriving bytes.
#include <string>

#include "app/main_window.h"
#include "framework/dialogs.h"
#include "settings/config.h"

namespace app {

namespace {

// What differs between the two sides when a port is opened.
struct PortSide {
  fw::Serial& port;
  fw::GroupBox& box;
  const char* closedCaption;
  const char* openPrefix;
  const char* settingsKey;
  const char* failureText;
};

// Closes the side's port and, for index 0 or above, opens the machine's
// port at that index. True when the port is open afterwards.
bool openSide(const PortSide& side, int32_t index) {
  side.port.Close();
  side.box.SetCaption(side.closedCaption);
  if (index < 0) return false;
  // An index past the current list (a port removed since the chooser
  // filled its rows) gives an empty port, which fails to open like any
  // other port that is not there.
  side.port.SerialPort = fw::SerialPort(index);
  if (!side.port.Open()) {
    fw::MsgBox(side.failureText);
    return false;
  }
  const std::string name = side.port.SerialPort.Name;
  side.box.SetCaption(side.openPrefix + name);
  config::putconfig(side.settingsKey, name);
  return true;
}

}  // namespace

bool main::opencontrollerport(int32_t index) {
  // The flag is cleared before a failure message is shown, so a tick that
  // runs meanwhile does not write to the closed port.
  serialcopen = false;
  const PortSide side{Serialc, *Controllerbox, "controller", "Controller-", "controlport",
                      "Error opening Controller serial port"};
  serialcopen = openSide(side, index);
  return serialcopen;
}

bool main::opendeviceport(int32_t index) {
  const PortSide side{Seriald, *devicebox, "Device", "Device-", "deviceport", "Error opening device serial port."};
  return openSide(side, index);
}

void main::displayserialerror(int32_t code) {
  switch (code) {
    case fw::Serial::kAccessDenied: fw::MsgBox("100 - AccessDenied"); break;
    case fw::Serial::kPortNotFound: fw::MsgBox("101 - PortNotFound"); break;
    case fw::Serial::kInvalidOptions: fw::MsgBox("102 - InvalidOptions"); break;
    default: break;
  }
}

void main::Serialc_Error() { displayserialerror(Serialc.LastErrorCode()); }

void main::Seriald_Error() { displayserialerror(Seriald.LastErrorCode()); }

void main::Serialc_DataAvailable() { rxbuffb.receive(Serialc.ReadAll(), incmdb, [this] { parsecmdb(); }); }

void main::Seriald_DataAvailable() { rxbuffa.receive(Seriald.ReadAll(), incmda, [this] { parsecmda(); }); }

}  // namespace app
