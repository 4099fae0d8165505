// The main window: its design, its controls and what it does when it opens
// and closes. The serial sides live in main_ports, main_device and
// main_controller.
#include "app/main_window.h"

#include <type_traits>

#include "app/menubar1.h"
#include "app/selectport.h"
#include "controls/keybd.h"
#include "protocol/cbsr.h"
#include "settings/config.h"

namespace app {

namespace {

constexpr const char* kSettingsFile = "vornadex.ini";

// A control of the window's design, named and placed.
template <class T>
T* place(QWidget* parent, const char* name, int x, int y, int w, int h) {
  auto* c = new T(parent);
  c->Name = name;
  if constexpr (std::is_base_of_v<cbkey, T>) c->applyDesign();  // the displays
  c->SetBounds(x, y, w, h);
  return c;
}

}  // namespace

main& main::instance() { return fw::SingleInstance<main>(); }

main::main() = default;

void main::Layout() {
  // The menu bar first, so the fixed window size below includes it.
  SetMenuBar(&MenuBar1::instance());
  SetTitle("pelmark");
  SetFrameButtons(true, true, false);
  SetContentSize(535, 257);
  SetBackColor(0x80FFFF);
}

void main::CreateControls() { _CreateControls0(); }

void main::_CreateControls0() {
  QWidget* content = Content();

  // Each group box is created before the controls drawn inside it, so it
  // lies beneath them; all positions are relative to the window.
  Controllerbox = place<fw::GroupBox>(content, "Controllerbox", 4, 4, 256, 248);
  Controllerbox->SetCaption("Controller");

  Timer1.SetMode(2);
  Timer1.SetPeriod(50);
  Timer1.Action = [this] { Timer1_Action(); };

  Serialc.Error = [this] { Serialc_Error(); };
  Serialc.DataAvailable = [this] { Serialc_DataAvailable(); };

  cpoz = place<tckey>(content, "cpoz", 32, 29, 176, 35);
  recpanel1 = place<recpanel>(content, "recpanel1", 11, 76, 246, 115);
  transportpanel1 = place<transportpanel>(content, "transportpanel1", 11, 203, 238, 43);

  devicebox = place<fw::GroupBox>(content, "devicebox", 265, 4, 251, 247);
  devicebox->SetCaption("Device");

  Seriald.Error = [this] { Seriald_Error(); };
  Seriald.DataAvailable = [this] { Seriald_DataAvailable(); };

  dpoz = place<tckey>(content, "dpoz", 302, 29, 181, 35);
  recpanel2 = place<recpanel>(content, "recpanel2", 270, 75, 246, 115);
  transportpanel2 = place<transportpanel>(content, "transportpanel2", 271, 203, 245, 32);
}

void main::Event_Open() {
  // The record-enable panels have no open step of their own.
  recpanel1->alignsize();
  recpanel2->alignsize();
  config::initconfig(kSettingsFile);
  config::getwindowpoz(*this);
  cpoz->init();
  Seriald.Close();
  Serialc.Close();
  // The device side first: its failure message comes before the controller
  // port is tried.
  opendeviceport(cbsr::getserialnum(config::getstring("deviceport")));
  opencontrollerport(cbsr::getserialnum(config::getstring("controlport")));
  dpoz->init();
}

void main::Event_Close() {
  Timer1.SetEnabled(false);
  Seriald.Close();
  Serialc.Close();
  // Both closes store their windows' positions, so they come before the
  // settings are written.
  keybd::instance().Close();
  selectport::instance().Close();
  config::putwindowpoz(*this);
  config::saveconfig();
}

}  // namespace app
