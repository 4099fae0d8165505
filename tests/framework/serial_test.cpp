// fw::Serial against real pseudo-terminals: the test holds the far end.
// A port vanishing under traffic is proven on the main window (stress_test).
#include <gtest/gtest.h>
#include <sys/stat.h>
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
  int dataEvents = 0, errorEvents = 0;

  void SetUp() override {
    serial.SerialPort = {"vxpty", peer.PortPath()};
    serial.DataAvailable = [this] { received += serial.ReadAll(); };
    ASSERT_TRUE(serial.Open());
  }
  bool WaitFor(size_t n) { return PumpUntil([&] { return received.size() >= n; }); }
};

TEST_F(OpenPort, DeckLineSettingsAndRoundTripOfEveryByteValue) {
  termios tio{};
  ASSERT_EQ(::tcgetattr(peer.PortEndFd(), &tio), 0);
  EXPECT_EQ(::cfgetospeed(&tio), static_cast<speed_t>(B38400));
  EXPECT_EQ(tio.c_cflag & (CSIZE | PARODD | CSTOPB | CRTSCTS), static_cast<tcflag_t>(CS8 | PARODD));  // pty: no PARENB
  EXPECT_FALSE(tio.c_iflag & (IXON | IXOFF));

  std::string all;
  for (int v = 0; v < 256; ++v) all.push_back(static_cast<char>(v));
  serial.Write(all);
  EXPECT_EQ(Hex(peer.ReadExactly(256)), Hex(all));
  peer.Write(all);
  ASSERT_TRUE(WaitFor(256));
  EXPECT_EQ(Hex(received), Hex(all));  // a frame split over reads: serial_sides_test
}

TEST_F(OpenPort, BytesWrittenWhileOthersAreQueuedGoBehindThem) {
  std::string big(256 * 1024, '\0');
  for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>((i * 7 + i / 256) & 0xFF);
  serial.Write(big);  // far more than a pty holds: the rest is queued
  std::string got = peer.ReadAvailable();  // the device has room again, the queue has not moved yet
  ASSERT_LT(got.size(), big.size());
  serial.Write("end");
  got += peer.ReadExactly(big.size() + 3 - got.size(), 10000);
  EXPECT_EQ(std::mismatch(got.begin(), got.end(), (big + "end").begin()).first - got.begin(), long(big.size()) + 3);
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

TEST_F(OpenPort, VanishedPortIsReportedOnceAndTheHandlerMayReopenAtOnce) {
  PtyPeer spare;
  serial.Error = [&] {
    ++errorEvents;
    EXPECT_EQ(serial.LastErrorCode(), fw::Serial::kPortNotFound);
    serial.SerialPort = {"spare", spare.PortPath()};
    EXPECT_TRUE(serial.Open());
  };
  peer.CloseFarEnd();
  ASSERT_TRUE(PumpUntil([&] { return errorEvents > 0; }));
  spare.Write("ok");
  ASSERT_TRUE(WaitFor(2));
  EXPECT_EQ(received, "ok");
  EXPECT_EQ(errorEvents, 1);
}

TEST(SerialOpen, FailuresGiveTheirCodesAndRaiseNoError) {
  QTemporaryFile plain;
  ASSERT_TRUE(plain.open());
  PtyPeer locked;
  ASSERT_EQ(::chmod(locked.PortPath().c_str(), 0), 0);
  const int lockedCode = ::geteuid() == 0 ? 0 : fw::Serial::kAccessDenied;  // root opens any device
  const std::pair<std::string, int> cases[] = {
      {"/dev/vx-no-such-port", fw::Serial::kPortNotFound}, {"", fw::Serial::kPortNotFound},
      {plain.fileName().toStdString(), fw::Serial::kInvalidOptions}, {locked.PortPath(), lockedCode}};
  for (const auto& [location, code] : cases) {
    fw::Serial s;
    int errors = 0;
    s.Error = [&] { ++errors; };
    s.SerialPort = {"", location};
    EXPECT_EQ(s.Open(), code == 0) << location;
    if (code == fw::Serial::kInvalidOptions)  // a plain file: either code is sound
      EXPECT_TRUE(s.LastErrorCode() == code || s.LastErrorCode() == fw::Serial::kPortNotFound);
    else
      EXPECT_EQ(s.LastErrorCode(), code) << location;
    s.Write("x");
    PumpEvents(5);
    EXPECT_EQ(errors, 0);
  }
}

}  // namespace
}  // namespace vxtest
