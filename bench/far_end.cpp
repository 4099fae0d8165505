#include "bench/far_end.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>

namespace vxbench {

namespace {

uint8_t sumOf(const uint8_t* b, size_t n) {
  uint8_t s = 0;
  for (size_t i = 0; i < n; ++i) s = static_cast<uint8_t>(s + b[i]);
  return s;
}

// The deck's reply to one controller request (frame without checksum in
// req); an acknowledgement for anything it does not answer with data.
size_t deckReply(const uint8_t* req, uint8_t* out) {
  size_t n = 0;
  auto put = [&](uint8_t b) { out[n++] = b; };
  if (req[0] == 0x00 && req[1] == 0x11) {
    put(0x12); put(0x11); put(0x00); put(0x01);
  } else if (req[0] == 0x61 && req[1] == 0x20) {
    const int count = req[2] & 0x0F;  // status bytes asked for
    put(static_cast<uint8_t>(0x70 + count)); put(0x20);
    for (int i = 0; i < count; ++i) put(0x00);
  } else if (req[0] == 0x61 && req[1] == 0x0C) {
    put(0x74); put(0x04); put(0x01); put(0x02); put(0x03); put(0x00);
  } else if (req[0] == 0x61 && req[1] == 0x30) {
    put(0x74); put(0x30); put(0x00); put(0x00); put(0x00); put(0x00);
  } else {
    put(0x10); put(0x01);
  }
  out[n] = sumOf(out, n);
  return n + 1;
}

[[noreturn]] void runDeckPeer(int far, SharedCounters* counters) {
  uint8_t buf[256];
  size_t have = 0;
  for (;;) {
    const ssize_t r = ::read(far, buf + have, sizeof buf - have);
    if (r <= 0) ::_exit(0);  // the port end is gone
    have += static_cast<size_t>(r);
    // Cut whole frames; the controller side sends well-formed ones.
    size_t at = 0;
    while (have - at >= 2) {
      const size_t len = static_cast<size_t>(buf[at] & 0x0F) + 3;
      if (have - at < len) break;
      uint8_t reply[32];
      const size_t n = deckReply(buf + at, reply);
      if (::write(far, reply, n) != static_cast<ssize_t>(n)) ::_exit(0);
      __atomic_add_fetch(&counters->deckRequestsAnswered, 1, __ATOMIC_RELAXED);
      at += len;
    }
    std::copy(buf + at, buf + have, buf);
    have -= at;
  }
}

}  // namespace

PtyPair OpenPty() {
  PtyPair p;
  if (!vxtest::OpenRawPty(p)) {
    std::perror("openpty");
    std::exit(2);
  }
  return p;
}

const std::vector<Request>& RequestMix() {
  static const std::vector<Request> mix = {
      {std::string_view("\x00\x11\x11", 3), 5, 0x12},
      {std::string_view("\x20\x01\x21", 3), 3, 0x10},
      {std::string_view("\x61\x0C\x01\x6E", 4), 7, 0x74},
      {std::string_view("\x61\x20\x0F\x90", 4), 18, 0x7F},
  };
  return mix;
}

void* SharedMemory(size_t bytes) {
  void* p = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
  if (p == MAP_FAILED) {
    std::perror("mmap");
    std::exit(2);
  }
  return p;
}

pid_t StartDeckPeer(int far, SharedCounters* counters) {
  const pid_t pid = ::fork();
  if (pid == 0) runDeckPeer(far, counters);
  return pid;
}

std::vector<pid_t> StartSpinners(int n, int niceValue) {
  std::vector<pid_t> pids;
  for (int i = 0; i < n; ++i) {
    const pid_t pid = ::fork();
    if (pid == 0) {
      ::setpriority(PRIO_PROCESS, 0, niceValue);
      volatile uint64_t spins = 0;
      for (;;) spins = spins + 1;
    }
    if (pid > 0) pids.push_back(pid);
  }
  return pids;
}

void StopProcesses(std::vector<pid_t>& pids) {
  for (pid_t pid : pids) ::kill(pid, SIGKILL);
  for (pid_t pid : pids) ::waitpid(pid, nullptr, 0);
  pids.clear();
}

int64_t NowNs() {
  timespec t{};
  ::clock_gettime(CLOCK_MONOTONIC, &t);
  return int64_t{t.tv_sec} * 1000000000 + t.tv_nsec;
}

Summary Summarize(std::vector<int64_t> samples) {
  Summary s;
  s.count = samples.size();
  if (samples.empty()) return s;
  std::sort(samples.begin(), samples.end());
  auto rank = [&](double q) {
    const size_t i = static_cast<size_t>(q * static_cast<double>(samples.size() - 1) + 0.5);
    return samples[std::min(i, samples.size() - 1)];
  };
  s.median = rank(0.5);
  s.p99 = rank(0.99);
  s.p999 = rank(0.999);
  s.max = samples.back();
  return s;
}

double ProcessCpuSeconds() {
  rusage u{};
  ::getrusage(RUSAGE_SELF, &u);
  return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
         static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

std::string CpuModel() {
  std::ifstream in("/proc/cpuinfo");
  std::string line;
  while (std::getline(in, line))
    if (line.rfind("model name", 0) == 0) return line.substr(line.find(':') + 2);
  return "unknown";
}

}  // namespace vxbench
