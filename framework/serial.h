#pragma once
// Serial ports: the machine's port list and one port with its events.
// Line settings are fixed for the 9-pin deck protocol: 38400 baud, 8 data
// bits, odd parity, 1 stop bit, no flow control, DTR off.
#include <functional>
#include <memory>
#include <string>

class QSerialPort;
class QSocketNotifier;

namespace fw {

struct SerialPortInfo {
  std::string Name;      // the port name as shown to the user (ttyUSB0)
  std::string Location;  // the device path (/dev/ttyUSB0)
};

// The machine's serial ports, asked afresh at every call.
int SerialPortCount();
// Port i of the list; an empty info when i is outside it.
SerialPortInfo SerialPort(int i);

class Serial {
 public:
  // Error codes of LastErrorCode.
  static constexpr int kAccessDenied = 100;
  static constexpr int kPortNotFound = 101;
  static constexpr int kInvalidOptions = 102;

  Serial();
  ~Serial();
  Serial(const Serial&) = delete;
  Serial& operator=(const Serial&) = delete;

  SerialPortInfo SerialPort;  // the machine port to use; set before Open

  // False on failure, with LastErrorCode set; a failed open raises no Error.
  bool Open();
  void Close();  // harmless on a closed port
  bool IsOpen() const;
  // Queues the bytes in order and returns at once; dropped while closed.
  void Write(const std::string& bytes);
  // Every byte received so far and not yet read.
  std::string ReadAll();
  int LastErrorCode() const { return lastError_; }

  std::function<void()> DataAvailable;
  // Raised once when an open port fails (an unplugged adapter: code 101).
  // The port is closed then, so it stays quiet until it is opened again.
  std::function<void()> Error;

 private:
  void onReadyRead();
  void onQtError(int qtError);
  bool peerHungUp() const;
  void vanish();

  std::unique_ptr<QSerialPort> port_;
  int lastError_ = 0;
  bool inHandler_ = false;        // DataAvailable is running
  long long readInHandler_ = 0;  // bytes ReadAll returned meanwhile
};

namespace testing {
// Adds a port (a pseudo-terminal, say) to the end of the machine's list.
void AddSerialPort(const std::string& name, const std::string& location);
// Removes the ports added by AddSerialPort.
void ClearSerialPorts();
// Leave the machine's own ports out of the list, so tests see only theirs.
void HideMachinePorts(bool hide);
// Sees every Write an open port accepts, as one piece, before it is queued
// (fuzzing checks each message the program sends); null removes it.
void SetWriteHook(std::function<void(const Serial& port, const std::string& bytes)> hook);
}  // namespace testing

}  // namespace fw
