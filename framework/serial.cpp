#include "framework/serial.h"

#include <poll.h>
#include <unistd.h>

#include <QSerialPort>
#include <QSerialPortInfo>
#include <QTimer>
#include <vector>

namespace fw {

namespace {
struct PortList {
  std::vector<SerialPortInfo> added;
  bool hideMachine = false;
  std::function<void(const Serial&, const std::string&)> writeHook;
};
PortList& portList() {
  static PortList list;
  return list;
}

std::vector<SerialPortInfo> currentPorts() {
  std::vector<SerialPortInfo> ports;
  if (!portList().hideMachine)
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
      ports.push_back({info.portName().toStdString(), info.systemLocation().toStdString()});
  for (const SerialPortInfo& p : portList().added) ports.push_back(p);
  return ports;
}
}  // namespace

int SerialPortCount() { return static_cast<int>(currentPorts().size()); }

SerialPortInfo SerialPort(int i) {
  const std::vector<SerialPortInfo> ports = currentPorts();
  if (i < 0 || i >= static_cast<int>(ports.size())) return {};
  return ports[static_cast<size_t>(i)];
}

namespace testing {
void AddSerialPort(const std::string& name, const std::string& location) {
  portList().added.push_back({name, location});
}
void ClearSerialPorts() { portList().added.clear(); }
void HideMachinePorts(bool hide) { portList().hideMachine = hide; }
void SetWriteHook(std::function<void(const Serial& port, const std::string& bytes)> hook) {
  portList().writeHook = std::move(hook);
}
}  // namespace testing

Serial::Serial() = default;

Serial::~Serial() { Close(); }

bool Serial::IsOpen() const { return port_ && port_->isOpen(); }

bool Serial::Open() {
  Close();
  if (SerialPort.Location.empty() && SerialPort.Name.empty()) {
    lastError_ = kPortNotFound;
    return false;
  }
  port_ = std::make_unique<QSerialPort>();
  const std::string& where = SerialPort.Location.empty() ? SerialPort.Name : SerialPort.Location;
  port_->setPortName(QString::fromStdString(where));
  bool ok = port_->setBaudRate(QSerialPort::Baud38400) && port_->setDataBits(QSerialPort::Data8) &&
            port_->setParity(QSerialPort::OddParity) && port_->setStopBits(QSerialPort::OneStop) &&
            port_->setFlowControl(QSerialPort::NoFlowControl);
  if (!ok) {
    lastError_ = kInvalidOptions;
    port_.reset();
    return false;
  }
  if (!port_->open(QIODevice::ReadWrite)) {
    switch (port_->error()) {
      case QSerialPort::PermissionError: lastError_ = kAccessDenied; break;
      case QSerialPort::DeviceNotFoundError: lastError_ = kPortNotFound; break;
      default: lastError_ = kInvalidOptions; break;
    }
    port_.reset();
    return false;
  }
  // DTR off where the device supports it; a pseudo-terminal does not, and
  // that is no failure.
  port_->setDataTerminalReady(false);
  port_->clearError();
  QObject::connect(port_.get(), &QSerialPort::readyRead, port_.get(), [this] { onReadyRead(); });
  QObject::connect(port_.get(), &QSerialPort::errorOccurred, port_.get(),
                   [this](QSerialPort::SerialPortError e) { onQtError(static_cast<int>(e)); });
  lastError_ = 0;
  return true;
}

void Serial::Close() {
  inHandler_ = false;
  if (!port_) return;
  QSerialPort* p = port_.release();
  p->disconnect();
  if (p->isOpen()) p->close();
  // Deleted later: Close may run inside one of this port's own signals.
  p->deleteLater();
}

void Serial::Write(const std::string& bytes) {
  if (!IsOpen() || bytes.empty()) return;
  if (portList().writeHook) portList().writeHook(*this, bytes);
  const char* data = bytes.data();
  size_t left = bytes.size();
  // A reply goes to the device at once, inside the event that asked for it,
  // rather than on a later pass of the event loop. Only while nothing is
  // queued, so the byte order holds; the descriptor is non-blocking.
  if (port_->bytesToWrite() == 0 && port_->handle() >= 0) {
    const ssize_t n = ::write(static_cast<int>(port_->handle()), data, left);
    if (n > 0) {
      data += n;
      left -= static_cast<size_t>(n);
    }
  }
  // The rest is queued: QSerialPort writes it from its notifier once the
  // device takes bytes. (flush() here would write into a full device, fail
  // with EAGAIN and leave the queue stuck for good.)
  if (left > 0) port_->write(data, static_cast<qint64>(left));
}

std::string Serial::ReadAll() {
  if (!IsOpen()) return {};
  const QByteArray data = port_->readAll();
  readInHandler_ += data.size();
  return std::string(data.constData(), static_cast<size_t>(data.size()));
}

void Serial::onReadyRead() {
  if (!port_ || port_->bytesAvailable() <= 0 || !DataAvailable || inHandler_) return;
  // QSerialPort announces no bytes that arrive while a readyRead handler
  // runs (a message box's nested loop, say). Those are announced again
  // below, once the handler has returned; bytes the handler chose to leave
  // unread are not, so an idle port never raises events in a loop.
  QSerialPort* const port = port_.get();
  const qint64 before = port->bytesAvailable();
  readInHandler_ = 0;
  inHandler_ = true;
  DataAvailable();
  if (port_.get() != port) return;  // closed or reopened by the handler
  inHandler_ = false;
  const qint64 arrived = port->bytesAvailable() - (before - readInHandler_);
  if (arrived > 0) QTimer::singleShot(0, port, [this] { onReadyRead(); });
}

bool Serial::peerHungUp() const {
  if (!port_ || port_->handle() < 0) return true;
  pollfd pfd{static_cast<int>(port_->handle()), POLLIN, 0};
  if (::poll(&pfd, 1, 0) < 0) return true;
  return (pfd.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
}

void Serial::onQtError(int qtError) {
  if (!port_) return;
  const auto e = static_cast<QSerialPort::SerialPortError>(qtError);
  if (e == QSerialPort::NoError || e == QSerialPort::UnsupportedOperationError || e == QSerialPort::TimeoutError) {
    port_->clearError();
    return;
  }
  // A failed read is never transient: QSerialPort keeps its read notifier
  // armed and repeats the ReadError as fast as it can (a pseudo-terminal
  // whose far end closed does so hundreds of thousands of times a second).
  if (e == QSerialPort::ResourceError || e == QSerialPort::ReadError || peerHungUp()) {
    vanish();
    return;
  }
  port_->clearError();
  if (e == QSerialPort::WriteError && port_->bytesToWrite() > 0) {
    // A write into a full device stops QSerialPort's queue; start it again
    // a little later (each try that finds the device still full comes back
    // here).
    QTimer::singleShot(10, port_.get(), [p = port_.get()] { p->flush(); });
  }
}

void Serial::vanish() {
  // Close first so that the failing device raises no further events, then
  // report once. The handler may reopen the port.
  Close();
  lastError_ = kPortNotFound;
  if (Error) Error();
}

}  // namespace fw
