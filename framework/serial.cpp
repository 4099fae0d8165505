#include "framework/serial.h"

#include <poll.h>

#include <QSerialPort>
#include <QSerialPortInfo>
#include <vector>

namespace fw {

namespace {
struct PortList {
  std::vector<SerialPortInfo> added;
  bool hideMachine = false;
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
  if (!port_) return;
  QSerialPort* p = port_.release();
  p->disconnect();
  if (p->isOpen()) p->close();
  // Deleted later: Close may run inside one of this port's own signals.
  p->deleteLater();
}

void Serial::Write(const std::string& bytes) {
  if (!IsOpen() || bytes.empty()) return;
  port_->write(bytes.data(), static_cast<qint64>(bytes.size()));
  port_->flush();  // hand the bytes to the device now; never blocks
}

std::string Serial::ReadAll() {
  if (!IsOpen()) return {};
  const QByteArray data = port_->readAll();
  return std::string(data.constData(), static_cast<size_t>(data.size()));
}

void Serial::onReadyRead() {
  if (port_ && port_->bytesAvailable() > 0 && DataAvailable) DataAvailable();
}

bool Serial::peerHungUp() const {
  if (!port_ || port_->handle() < 0) return true;
  pollfd pfd{static_cast<int>(port_->handle()), POLLIN, 0};
  if (::poll(&pfd, 1, 0) < 0) return true;
  return (pfd.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
}

void Serial::onQtError(int qtError) {
  if (reporting_ || !port_) return;
  const auto e = static_cast<QSerialPort::SerialPortError>(qtError);
  if (e == QSerialPort::NoError || e == QSerialPort::UnsupportedOperationError || e == QSerialPort::TimeoutError) {
    port_->clearError();
    return;
  }
  if (e == QSerialPort::ResourceError || peerHungUp()) {
    vanish();
    return;
  }
  port_->clearError();
}

void Serial::vanish() {
  // Close first so that the failing device raises no further events, then
  // report once.
  reporting_ = true;
  Close();
  lastError_ = kPortNotFound;
  if (Error) Error();
  reporting_ = false;
}

}  // namespace fw
