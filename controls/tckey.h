#pragma once
// The timecode display of one side and the model of one deck behind it:
// position, transport state (TallyCode), record and cue state and the 16
// status data bytes D0..D15.
//
// TallyCode: 1 stop, 2 still, 3 play, 4 reverse, 5 fast forward,
// 6 rewind, 11 goto, 18 record on, 19 record off.
#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "controls/cbkey.h"

namespace tally {
inline constexpr int32_t kStop = 1, kStill = 2, kPlay = 3, kReverse = 4, kFastForward = 5, kRewind = 6, kGoto = 11,
                         kRecordOn = 18, kRecordOff = 19;
}

class tckey : public cbkey {
 public:
  explicit tckey(QWidget* parent);

  int32_t tcstd = 0;
  double frames = 0.0;
  int32_t speed = 0;  // hundredths of a frame per 50 ms tick
  int32_t tally = 0;
  bool record = false;
  bool statuschange = true;
  std::array<uint8_t, 16> statusarray{};
  bool cued = false;

  virtual void setframes(double f);
  virtual void update();
  virtual void setstd(int32_t i);
  virtual void inc();
  virtual void dec();
  virtual void setpoz(const std::string& s);
  virtual void adjpoz();
  virtual void init();
  virtual void cmdin(int32_t code);
  virtual void settally(int32_t n);
  // msg: a received frame (CMD1, CMD2, data; no checksum). Bytes past the
  // end of msg read as 0.
  virtual void parsepoztally(std::span<const uint8_t> msg);
  virtual void parsestatus(std::span<const uint8_t> msg);
  // Replies without checksum.
  virtual std::string buildpoztally(uint8_t x);
  virtual std::string buildstatustally(uint8_t d);
  virtual void updstatusarray();
  virtual void rec2status(std::span<const uint8_t> a);
  virtual void s9in2x(std::span<const uint8_t> msg);
  virtual void setrecord(bool b);
};
