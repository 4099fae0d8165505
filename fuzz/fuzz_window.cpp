#include "fuzz/fuzz_window.h"

#include <fcntl.h>
#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "framework/dialogs.h"
#include "framework/files.h"
#include "framework/serial.h"
#include "protocol/sonysr.h"
#include "settings/config.h"
#include "tests/support/raw_pty.h"

namespace vxfuzz {

namespace {

// The far end of one of the program's ports and what the program wrote to
// it that has not arrived there yet.
struct FarEnd {
  int master = -1;
  int slave = -1;  // kept open, so the port never sees its last user go
  std::string path;
  std::string pending;
};

FarEnd openFarEnd() {
  vxtest::RawPty pty;
  Require(vxtest::OpenRawPty(pty), "openpty failed");
  ::fcntl(pty.far, F_SETFL, ::fcntl(pty.far, F_GETFL) | O_NONBLOCK);
  FarEnd f;
  f.master = pty.far;
  f.slave = pty.port;
  f.path = pty.path;
  return f;
}

// Everything lives for the whole run and is never destroyed: the process
// ends with the run.
FarEnd* deviceEnd = nullptr;
FarEnd* controllerEnd = nullptr;
app::main* window = nullptr;

void readFarEnd(FarEnd& f) {
  char buf[4096];
  for (;;) {
    const ssize_t n = ::read(f.master, buf, sizeof buf);
    if (n <= 0) break;
    const std::string_view got(buf, static_cast<size_t>(n));
    Require(std::string_view(f.pending).starts_with(got), "the port sent other bytes than the program wrote");
    f.pending.erase(0, got.size());
  }
}

}  // namespace

void Fail(const char* what) {
  std::fprintf(stderr, "property broken: %s\n", what);
  std::fflush(stderr);
  std::abort();
}

void InitQt() {
  static QApplication* qapp = nullptr;
  if (qapp) return;
  qputenv("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char arg0[] = "vxfuzz";
  static char* argv[] = {arg0, nullptr};
  qapp = new QApplication(argc, argv);
  static auto* dir = new QTemporaryDir();
  Require(dir->isValid(), "no temporary folder");
  fw::testing::SetApplicationFolder(dir->path().toStdString());
  static const std::string folder = dir->path().toStdString();
  std::atexit([] { QDir(QString::fromStdString(folder)).removeRecursively(); });
  // A message box would wait for a user; none is expected at all.
  fw::testing::SetMsgBoxHook([](const std::string&) { Fail("a message box was shown"); });
}

app::main& Window() {
  if (window) return *window;
  InitQt();
  config::reset();
  sonysr::reset();
  deviceEnd = new FarEnd(openFarEnd());
  controllerEnd = new FarEnd(openFarEnd());
  fw::testing::HideMachinePorts(true);
  fw::testing::ClearSerialPorts();
  fw::testing::AddSerialPort("ttyFUZZD", deviceEnd->path);
  fw::testing::AddSerialPort("ttyFUZZC", controllerEnd->path);
  window = &app::main::instance();
  window->Timer1.SetEnabled(false);
  Require(window->opendeviceport(0), "device port did not open");
  Require(window->opencontrollerport(1), "controller port did not open");
  fw::testing::SetWriteHook([](const fw::Serial& port, const std::string& bytes) {
    Require(WellFormed(bytes), "the program wrote a malformed message");
    if (&port == &window->Seriald) deviceEnd->pending += bytes;
    else if (&port == &window->Serialc) controllerEnd->pending += bytes;
    else Fail("a write to an unknown port");
  });
  return *window;
}

void ResetSides(app::main& m) {
  m.rxbuffa = rxring{};
  m.rxbuffb = rxring{};
  m.incmda = {};
  m.incmdb = {};
  m.waitack = 0;
  sonysr::reset();
  for (tckey* deck : {m.dpoz, m.cpoz}) {
    deck->tcstd = 0;
    deck->frames = 0;
    deck->speed = 0;
    deck->tally = 0;
    deck->record = false;
    deck->statuschange = true;
    deck->statusarray = {};
    deck->cued = false;
    deck->init();
  }
  for (recpanel* p : {m.recpanel1, m.recpanel2}) {
    p->reccmd = {};
    p->newcmd = false;
  }
  m.transportpanel1->newcmd = false;
  m.transportpanel2->newcmd = false;
}

void Drain() {
  // Bounded: the far ends take what the ports sent; a lagging pseudo-
  // terminal leaves the rest for the next input.
  int rounds = 0;
  do {
    QCoreApplication::processEvents();
    readFarEnd(*deviceEnd);
    readFarEnd(*controllerEnd);
  } while ((deviceEnd->pending.size() > 65536 || controllerEnd->pending.size() > 65536) && ++rounds < 10000);
}

bool WellFormed(std::string_view msg) {
  if (msg.size() < 3) return false;
  const size_t n = static_cast<uint8_t>(msg[0]) % 16 + 2;
  if (msg.size() != n + 1) return false;
  uint8_t sum = 0;
  for (size_t i = 0; i < n; ++i) sum = static_cast<uint8_t>(sum + static_cast<uint8_t>(msg[i]));
  return sum == static_cast<uint8_t>(msg[n]);
}

std::string FrameBytes(const FrameArray& frame) {
  const size_t n = frame[0] % 16 + 2;
  return std::string(reinterpret_cast<const char*>(frame.data()), n);
}

void CheckHandedFrame(const rxring& ring, const FrameArray& frame) {
  const int n = frame[0] % 16 + 2;
  Require(ring.unread() >= n + 1, "a frame was handed over before all its bytes arrived");
  uint8_t sum = 0;
  for (int i = 0; i < n; ++i) {
    Require(ring.cells[(ring.out + i) % rxring::kCells] == frame[static_cast<size_t>(i)],
            "the handed frame is not the one at the read position");
    sum = static_cast<uint8_t>(sum + frame[static_cast<size_t>(i)]);
  }
  Require(ring.cells[(ring.out + n) % rxring::kCells] == sum, "a frame with a wrong checksum was handed over");
}

Reads SplitInput(const uint8_t* data, size_t size) {
  Reads r;
  if (size == 0) return r;
  const size_t nsplits = std::min<size_t>(data[0] % 8, size - 1);
  const uint8_t* splits = data + 1;
  r.stream = std::string_view(reinterpret_cast<const char*>(data + 1 + nsplits), size - 1 - nsplits);
  if (nsplits == 0) {
    r.reads.push_back({false, r.stream});
    return r;
  }
  size_t at = 0;
  for (size_t i = 0; at < r.stream.size() || i < nsplits; ++i) {
    const uint8_t s = splits[i % nsplits];
    const size_t len = std::min<size_t>(s % 128, r.stream.size() - at);
    r.reads.push_back({s >= 128, r.stream.substr(at, len)});
    at += len;
    if (i > r.stream.size() + nsplits) break;  // every split byte reads 0 bytes
  }
  if (at < r.stream.size()) r.reads.push_back({false, r.stream.substr(at)});
  return r;
}

void RunReceive(app::main& m, rxring& ring, FrameArray& frame, void (app::main::*parse)(), const uint8_t* data,
                size_t size) {
  ResetSides(m);
  const Reads in = SplitInput(data, size);
  std::vector<std::string> handed;
  for (const Reads::Read& read : in.reads) {
    if (read.tickFirst) m.Timer1_Action();
    // What the side's DataAvailable does, with the bytes of one read in
    // place of ReadAll and the frame checked on its way to the handler.
    ring.receive(read.bytes, frame, [&] {
      CheckHandedFrame(ring, frame);
      handed.push_back(FrameBytes(frame));
      (m.*parse)();
    });
  }
  Require(handed == ReferenceFrames(in.stream), "the frames handed over depend on how the bytes were read");
  Drain();
}

std::vector<std::string> ReferenceFrames(std::string_view stream) {
  std::vector<std::string> frames;
  rxring ring;
  FrameArray frame{};
  ring.receive(stream, frame, [&] { frames.push_back(FrameBytes(frame)); });
  return frames;
}

}  // namespace vxfuzz
