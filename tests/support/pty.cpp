#include "tests/support/pty.h"

#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <cstdio>
#include <ctime>
#include <stdexcept>
#include <thread>

namespace vxtest {

PtyPeer::PtyPeer() {
  char name[256] = {};
  if (::openpty(&master_, &slave_, name, nullptr, nullptr) != 0) throw std::runtime_error("openpty failed");
  portPath_ = name;
  termios tio{};
  ::tcgetattr(slave_, &tio);
  ::cfmakeraw(&tio);
  ::tcsetattr(slave_, TCSANOW, &tio);
  ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
}

PtyPeer::~PtyPeer() {
  CloseFarEnd();
  if (slave_ >= 0) ::close(slave_);
}

void PtyPeer::Write(std::string_view bytes) {
  size_t done = 0;
  while (done < bytes.size() && master_ >= 0) {
    const ssize_t n = ::write(master_, bytes.data() + done, bytes.size() - done);
    if (n > 0) {
      done += static_cast<size_t>(n);
    } else {
      PumpEvents(1);  // the program's side is full: let it read
    }
  }
}

std::string PtyPeer::ReadAvailable() {
  std::string out;
  char buf[4096];
  for (;;) {
    if (master_ < 0) break;
    const ssize_t n = ::read(master_, buf, sizeof buf);
    if (n <= 0) break;
    out.append(buf, static_cast<size_t>(n));
  }
  return out;
}

std::string PtyPeer::ReadExactly(size_t n, int timeoutMs) {
  std::string out;
  PumpUntil(
      [&] {
        out += ReadAvailable();
        return out.size() >= n;
      },
      timeoutMs);
  return out;
}

void PtyPeer::CloseFarEnd() {
  if (master_ >= 0) ::close(master_);
  master_ = -1;
}

void PumpEvents(int ms) {
  if (ms <= 0) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return;
  }
  // A real event loop that sleeps while nothing happens, so the CPU time a
  // test measures meanwhile is the program's own.
  QEventLoop loop;
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  loop.exec();
}

bool PumpUntil(const std::function<bool()>& cond, int timeoutMs) {
  QElapsedTimer t;
  t.start();
  while (!cond()) {
    if (t.elapsed() > timeoutMs) return cond();
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    std::this_thread::sleep_for(std::chrono::microseconds(200));
  }
  return true;
}

double ProcessCpuSeconds() {
  timespec t{};
  ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

std::string Hex(std::string_view bytes) {
  std::string out;
  char buf[4];
  for (unsigned char c : bytes) {
    std::snprintf(buf, sizeof buf, "%02X", c);
    if (!out.empty()) out += ' ';
    out += buf;
  }
  return out;
}

std::string Bytes(std::string_view hex) {
  std::string out;
  int nibbles = 0, value = 0;
  for (char c : hex) {
    int v;
    if (c >= '0' && c <= '9') v = c - '0';
    else if (c >= 'a' && c <= 'f') v = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F') v = c - 'A' + 10;
    else continue;
    value = value * 16 + v;
    if (++nibbles == 2) {
      out.push_back(static_cast<char>(value));
      nibbles = value = 0;
    }
  }
  return out;
}

}  // namespace vxtest
