#pragma once
// The main window "pelmark": the controller side on the left (it polls and
// commands an external deck on the 50 ms tick) and the device side on the
// right (it plays a deck for an external controller and answers at once).
// The class is app::main, reached through app::main::instance().
#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "controls/recpanel.h"
#include "controls/tckey.h"
#include "controls/transportpanel.h"
#include "framework/serial.h"
#include "framework/timer.h"
#include "framework/widgets.h"
#include "framework/window.h"
#include "protocol/rxring.h"

namespace app {

class main : public fw::Window {
 public:
  static main& instance();

  // Receive rings (cells, write position in, read position out) and the
  // last good frames: b is the controller port, a the device port.
  rxring rxbuffb;
  FrameArray incmdb{};
  FrameArray incmda{};
  rxring rxbuffa;
  bool serialcopen = false;
  int32_t waitack = 0;

  fw::GroupBox* Controllerbox = nullptr;
  fw::Timer Timer1;
  fw::Serial Serialc;
  tckey* cpoz = nullptr;
  recpanel* recpanel1 = nullptr;
  transportpanel* transportpanel1 = nullptr;
  fw::GroupBox* devicebox = nullptr;
  fw::Serial Seriald;
  tckey* dpoz = nullptr;
  recpanel* recpanel2 = nullptr;
  transportpanel* transportpanel2 = nullptr;

  void Layout() override;
  void CreateControls() override;
  void _CreateControls0();
  void Timer1_Action();
  void Serialc_Error();
  void Serialc_DataAvailable();
  void Seriald_Error();
  void Seriald_DataAvailable();
  void AddMenuHandlers() override;
  void Event_Close() override;
  void Event_Open() override;
  bool _deviceport_Action(int32_t index);
  bool _controllerport_Action();
  bool _Helpmanual_Action();
  bool _mFiles_Action();
  void displayserialerror(int32_t code);
  // Controller side.
  void parsecmdb();
  void s9inb7x();
  void s9inb1x();
  // Device side.
  void parsecmda();
  void s9ina0x();
  void s9ina2x(std::span<const uint8_t> msg);
  void s9ina4x();
  void s9ina6x();
  void devicetick();
  bool opencontrollerport(int32_t index);
  bool opendeviceport(int32_t index);

 protected:
  main();
  template <class W>
  friend W& fw::SingleInstance();
};

}  // namespace app
