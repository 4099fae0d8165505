// The device side's reply time over a pseudo-terminal: from the last byte
// of a request written at the far end to the last byte of its reply read
// there, while the window ticks (the real 50 ms Timer1) and the controller
// side polls a deck on a second pseudo-terminal. Run once idle and once
// with every core kept busy by spinning processes.
//
// Measuring honestly: this process runs only the program's event loop, as
// the program does. The far ends are child processes forked before the
// application object exists: one plays the external controller and takes
// the timestamps, one plays the deck the controller side polls. The
// measuring child sleeps in poll() until the reply arrives, so its own
// wake-up latency is counted in the figure (it errs on the long side) and
// it never competes for the program's thread. Requests are spaced by a
// random gap, so they meet the tick and the redraws at every phase.
//
//   device_reply_bench [--requests N] [--gap-us G] [--busy N] [--spinner-nice N] [--timer 0|1]
//   --spinner-nice: the spinners' nice value (run the bench under nice -n -10
//   with --spinner-nice 0 to see the program at a raised priority).
#include <poll.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "bench/bench_window.h"
#include "bench/far_end.h"

namespace {

using vxbench::NowNs;

struct Options {
  int requests = 5000;
  int gapUs = 2000;
  int busy = static_cast<int>(::sysconf(_SC_NPROCESSORS_ONLN));
  int spinnerNice = 0;
  bool timer = true;
};

Options parse(int argc, char** argv) {
  Options o;
  for (int i = 1; i + 1 < argc; i += 2) {
    const int v = std::atoi(argv[i + 1]);
    if (!std::strcmp(argv[i], "--requests")) o.requests = std::max(1, v);
    else if (!std::strcmp(argv[i], "--gap-us")) o.gapUs = std::max(0, v);
    else if (!std::strcmp(argv[i], "--busy")) o.busy = std::max(0, v);
    else if (!std::strcmp(argv[i], "--spinner-nice")) o.spinnerNice = v;
    else if (!std::strcmp(argv[i], "--timer")) o.timer = v != 0;
  }
  return o;
}

constexpr int kRuns = 2;  // idle, then every core busy

// Results the measuring child leaves in shared memory.
struct RunResult {
  int64_t lost = 0;   // no whole reply within a second
  int64_t wrong = 0;  // a reply of the wrong length or kind
};
struct Shared {
  vxbench::SharedCounters counters;
  RunResult runs[kRuns];
};

void drain(int fd) {
  char buf[256];
  pollfd p{fd, POLLIN, 0};
  while (::poll(&p, 1, 0) > 0 && (p.revents & POLLIN) && ::read(fd, buf, sizeof buf) > 0) {
  }
}

// The external controller: at each byte on go it sends opt.requests
// requests and times each reply, then reports on done; a zero byte or a
// closed pipe ends it.
[[noreturn]] void runController(int far, int go, int done, int64_t* samples, Shared* shared, const Options& opt) {
  const auto& mix = vxbench::RequestMix();
  std::mt19937 rng(12345);
  std::uniform_int_distribution<int> gap(0, opt.gapUs);
  std::uniform_int_distribution<size_t> pick(0, mix.size() - 1);
  for (int run = 0; run < kRuns; ++run) {
    char cmd = 0;
    if (::read(go, &cmd, 1) != 1 || cmd == 0) ::_exit(0);
    drain(far);
    RunResult& result = shared->runs[run];
    for (int i = 0; i < opt.requests; ++i) {
      const int g = gap(rng);
      const timespec pause{0, static_cast<long>(g) * 1000};
      ::clock_nanosleep(CLOCK_MONOTONIC, 0, &pause, nullptr);
      const vxbench::Request& rq = mix[pick(rng)];
      uint8_t reply[64];
      size_t got = 0;
      // Taken before the write: the request's bytes can be read at the port
      // end before write() returns.
      const int64_t t0 = NowNs();
      if (::write(far, rq.bytes.data(), rq.bytes.size()) != static_cast<ssize_t>(rq.bytes.size())) ::_exit(3);
      bool timedOut = false;
      while (got < rq.replyLength) {
        pollfd p{far, POLLIN, 0};
        if (::poll(&p, 1, 1000) <= 0) {
          timedOut = true;
          break;
        }
        const ssize_t r = ::read(far, reply + got, sizeof reply - got);
        if (r <= 0) ::_exit(3);
        got += static_cast<size_t>(r);
      }
      const int64_t t1 = NowNs();
      samples[static_cast<size_t>(run) * static_cast<size_t>(opt.requests) + static_cast<size_t>(i)] = t1 - t0;
      if (timedOut) {
        ++result.lost;
        drain(far);
      } else if (got != rq.replyLength || reply[0] != rq.replyCmd1) {
        ++result.wrong;
      }
    }
    if (::write(done, "x", 1) != 1) ::_exit(3);
  }
  ::_exit(0);
}

}  // namespace

int main(int argc, char** argv) {
  const Options opt = parse(argc, argv);
  const int cpus = static_cast<int>(::sysconf(_SC_NPROCESSORS_ONLN));

  vxbench::PtyPair device = vxbench::OpenPty();
  vxbench::PtyPair controller = vxbench::OpenPty();
  auto* shared = new (vxbench::SharedMemory(sizeof(Shared))) Shared{};
  const size_t total = static_cast<size_t>(kRuns) * static_cast<size_t>(opt.requests);
  auto* samples = static_cast<int64_t*>(vxbench::SharedMemory(total * sizeof(int64_t)));
  int goPipe[2], donePipe[2];
  if (::pipe(goPipe) != 0 || ::pipe(donePipe) != 0) return 2;

  // The children exist before the application object, so they carry none
  // of its state.
  std::vector<pid_t> peers;
  peers.push_back(vxbench::StartDeckPeer(controller.far, &shared->counters));
  const pid_t measurer = ::fork();
  if (measurer == 0) {
    ::close(goPipe[1]);
    ::close(donePipe[0]);
    runController(device.far, goPipe[0], donePipe[1], samples, shared, opt);
  }
  ::close(goPipe[0]);
  ::close(donePipe[1]);
  ::close(device.far);
  ::close(controller.far);

  std::printf("device_reply_bench: %d requests per run (00 11 11, 20 01 21, 61 0C 01 6E, 61 20 0F 90 at random),\n"
              "  random gap 0..%d us, %d CPUs (%s)\n",
              opt.requests, opt.gapUs, cpus, vxbench::CpuModel().c_str());

  int rc = 0;
  long ticksAt[kRuns + 1] = {};
  int64_t pollsAt[kRuns + 1] = {};

  {
    vxbench::BenchWindow bench(argc, argv);
    if (!bench.Open(device.path, controller.path)) {
      vxbench::StopProcesses(peers);
      return 2;
    }
    // --timer 0 stops the tick: what the tick and its redraws add to the tail.
    if (!opt.timer) bench.Main().Timer1.SetEnabled(false);
    std::vector<pid_t> spinners;
    int run = 0;
    auto startRun = [&] {
      ticksAt[run] = bench.Ticks();
      pollsAt[run] = __atomic_load_n(&shared->counters.deckRequestsAnswered, __ATOMIC_RELAXED);
      if (::write(goPipe[1], "g", 1) != 1) vxbench::BenchWindow::Quit();
    };
    QSocketNotifier doneNote(donePipe[0], QSocketNotifier::Read);
    QObject::connect(&doneNote, &QSocketNotifier::activated, [&] {
      char c = 0;
      if (::read(donePipe[0], &c, 1) != 1) {
        rc = 1;
        vxbench::BenchWindow::Quit();
        return;
      }
      ++run;
      ticksAt[run] = bench.Ticks();
      pollsAt[run] = __atomic_load_n(&shared->counters.deckRequestsAnswered, __ATOMIC_RELAXED);
      if (run == 1) {
        spinners = vxbench::StartSpinners(opt.busy, opt.spinnerNice);
        QTimer::singleShot(500, startRun);  // the spinners settle on their cores
      } else {
        vxbench::StopProcesses(spinners);
        vxbench::BenchWindow::Quit();
      }
    });
    // A second to settle: the window shown, the controller side polling.
    QTimer::singleShot(1000, startRun);
    bench.Run();
    vxbench::StopProcesses(spinners);
    const vxbench::Summary t = vxbench::Summarize(bench.TickDurations());
    std::printf("Timer1 action: %zu ticks, median %.1f us, p99 %.1f us, max %.1f us\n", t.count,
                static_cast<double>(t.median) / 1e3, static_cast<double>(t.p99) / 1e3,
                static_cast<double>(t.max) / 1e3);
  }
  const char stop = 0;
  if (::write(goPipe[1], &stop, 1) != 1) ::kill(measurer, SIGKILL);
  ::waitpid(measurer, nullptr, 0);
  vxbench::StopProcesses(peers);

  std::printf("\n%-22s %8s %5s %6s %10s %10s %10s %10s %6s %6s\n", "run", "requests", "lost", "wrong", "median_us",
              "p99_us", "p99.9_us", "max_us", "ticks", "polls");
  const char* names[kRuns] = {"idle", nullptr};
  const std::string busyName = "busy (" + std::to_string(opt.busy) + " spinners)";
  names[1] = busyName.c_str();
  bool aimMissed = false;
  for (int r = 0; r < kRuns; ++r) {
    const int64_t* first = samples + static_cast<size_t>(r) * static_cast<size_t>(opt.requests);
    const vxbench::Summary s = vxbench::Summarize(std::vector<int64_t>(first, first + opt.requests));
    std::printf("%-22s %8zu %5lld %6lld %10.1f %10.1f %10.1f %10.1f %6ld %6lld\n", names[r], s.count,
                static_cast<long long>(shared->runs[r].lost), static_cast<long long>(shared->runs[r].wrong),
                static_cast<double>(s.median) / 1e3, static_cast<double>(s.p99) / 1e3,
                static_cast<double>(s.p999) / 1e3, static_cast<double>(s.max) / 1e3, ticksAt[r + 1] - ticksAt[r],
                static_cast<long long>(pollsAt[r + 1] - pollsAt[r]));
    if (s.p99 >= 1000000 || shared->runs[r].lost || shared->runs[r].wrong) aimMissed = true;
  }
  std::printf("\nticks: Timer1 actions during the run; polls: controller-side requests the deck answered.\n"
              "Protocol limit 9 ms; aim: p99 under 1 ms, no lost or wrong replies: %s\n",
              aimMissed ? "MISSED" : "met");
  return rc;
}
