#pragma once
// Pseudo-terminals for serial tests: the program opens the port end, the
// test holds the far end and plays the external deck or controller.
#include <functional>
#include <string>
#include <string_view>

namespace vxtest {

class PtyPeer {
 public:
  PtyPeer();
  ~PtyPeer();
  PtyPeer(const PtyPeer&) = delete;
  PtyPeer& operator=(const PtyPeer&) = delete;

  // The device path the program opens (/dev/pts/N).
  const std::string& PortPath() const { return portPath_; }
  // Writes bytes at the far end; they arrive at the program's port.
  void Write(std::string_view bytes);
  // What the program has written so far and the test has not read yet.
  std::string ReadAvailable();
  // Runs the event loop until n bytes arrived from the program or the time
  // is up; returns what arrived.
  std::string ReadExactly(size_t n, int timeoutMs = 2000);
  // Closes the far end: for the program the port vanishes.
  void CloseFarEnd();
  int FarEndFd() const { return master_; }
  // The test's own descriptor of the port end: its line settings are those
  // the program set (tcgetattr).
  int PortEndFd() const { return slave_; }

 private:
  int master_ = -1;
  int slave_ = -1;
  std::string portPath_;
};

// Runs the Qt event loop for about ms milliseconds.
void PumpEvents(int ms);
// Runs the event loop until cond holds or the time is up; cond's value.
bool PumpUntil(const std::function<bool()>& cond, int timeoutMs = 2000);

// CPU time this process has used so far, in seconds (all threads).
double ProcessCpuSeconds();

// Hex text of bytes: "20 01 21".
std::string Hex(std::string_view bytes);
// Bytes from hex text: "20 01 21".
std::string Bytes(std::string_view hex);

}  // namespace vxtest
