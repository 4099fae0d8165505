// The running program's cost: the real main window with both ports open on
// pseudo-terminals and the real 50 ms Timer1 running for a while (30 s by
// default). The controller side polls a deck played by a child process; a
// second child plays an external controller that sends the device side one
// request of the usual mix every 20 ms. Prints this process's CPU seconds
// over the run, its peak resident memory and its context switches.
//
//   running_cost_bench [--seconds S] [--request-ms M]
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "bench/bench_window.h"
#include "bench/far_end.h"

namespace {

// The external controller: one request every periodMs, replies drained.
[[noreturn]] void runController(int far, int periodMs) {
  const auto& mix = vxbench::RequestMix();
  char buf[256];
  for (size_t i = 0;; ++i) {
    const vxbench::Request& rq = mix[i % mix.size()];
    if (::write(far, rq.bytes.data(), rq.bytes.size()) <= 0) ::_exit(0);
    const timespec pause{periodMs / 1000, static_cast<long>(periodMs % 1000) * 1000000};
    ::clock_nanosleep(CLOCK_MONOTONIC, 0, &pause, nullptr);
    while (::read(far, buf, sizeof buf) > 0) {
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  int seconds = 30, requestMs = 20;
  for (int i = 1; i + 1 < argc; i += 2) {
    if (!std::strcmp(argv[i], "--seconds")) seconds = std::max(1, std::atoi(argv[i + 1]));
    if (!std::strcmp(argv[i], "--request-ms")) requestMs = std::max(1, std::atoi(argv[i + 1]));
  }
  vxbench::PtyPair device = vxbench::OpenPty();
  vxbench::PtyPair controller = vxbench::OpenPty();
  auto* counters = new (vxbench::SharedMemory(sizeof(vxbench::SharedCounters))) vxbench::SharedCounters{};
  std::vector<pid_t> peers;
  peers.push_back(vxbench::StartDeckPeer(controller.far, counters));
  const pid_t ext = ::fork();
  if (ext == 0) {
    ::fcntl(device.far, F_SETFL, O_NONBLOCK);
    runController(device.far, requestMs);
  }
  peers.push_back(ext);
  ::close(device.far);
  ::close(controller.far);

  double cpuStart = 0, cpuEnd = 0, cpuBeforeApp = vxbench::ProcessCpuSeconds();
  int64_t wallStart = 0, wallEnd = 0;
  rusage before{}, after{};
  long ticks = 0;
  {
    vxbench::BenchWindow bench(argc, argv);
    if (!bench.Open(device.path, controller.path)) {
      vxbench::StopProcesses(peers);
      return 2;
    }
    // Measured from a second after start, once the window is shown and
    // both sides are busy.
    QTimer::singleShot(1000, [&] {
      cpuStart = vxbench::ProcessCpuSeconds();
      wallStart = vxbench::NowNs();
      ::getrusage(RUSAGE_SELF, &before);
      ticks = bench.Ticks();
      QTimer::singleShot(seconds * 1000, [&] {
        cpuEnd = vxbench::ProcessCpuSeconds();
        wallEnd = vxbench::NowNs();
        ::getrusage(RUSAGE_SELF, &after);
        ticks = bench.Ticks() - ticks;
        vxbench::BenchWindow::Quit();
      });
    });
    bench.Run();
  }
  const int64_t polls = __atomic_load_n(&counters->deckRequestsAnswered, __ATOMIC_RELAXED);
  vxbench::StopProcesses(peers);

  const double wall = static_cast<double>(wallEnd - wallStart) / 1e9;
  const double cpu = cpuEnd - cpuStart;
  std::printf("running_cost_bench: %d s, both ports open on pseudo-terminals, device requests every %d ms\n", seconds,
              requestMs);
  std::printf("  %ld CPUs (%s), platform %s\n", ::sysconf(_SC_NPROCESSORS_ONLN), vxbench::CpuModel().c_str(),
              qgetenv("QT_QPA_PLATFORM").constData());
  std::printf("  ticks %ld, controller polls answered %lld\n", ticks, static_cast<long long>(polls));
  std::printf("  CPU over the run: %.3f s of %.1f s wall = %.2f %% of one core\n", cpu, wall, 100.0 * cpu / wall);
  std::printf("  CPU for start-up (before the run): %.3f s\n", cpuStart - cpuBeforeApp);
  std::printf("  context switches over the run: %ld voluntary, %ld involuntary\n", after.ru_nvcsw - before.ru_nvcsw,
              after.ru_nivcsw - before.ru_nivcsw);
  std::printf("  peak resident memory (ru_maxrss): %ld KiB\n", after.ru_maxrss);
  return 0;
}
