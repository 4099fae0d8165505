// fw::Serial against real pseudo-terminals: the test holds the far end.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <QDir>
#include <QTemporaryDir>
#include <memory>

#include "framework/serial.h"
#include "tests/support/pty.h"

namespace {

using vxtest::Bytes;
using vxtest::Hex;
using vxtest::PtyPeer;
using vxtest::PumpEvents;
using vxtest::PumpUntil;

// A port opened on a fresh pty that gathers what arrives and counts events.
struct OpenPort {
  PtyPeer peer;
  fw::Serial serial;
  std::string received;
  int dataEvents = 0;
  int errorEvents = 0;

  OpenPort() {
    serial.SerialPort = {"vxpty", peer.PortPath()};
    serial.DataAvailable = [this] {
      ++dataEvents;
      received += serial.ReadAll();
    };
    serial.Error = [this] { ++errorEvents; };
  }
  bool WaitFor(size_t n) {
    return PumpUntil([&] { return received.size() >= n; });
  }
};

TEST(SerialLine, OpensWithDeckLineSettings) {
  OpenPort p;
  ASSERT_TRUE(p.serial.Open());
  EXPECT_TRUE(p.serial.IsOpen());
  EXPECT_EQ(p.serial.LastErrorCode(), 0);

  termios tio{};
  ASSERT_EQ(::tcgetattr(p.peer.PortEndFd(), &tio), 0);
  EXPECT_EQ(::cfgetospeed(&tio), static_cast<speed_t>(B38400));
  EXPECT_EQ(::cfgetispeed(&tio), static_cast<speed_t>(B38400));
  EXPECT_EQ(tio.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
  // The pty driver clears PARENB whatever is asked; PARODD shows the request.
  EXPECT_TRUE(tio.c_cflag & PARODD);
  EXPECT_FALSE(tio.c_cflag & CSTOPB);
  EXPECT_FALSE(tio.c_cflag & CRTSCTS);
  EXPECT_FALSE(tio.c_iflag & (IXON | IXOFF));

  p.serial.Close();
  EXPECT_FALSE(p.serial.IsOpen());
  p.serial.Close();  // a second close is harmless
  EXPECT_EQ(p.serial.ReadAll(), "");
}

TEST(SerialLine, RoundTripBothWaysKeepsEveryByteValue) {
  OpenPort p;
  ASSERT_TRUE(p.serial.Open());

  std::string all;
  for (int v = 0; v < 256; ++v) all.push_back(static_cast<char>(v));
  p.serial.Write(Bytes("20 01 21"));
  p.serial.Write(all);
  EXPECT_EQ(Hex(p.peer.ReadExactly(3 + 256)), Hex(Bytes("20 01 21") + all));

  p.peer.Write(all);
  ASSERT_TRUE(p.WaitFor(256));
  EXPECT_EQ(Hex(p.received), Hex(all));
}

TEST(SerialLine, BytesSplitOverReadsRaiseDataAvailableAgain) {
  OpenPort p;
  ASSERT_TRUE(p.serial.Open());
  p.peer.Write(Bytes("61 20"));
  ASSERT_TRUE(p.WaitFor(2));
  const int first = p.dataEvents;
  EXPECT_GE(first, 1);

  p.peer.Write(Bytes("0F 90"));
  ASSERT_TRUE(p.WaitFor(4));
  EXPECT_GT(p.dataEvents, first);
  EXPECT_EQ(Hex(p.received), "61 20 0F 90");
}

TEST(SerialLine, LargeWriteReturnsAtOnceAndArrivesCompleteInOrder) {
  OpenPort p;
  ASSERT_TRUE(p.serial.Open());
  std::string big(64 * 1024, '\0');
  for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>((i * 7 + i / 256) & 0xFF);

  // Far more than a pty holds: Write must queue the rest, not wait for it.
  p.serial.Write(big);
  p.serial.Write("end");
  const std::string got = p.peer.ReadExactly(big.size() + 3, 10000);
  ASSERT_EQ(got.size(), big.size() + 3);
  EXPECT_TRUE(got == big + "end");
}

TEST(SerialLine, BytesArrivingDuringTheHandlerAreAnnouncedAfterIt) {
  // A handler that runs a nested event loop (a message box) while more
  // bytes come in must hear of them once it has returned.
  OpenPort p;
  bool nested = false;
  p.serial.DataAvailable = [&] {
    ++p.dataEvents;
    p.received += p.serial.ReadAll();
    if (!nested) {
      nested = true;
      p.peer.Write(Bytes("10 01 11"));
      PumpEvents(100);
    }
  };
  ASSERT_TRUE(p.serial.Open());
  p.peer.Write(Bytes("00 11 11"));
  ASSERT_TRUE(p.WaitFor(6));
  EXPECT_EQ(Hex(p.received), "00 11 11 10 01 11");

  // Bytes a handler leaves unread are not announced over and over.
  p.serial.DataAvailable = [&] { ++p.dataEvents; };
  p.dataEvents = 0;
  p.peer.Write("x");
  ASSERT_TRUE(PumpUntil([&] { return p.dataEvents > 0; }));
  const int events = p.dataEvents;
  PumpEvents(100);
  EXPECT_EQ(p.dataEvents, events);
}

TEST(SerialVanish, ReportedOnceThenQuietAndReopenable) {
  OpenPort p;
  ASSERT_TRUE(p.serial.Open());
  p.peer.Write("ab");
  ASSERT_TRUE(p.WaitFor(2));

  p.peer.CloseFarEnd();
  ASSERT_TRUE(PumpUntil([&] { return p.errorEvents > 0; }));
  EXPECT_EQ(p.serial.LastErrorCode(), fw::Serial::kPortNotFound);
  EXPECT_FALSE(p.serial.IsOpen());

  // No storm of events and no busy loop afterwards.
  const double cpu0 = vxtest::ProcessCpuSeconds();
  PumpEvents(1000);
  const double cpu = vxtest::ProcessCpuSeconds() - cpu0;
  EXPECT_LT(cpu, 0.25) << "the event loop spun after the port vanished";
  EXPECT_EQ(p.errorEvents, 1);

  p.serial.Write("dropped");  // goes nowhere, raises nothing
  PumpEvents(20);
  EXPECT_EQ(p.errorEvents, 1);

  // The same object opens a new port.
  PtyPeer again;
  p.serial.SerialPort = {"vxpty2", again.PortPath()};
  ASSERT_TRUE(p.serial.Open());
  EXPECT_EQ(p.serial.LastErrorCode(), 0);
  p.serial.Write(Bytes("20 01 21"));
  EXPECT_EQ(Hex(again.ReadExactly(3)), "20 01 21");
}

TEST(SerialVanish, WriteToAVanishedPortIsReportedOnce) {
  OpenPort p;
  ASSERT_TRUE(p.serial.Open());
  p.peer.CloseFarEnd();
  for (int i = 0; i < 5; ++i) p.serial.Write(Bytes("61 0C 01 6E"));
  ASSERT_TRUE(PumpUntil([&] { return p.errorEvents > 0; }));
  PumpEvents(200);
  EXPECT_EQ(p.errorEvents, 1);
  EXPECT_EQ(p.serial.LastErrorCode(), fw::Serial::kPortNotFound);
}

TEST(SerialVanish, ErrorHandlerMayReopenAtOnce) {
  OpenPort p;
  PtyPeer spare;
  p.serial.Error = [&] {
    ++p.errorEvents;
    p.serial.SerialPort = {"spare", spare.PortPath()};
    EXPECT_TRUE(p.serial.Open());
  };
  ASSERT_TRUE(p.serial.Open());
  p.peer.CloseFarEnd();
  ASSERT_TRUE(PumpUntil([&] { return p.errorEvents > 0; }));
  spare.Write("ok");
  ASSERT_TRUE(p.WaitFor(2));
  EXPECT_EQ(p.received, "ok");
  EXPECT_EQ(p.errorEvents, 1);
}

TEST(SerialOpen, FailuresGiveTheirCodesAndRaiseNoError) {
  fw::Serial s;
  int errors = 0;
  s.Error = [&] { ++errors; };

  s.SerialPort = {"nothere", "/dev/vx-no-such-port"};
  EXPECT_FALSE(s.Open());
  EXPECT_EQ(s.LastErrorCode(), fw::Serial::kPortNotFound);
  EXPECT_FALSE(s.IsOpen());

  s.SerialPort = {};
  EXPECT_FALSE(s.Open());
  EXPECT_EQ(s.LastErrorCode(), fw::Serial::kPortNotFound);

  s.Write("x");  // a port that never opened drops writes
  EXPECT_EQ(s.ReadAll(), "");
  PumpEvents(20);
  EXPECT_EQ(errors, 0);
}

TEST(SerialOpen, PortWithoutPermissionIsAccessDenied) {
  if (::geteuid() == 0) GTEST_SKIP() << "root may open any device";
  PtyPeer peer;
  ASSERT_EQ(::chmod(peer.PortPath().c_str(), 0), 0);
  fw::Serial s;
  s.SerialPort = {"locked", peer.PortPath()};
  EXPECT_FALSE(s.Open());
  EXPECT_EQ(s.LastErrorCode(), fw::Serial::kAccessDenied);
  ::chmod(peer.PortPath().c_str(), 0620);
}

TEST(SerialOpen, AFileThatIsNoTerminalFailsCleanly) {
  QTemporaryDir dir;
  const std::string path = QDir(dir.path()).filePath("plain").toStdString();
  FILE* f = std::fopen(path.c_str(), "w");
  ASSERT_NE(f, nullptr);
  std::fclose(f);
  fw::Serial s;
  s.SerialPort = {"plain", path};
  EXPECT_FALSE(s.Open());
  EXPECT_TRUE(s.LastErrorCode() == fw::Serial::kInvalidOptions || s.LastErrorCode() == fw::Serial::kPortNotFound)
      << s.LastErrorCode();
}

TEST(SerialPortList, AddedPortsFollowTheMachinesAndAreAskedAfresh) {
  fw::testing::HideMachinePorts(true);
  fw::testing::ClearSerialPorts();
  EXPECT_EQ(fw::SerialPortCount(), 0);
  EXPECT_EQ(fw::SerialPort(0).Name, "");

  PtyPeer a, b;
  fw::testing::AddSerialPort("DeckA", a.PortPath());
  fw::testing::AddSerialPort("DeckB", b.PortPath());
  ASSERT_EQ(fw::SerialPortCount(), 2);
  EXPECT_EQ(fw::SerialPort(1).Name, "DeckB");
  EXPECT_EQ(fw::SerialPort(1).Location, b.PortPath());
  EXPECT_EQ(fw::SerialPort(2).Location, "");
  EXPECT_EQ(fw::SerialPort(-1).Location, "");

  fw::Serial s;
  s.SerialPort = fw::SerialPort(0);
  ASSERT_TRUE(s.Open());
  s.Write("A");
  EXPECT_EQ(a.ReadExactly(1), "A");
  s.Close();

  fw::testing::HideMachinePorts(false);
  const int machine = fw::SerialPortCount() - 2;
  EXPECT_GE(machine, 0);
  EXPECT_EQ(fw::SerialPort(machine).Name, "DeckA");
  fw::testing::ClearSerialPorts();
  EXPECT_EQ(fw::SerialPortCount(), machine);
}

}  // namespace
