#pragma once
// What the fuzz targets share: a Qt application on the offscreen platform,
// the one main window of the run with both serial ports open on
// pseudo-terminals, the checks every message the program writes must pass,
// and the reading of an input as arbitrary reads of a byte stream.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/main_window.h"
#include "protocol/rxring.h"

namespace vxfuzz {

// Stops the run at a broken property; libFuzzer keeps the input.
[[noreturn]] void Fail(const char* what);
inline void Require(bool ok, const char* what) {
  if (!ok) Fail(what);
}

// The application object, made once; settings live in a temporary folder.
void InitQt();

// The main window, built once with its timer stopped, both ports open and
// every message it writes checked (WellFormed) and captured.
app::main& Window();
// Puts both sides back to the start of a run (rings, frames, pacing, poll
// cycle, deck state), so an input's outcome does not hang on the inputs
// before it.
void ResetSides(app::main& m);
// Lets the ports send what the program wrote and reads the far ends; what
// arrives must be exactly what the program wrote, in order.
void Drain();

// One 9-pin message: CMD1's count matches the length, the checksum is right.
bool WellFormed(std::string_view msg);
// The frame a handler sees (CMD1, CMD2, data) as bytes.
std::string FrameBytes(const FrameArray& frame);
// A frame handed over while the ring still holds it at its read position:
// the ring's cells match it and its checksum is right.
void CheckHandedFrame(const rxring& ring, const FrameArray& frame);

// An input read as: n = byte 0 % 8, then n split bytes, then the stream.
// Split byte s: a read of s % 128 bytes, preceded by a tick when s >= 128;
// the split bytes are used in turn. No split bytes: one read of it all.
struct Reads {
  struct Read {
    bool tickFirst;
    std::string_view bytes;
  };
  std::vector<Read> reads;
  std::string_view stream;
};
Reads SplitInput(const uint8_t* data, size_t size);

// One input through one side's receive path: the reads of SplitInput go
// through ring into frame and parse, ticks between them; the handed frames
// are checked and must be those of ReferenceFrames; then Drain.
void RunReceive(app::main& m, rxring& ring, FrameArray& frame, void (app::main::*parse)(), const uint8_t* data,
                size_t size);

// The frames a fresh ring hands over for the whole stream in one read:
// where the frames lie does not depend on how the stream was read.
std::vector<std::string> ReferenceFrames(std::string_view stream);

}  // namespace vxfuzz
