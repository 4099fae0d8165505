#pragma once
// The far ends of the benchmarks' serial lines, played by child processes so
// that the measuring side never shares the program's event thread, and the
// processes that keep every core busy.
#include <sys/types.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tests/support/raw_pty.h"

namespace vxbench {

// A pseudo-terminal: the program opens path, a child process holds far.
using PtyPair = vxtest::RawPty;

// A raw pseudo-terminal pair; exits the benchmark when none can be made.
PtyPair OpenPty();

// A request an external controller sends to the device side, with the
// length and first byte of the reply it must get.
struct Request {
  std::string_view bytes;
  size_t replyLength;
  uint8_t replyCmd1;
};
// 00 11 11, 20 01 21, 61 0C 01 6E and 61 20 0F 90.
const std::vector<Request>& RequestMix();

// Counters the children keep in memory shared with the benchmark.
struct SharedCounters {
  int64_t deckRequestsAnswered = 0;  // written only by the deck child
};
// Anonymous memory shared with children forked afterwards.
void* SharedMemory(size_t bytes);

// Forks a child that plays an external deck on far: it answers each
// request of the controller side at once, until it is killed.
pid_t StartDeckPeer(int far, SharedCounters* counters);

// Forks n children that spin on a core each until they are killed, at the
// given nice value (0: the default priority of a user's programs).
std::vector<pid_t> StartSpinners(int n, int niceValue = 0);

// Kills the children (SIGKILL) and reaps them.
void StopProcesses(std::vector<pid_t>& pids);

// CLOCK_MONOTONIC in nanoseconds: one clock for every process.
int64_t NowNs();

// Median, 99th percentile, 99.9th percentile and maximum of samples (ns).
struct Summary {
  size_t count = 0;
  int64_t median = 0, p99 = 0, p999 = 0, max = 0;
};
Summary Summarize(std::vector<int64_t> samples);

// CPU seconds (user + system) of this process so far.
double ProcessCpuSeconds();

// The CPU model from /proc/cpuinfo.
std::string CpuModel();

}  // namespace vxbench
