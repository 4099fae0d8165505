#pragma once
// Test support. Pseudo-terminals for serial tests: the program opens the
// port end, the test holds the far end and plays the external deck or
// controller. Event pumping, bytes as hex, whole files, real mouse clicks.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

class QWidget;

namespace vxtest {

class PtyPeer {
 public:
  PtyPeer();
  ~PtyPeer();
  PtyPeer(const PtyPeer&) = delete;
  PtyPeer& operator=(const PtyPeer&) = delete;

  const std::string& PortPath() const { return portPath_; }  // what the program opens (/dev/pts/N)
  void Write(std::string_view bytes);  // arrives at the program's port
  std::string ReadAvailable();         // what the program wrote and the test has not read
  // Runs the event loop until n bytes came from the program or the time is up.
  std::string ReadExactly(size_t n, int timeoutMs = 2000);
  void CloseFarEnd();  // for the program the port vanishes
  // The test's own descriptor of the port end: its line settings are those the program set.
  int PortEndFd() const { return slave_; }

 private:
  int master_ = -1, slave_ = -1;
  std::string portPath_;
};

void PumpEvents(int ms);  // runs the Qt event loop for about ms milliseconds
bool PumpUntil(const std::function<bool()>& cond, int timeoutMs = 2000);  // cond's last value
double ProcessCpuSeconds();
std::string Hex(std::string_view bytes);  // "20 01 21"
std::string Bytes(std::string_view hex);  // from "20 01 21"
std::vector<uint8_t> Frame(std::string_view hex);  // a received frame, as the models take it
void Click(QWidget* w);  // a real left button press and release in w's middle
std::string ReadWholeFile(const std::string& path);  // "<missing>" when it cannot be read
void WriteWholeFile(const std::string& path, std::string_view bytes);
// The 9-pin frames (without checksums) of a stream read from its front: a
// candidate whose byte sum matches is taken whole, else one byte is dropped.
std::vector<std::string> ScanFrames(std::string_view stream);

}  // namespace vxtest
