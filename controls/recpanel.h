#pragma once
// The record-enable keys over the 10-byte edit-preset bit map reccmd:
// lettered keys A1 A2 A3 A4 V A I (bits 0..6) and numbered keys 1..24
// (bits 8..31). Bit k lies in byte k / 8 under mask 1 << (k % 8).
#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "controls/cbkey.h"
#include "framework/widgets.h"

class recpanel : public fw::ContainerControl {
 public:
  explicit recpanel(QWidget* parent);

  int32_t bank1 = 0;
  std::array<uint8_t, 10> reccmd{};
  bool newcmd = false;
  bool showarec = true;

  std::array<cbkey*, 24> cbk{};
  std::array<cbkey*, 7> areck{};

  virtual void Layout();
  virtual void CreateControls();
  virtual bool cbk_MouseDown(int index, int x, int y);
  virtual bool areck_MouseDown(int index, int x, int y);
  virtual void alignsize();
  // 44 30, reccmd(0..3) and the checksum; clears newcmd.
  virtual std::string buildcmd();
  // msg: a received frame (CMD1, CMD2, data; no checksum).
  virtual void parsereccmd(std::span<const uint8_t> msg);
  virtual void updrectally();
  virtual void parserectally(std::span<const uint8_t> msg);
  // Reply to 61 30 d without checksum, cut at the end of the map.
  virtual std::string buildrectally(uint8_t d);
};
