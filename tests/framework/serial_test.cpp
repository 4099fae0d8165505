// fw::Serial against real pseudo-terminals: the test holds the far end.
// A port vanishing under traffic, reported once: the main window (stress_test).
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <QTemporaryFile>
#include <algorithm>

#include "framework/serial.h"
#include "tests/support/pty.h"

namespace vxtest {
namespace {

// A port on a fresh pty that gathers what arrives and counts events.
struct OpenPort : ::testing::Test {
  PtyPeer peer;
  fw::Serial serial;
  std::string received;
  int dataEvents = 0;

  void SetUp() override {
    serial.SerialPort = {"vxpty", peer.PortPath()};
    serial.DataAvailable = [this] { received += serial.ReadAll(); };
    ASSERT_TRUE(serial.Open());
  }
  bool WaitFor(size_t n) { return PumpUntil([&] { return received.size() >= n; }); }
};

TEST_F(OpenPort, DeckLineSettingsAndEveryByteValue) {
  termios tio{};
  ASSERT_EQ(::tcgetattr(peer.PortEndFd(), &tio), 0);
  EXPECT_EQ(::cfgetospeed(&tio), static_cast<speed_t>(B38400));
  EXPECT_EQ(tio.c_cflag & (CSIZE | PARODD | CSTOPB | CRTSCTS), static_cast<tcflag_t>(CS8 | PARODD));  // pty: no PARENB
  EXPECT_FALSE(tio.c_iflag & (IXON | IXOFF));

  std::string all;
  for (int v = 0; v < 256; ++v) all.push_back(static_cast<char>(v));
  peer.Write(all);
  ASSERT_TRUE(WaitFor(256));
  EXPECT_EQ(Hex(received), Hex(all));  // a frame split over reads: serial_sides_test
}

// A write the device takes in part or not at all, and a later one while the rest waits.
TEST_F(OpenPort, WritesIntoAFullDeviceArriveWholeOnceAndInOrder) {
  const int fd = peer.PortEndFd();  // what the test writes here waits in the device like the program's own bytes
  ASSERT_EQ(::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK), 0);
  std::string message;  // more than a pty holds; a prime period shows a piece sent from the wrong place
  for (int i = 0; i < 16384; ++i) message.push_back(static_cast<char>(i % 251));
  for (const bool makeRoom : {false, true}) {  // the far end reads what it can before the write, or nothing
    std::string held;
    int refused = 0;  // twice in a row, a little apart: the kernel moves bytes within the pty a moment later
    ASSERT_TRUE(PumpUntil([&] {
      for (ssize_t n; (n = ::write(fd, "0123456789abcdef", 16)) > 0; refused = -1) held.append("0123456789abcdef", n);
      return ++refused == 2;
    }));
    std::string got = makeRoom ? peer.ReadAvailable() : "";
    pollfd out{fd, POLLOUT, 0};
    ASSERT_TRUE(PumpUntil([&] { return !makeRoom || ::poll(&out, 1, 0) == 1; }));  // room for part of the message
    serial.Write(message);
    got += peer.ReadAvailable();  // the device has room again, the queue has not moved yet
    serial.Write("end");  // behind the queued bytes, not into the room
    const std::string want = held + message + "end";
    got += peer.ReadExactly(want.size() - got.size(), 10000);
    EXPECT_TRUE(got == want) << makeRoom << ": " << got.size() << " bytes, first difference at "
                             << std::mismatch(got.begin(), got.end(), want.begin(), want.end()).first - got.begin();
  }
}

TEST_F(OpenPort, BytesArrivingDuringANestedLoopAreAnnouncedButUnreadOnesNotRepeated) {
  bool nested = false;
  serial.DataAvailable = [&] {
    received += serial.ReadAll();
    if (!std::exchange(nested, true)) {  // a message box's loop, say
      peer.Write(Bytes("10 01 11"));
      PumpEvents(100);
    }
  };
  peer.Write(Bytes("00 11 11"));
  ASSERT_TRUE(WaitFor(6));
  EXPECT_EQ(Hex(received), "00 11 11 10 01 11");

  serial.DataAvailable = [&] { ++dataEvents; };  // leaves the byte unread
  peer.Write("x");
  PumpEvents(100);
  EXPECT_EQ(dataEvents, 1);
}

TEST(SerialOpen, FailuresGiveTheirCodesAndRaiseNoError) {
  QTemporaryFile plain;
  ASSERT_TRUE(plain.open());
  const std::pair<std::string, int> cases[] = {
      {"/dev/vx-no-such-port", fw::Serial::kPortNotFound}, {"", fw::Serial::kPortNotFound},
      {plain.fileName().toStdString(), fw::Serial::kInvalidOptions}};
  for (const auto& [location, code] : cases) {
    fw::Serial s;
    int errors = 0;
    s.Error = [&] { ++errors; };
    s.SerialPort = {"", location};
    EXPECT_FALSE(s.Open()) << location;
    const int got = s.LastErrorCode();  // a plain file: either code is sound
    EXPECT_TRUE(got == code || (code == fw::Serial::kInvalidOptions && got == fw::Serial::kPortNotFound)) << location;
    s.Write("x");
    PumpEvents(5);
    EXPECT_EQ(errors, 0);
  }
}

}  // namespace
}  // namespace vxtest
