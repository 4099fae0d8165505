#pragma once
// The transport keys of one deck: rewind, reverse, stop, play, fast forward
// below; Goto, record off, record on above. A press becomes a pending
// command (newcmd, tcmd, lastlocate) that the main window collects on its
// tick; the lamps show the transport and record state handed in.
#include <array>
#include <cstdint>
#include <string>

#include "controls/cbkey.h"
#include "framework/widgets.h"

class transportpanel : public fw::ContainerControl {
 public:
  // Runs Layout and CreateControls: the design size and the ten keys.
  explicit transportpanel(QWidget* parent);

  int32_t tcmd = 0;
  bool newcmd = false;
  bool record = false;
  int32_t ttally = 0;
  std::string lastlocate = "00:00:00:00";

  std::array<cbkey*, 10> tkey1{};

  virtual void Layout();
  virtual void CreateControls();
  virtual bool tkey1_MouseDown(int index, int x, int y);
  void Event_Open() override;
  virtual void alignsize();
  virtual void updtally();
  // The message for tcmd with its checksum ("" for codes without one);
  // clears newcmd.
  virtual std::string buildcmd();
  virtual void setrecord(bool b);
  virtual void settally(int32_t t);
};
