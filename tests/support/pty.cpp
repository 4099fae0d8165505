#include "tests/support/pty.h"

#include <fcntl.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTest>
#include <QTimer>
#include <ctime>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "tests/support/raw_pty.h"

namespace vxtest {

PtyPeer::PtyPeer() {
  RawPty pty;
  if (!OpenRawPty(pty)) throw std::runtime_error("openpty failed");
  master_ = pty.far;
  slave_ = pty.port;
  portPath_ = pty.path;
  ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
}

PtyPeer::~PtyPeer() {
  CloseFarEnd();
  ::close(slave_);
}

void PtyPeer::Write(std::string_view bytes) {
  while (!bytes.empty() && master_ >= 0) {
    const ssize_t n = ::write(master_, bytes.data(), bytes.size());
    if (n > 0) bytes.remove_prefix(static_cast<size_t>(n));
    else PumpEvents(1);  // the program's side is full: let it read
  }
}

std::string PtyPeer::ReadAvailable() {
  std::string out;
  char buf[4096];
  for (ssize_t n; master_ >= 0 && (n = ::read(master_, buf, sizeof buf)) > 0;) out.append(buf, static_cast<size_t>(n));
  return out;
}

std::string PtyPeer::ReadExactly(size_t n, int timeoutMs) {
  std::string out;
  PumpUntil([&] { return (out += ReadAvailable()).size() >= n; }, timeoutMs);
  return out;
}

void PtyPeer::CloseFarEnd() {
  if (master_ >= 0) ::close(master_);
  master_ = -1;
}

void PumpEvents(int ms) {
  if (ms <= 0) return QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  // A real event loop that sleeps while nothing happens, so the CPU time a
  // test measures meanwhile is the program's own.
  QEventLoop loop;
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  loop.exec();
}

bool PumpUntil(const std::function<bool()>& cond, int timeoutMs) {
  QElapsedTimer t;
  for (t.start(); !cond(); std::this_thread::sleep_for(std::chrono::microseconds(200))) {
    if (t.elapsed() > timeoutMs) return cond();
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  }
  return true;
}

double ProcessCpuSeconds() { return static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }

std::string Hex(std::string_view bytes) {
  std::string out;
  char buf[4];
  for (unsigned char c : bytes) out.append(buf, static_cast<size_t>(std::snprintf(buf, sizeof buf, " %02X", c)));
  return out.empty() ? out : out.substr(1);
}

std::string Bytes(std::string_view hex) {
  std::istringstream in{std::string(hex)};
  std::string out;
  for (unsigned v; in >> std::hex >> v;) out.push_back(static_cast<char>(v));
  return out;
}

std::vector<uint8_t> Frame(std::string_view hex) {
  const std::string b = Bytes(hex);
  return {b.begin(), b.end()};
}

void Click(QWidget* w) { QTest::mouseClick(w, Qt::LeftButton); }

std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return in ? (std::ostringstream() << in.rdbuf()).str() : "<missing>";
}

void WriteWholeFile(const std::string& path, std::string_view bytes) {
  std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::string> ScanFrames(std::string_view s) {
  std::vector<std::string> frames;
  for (size_t at = 0, n; at < s.size() && s.size() - at > (n = uint8_t(s[at]) % 16 + 2u);) {
    unsigned sum = 0;
    for (size_t i = 0; i < n; ++i) sum += uint8_t(s[at + i]);
    const bool good = sum % 256 == uint8_t(s[at + n]);
    if (good) frames.emplace_back(s.substr(at, n));
    at += good ? n + 1 : 1;
  }
  return frames;
}

}  // namespace vxtest
