// Time from start to the first tick. Run without arguments, it starts
// itself N times (--runs N, default 20) as a fresh process and reports, for
// each, the time from just before exec to main's entry and to the first
// Timer1 action. The started copy does what the program's start-up does
// (the application object, the menu bar, app::main::instance(), the event
// loop) with its settings in an empty temporary folder, as on a first
// start; its first tick is seen through a wrapper around Timer1's action,
// then it quits. The platform is inherited: offscreen unless
// QT_QPA_PLATFORM is set (QT_QPA_PLATFORM=xcb under Xvfb for an X server).
#include <sys/wait.h>
#include <unistd.h>

#include <QTemporaryDir>
#include <algorithm>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "app/menubar1.h"
#include "bench/far_end.h"
#include "framework/application.h"
#include "framework/files.h"
#include "framework/window.h"
#include "settings/config.h"

namespace {

// The started copy: writes "entry shown firsttick" (CLOCK_MONOTONIC ns) to fd.
int runChild(int argc, char** argv, int fd) {
  const int64_t entry = vxbench::NowNs();
  int64_t shown = 0, firstTick = 0;
  {
    fw::Application theApp(argc, argv);
    QTemporaryDir settings;
    fw::testing::SetApplicationFolder(settings.path().toStdString());
    theApp.SetMenuBar(&app::MenuBar1::instance());
    app::main& m = app::main::instance();
    shown = vxbench::NowNs();
    const auto action = m.Timer1.Action;
    m.Timer1.Action = [&, action] {
      if (firstTick == 0) {
        firstTick = vxbench::NowNs();
        QTimer::singleShot(0, [] { fw::Application::Quit(); });
      }
      action();
    };
    theApp.Run();
    fw::DestroySingleWindows();
    fw::testing::SetApplicationFolder("");
  }
  config::reset();
  const std::string line = std::to_string(entry) + " " + std::to_string(shown) + " " + std::to_string(firstTick) + "\n";
  return ::write(fd, line.data(), line.size()) == static_cast<ssize_t>(line.size()) ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 3 && !std::strcmp(argv[1], "--child")) return runChild(argc, argv, std::atoi(argv[2]));
  int runs = 20;
  if (argc >= 3 && !std::strcmp(argv[1], "--runs")) runs = std::max(1, std::atoi(argv[2]));
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");

  std::vector<int64_t> toEntry, toShown, toTick;
  for (int i = 0; i < runs; ++i) {
    int p[2];
    if (::pipe(p) != 0) return 2;
    const std::string fd = std::to_string(p[1]);
    const int64_t start = vxbench::NowNs();
    const pid_t pid = ::fork();
    if (pid == 0) {
      ::close(p[0]);
      ::execl("/proc/self/exe", argv[0], "--child", fd.c_str(), static_cast<char*>(nullptr));
      ::_exit(127);
    }
    ::close(p[1]);
    char buf[128] = {};
    size_t got = 0;
    for (ssize_t r; (r = ::read(p[0], buf + got, sizeof buf - 1 - got)) > 0;) got += static_cast<size_t>(r);
    ::close(p[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    long long entry = 0, shown = 0, tick = 0;
    if (std::sscanf(buf, "%lld %lld %lld", &entry, &shown, &tick) != 3 || tick == 0) {
      std::fprintf(stderr, "run %d: the started copy reported nothing\n", i);
      return 1;
    }
    toEntry.push_back(entry - start);
    toShown.push_back(shown - start);
    toTick.push_back(tick - start);
  }
  std::printf("startup_bench: %d runs, platform %s, %ld CPUs (%s)\n", runs, qgetenv("QT_QPA_PLATFORM").constData(),
              ::sysconf(_SC_NPROCESSORS_ONLN), vxbench::CpuModel().c_str());
  std::printf("%-34s %9s %9s %9s\n", "from fork+exec to", "median_ms", "min_ms", "max_ms");
  auto row = [](const char* what, const std::vector<int64_t>& v) {
    const vxbench::Summary s = vxbench::Summarize(v);
    const int64_t mn = *std::min_element(v.begin(), v.end());
    std::printf("%-34s %9.1f %9.1f %9.1f\n", what, static_cast<double>(s.median) / 1e6, static_cast<double>(mn) / 1e6,
                static_cast<double>(s.max) / 1e6);
  };
  row("main entered", toEntry);
  row("main window built and shown", toShown);
  row("first Timer1 action", toTick);
  std::printf("(Timer1 starts while the window is built; its first action comes one 50 ms period later.)\n");
  return 0;
}
