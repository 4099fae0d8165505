// fw::Serial against real pseudo-terminals: the test holds the far end.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <QTemporaryDir>

#include "framework/serial.h"
#include "tests/support/pty.h"

namespace {

using vxtest::Bytes;
using vxtest::Hex;
using vxtest::PtyPeer;
using vxtest::PumpEvents;
using vxtest::PumpUntil;

// A port on a fresh pty that gathers what arrives and counts events.
struct OpenPort : ::testing::Test {
  PtyPeer peer;
  fw::Serial serial;
  std::string received;
  int dataEvents = 0, errorEvents = 0;

  void SetUp() override {
    serial.SerialPort = {"vxpty", peer.PortPath()};
    serial.DataAvailable = [this] {
      ++dataEvents;
      received += serial.ReadAll();
    };
    serial.Error = [this] {
      if (++errorEvents > 50) serial.Close();  // ends a storm of reports: the test fails instead of hanging
    };
    ASSERT_TRUE(serial.Open());
  }
  bool WaitFor(size_t n) { return PumpUntil([&] { return received.size() >= n; }); }
};

TEST_F(OpenPort, UsesDeckLineSettingsAndClosesTwice) {
  termios tio{};
  ASSERT_EQ(::tcgetattr(peer.PortEndFd(), &tio), 0);
  EXPECT_EQ(::cfgetospeed(&tio), static_cast<speed_t>(B38400));
  EXPECT_EQ(::cfgetispeed(&tio), static_cast<speed_t>(B38400));
  EXPECT_EQ(tio.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
  EXPECT_TRUE(tio.c_cflag & PARODD);  // the pty driver clears PARENB whatever is asked
  EXPECT_FALSE(tio.c_cflag & (CSTOPB | CRTSCTS));
  EXPECT_FALSE(tio.c_iflag & (IXON | IXOFF));
  serial.Close();
  serial.Close();
  EXPECT_FALSE(serial.IsOpen());
  EXPECT_EQ(serial.ReadAll(), "");
}

TEST_F(OpenPort, RoundTripsEveryByteValueAndAnnouncesSplitReads) {
  std::string all;
  for (int v = 0; v < 256; ++v) all.push_back(static_cast<char>(v));
  serial.Write(all);
  EXPECT_EQ(Hex(peer.ReadExactly(256)), Hex(all));

  peer.Write(all);
  ASSERT_TRUE(WaitFor(256));
  const int events = dataEvents;
  peer.Write(Bytes("0F 90"));
  ASSERT_TRUE(WaitFor(258));
  EXPECT_GT(dataEvents, events);
  EXPECT_EQ(Hex(received), Hex(all + Bytes("0F 90")));
}

TEST_F(OpenPort, LargeWriteArrivesCompleteInOrder) {
  std::string big(64 * 1024, '\0');
  for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>((i * 7 + i / 256) & 0xFF);
  serial.Write(big);  // far more than a pty holds: the rest must be queued
  serial.Write("end");
  const std::string got = peer.ReadExactly(big.size() + 3, 10000);
  EXPECT_TRUE(got == big + "end") << got.size();
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
  ASSERT_TRUE(PumpUntil([&] { return dataEvents > 0; }));
  PumpEvents(100);
  EXPECT_EQ(dataEvents, 1);
}

TEST_F(OpenPort, VanishedPortIsReportedOnceQuietlyAndReopens) {
  peer.CloseFarEnd();
  for (int i = 0; i < 5; ++i) serial.Write(Bytes("61 0C 01 6E"));
  ASSERT_TRUE(PumpUntil([&] { return errorEvents > 0; }));
  EXPECT_EQ(serial.LastErrorCode(), fw::Serial::kPortNotFound);
  EXPECT_FALSE(serial.IsOpen());

  const double cpu0 = vxtest::ProcessCpuSeconds();
  PumpEvents(1000);
  EXPECT_LT(vxtest::ProcessCpuSeconds() - cpu0, 0.25) << "the event loop spun after the port vanished";
  serial.Write("dropped");
  PumpEvents(20);
  EXPECT_EQ(errorEvents, 1);

  PtyPeer again;
  serial.SerialPort = {"vxpty2", again.PortPath()};
  ASSERT_TRUE(serial.Open());
  EXPECT_EQ(serial.LastErrorCode(), 0);
  serial.Write(Bytes("20 01 21"));
  EXPECT_EQ(Hex(again.ReadExactly(3)), "20 01 21");
}

TEST_F(OpenPort, ErrorHandlerMayReopenAtOnce) {
  PtyPeer spare;
  serial.Error = [&] {
    ++errorEvents;
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
  QTemporaryDir dir;
  const std::string plain = dir.filePath("plain").toStdString();
  std::fclose(std::fopen(plain.c_str(), "w"));
  PtyPeer locked;
  const bool root = ::geteuid() == 0;  // root opens any device
  ASSERT_EQ(::chmod(locked.PortPath().c_str(), 0), 0);
  const struct {
    std::string location;
    int code;
  } cases[] = {{"/dev/vx-no-such-port", fw::Serial::kPortNotFound},
               {"", fw::Serial::kPortNotFound},
               {plain, fw::Serial::kInvalidOptions},
               {locked.PortPath(), root ? 0 : fw::Serial::kAccessDenied}};
  for (const auto& c : cases) {
    fw::Serial s;
    int errors = 0;
    s.Error = [&] { ++errors; };
    s.SerialPort = {"", c.location};
    EXPECT_EQ(s.Open(), c.code == 0) << c.location;
    if (c.code == fw::Serial::kInvalidOptions)  // a plain file: either code is sound
      EXPECT_TRUE(s.LastErrorCode() == c.code || s.LastErrorCode() == fw::Serial::kPortNotFound);
    else
      EXPECT_EQ(s.LastErrorCode(), c.code) << c.location;
    s.Write("x");
    PumpEvents(5);
    EXPECT_EQ(errors, 0);
  }
  ::chmod(locked.PortPath().c_str(), 0620);
}

}  // namespace
