// The settings table, its file and window positions. Junk files at start are
// proven on the main window (stress_test); positions across runs in tests/app.
#include <gtest/gtest.h>
#include <grp.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QTemporaryDir>
#include <csignal>

#include "framework/files.h"
#include "framework/window.h"
#include "settings/config.h"
#include "tests/support/pty.h"

namespace {

using Strings = std::vector<std::string>;

class Settings : public ::testing::Test {
 protected:
  QTemporaryDir dir;
  void SetUp() override {
    fw::testing::SetApplicationFolder(dir.path().toStdString());
    config::reset();
  }
  void TearDown() override { fw::testing::SetApplicationFolder(""); }
  std::string path() const { return dir.filePath("v.ini").toStdString(); }
  std::string read() const { return vxtest::ReadWholeFile(path()); }
  void load(const std::string& text) {
    vxtest::WriteWholeFile(path(), text);
    config::initconfig("v.ini");
  }
  static Strings first(size_t n) { return Strings(config::parray.begin(), config::parray.begin() + long(n)); }
};

TEST_F(Settings, LinesEndInLfCrLfOrCrAloneAndSaveAsWholeLines) {
  const std::pair<std::string, Strings> files[] = {
      {"a\r\nb\r\n\r\nc", {"a", "b", "", "c", "", ""}},
      {std::string(4095, 'x') + "\r\nb", {std::string(4095, 'x'), "b", "", "", "", ""}},  // CR LF across reads
      {"a\n\rb\r\r\nc\r\rd\n", {"a", "", "b", "c", "", "d"}},  // CR CR LF: one ending, as written before
      {"DevicePort\rttyUSB3\rcontrolport\r", {"DevicePort", "ttyUSB3", "controlport", "", "", ""}}};
  for (const auto& [text, elements] : files) {
    load(text);
    EXPECT_EQ(first(6), elements) << vxtest::Hex(text);
  }
  EXPECT_EQ(config::getstring("deviceport"), "ttyUSB3");
  EXPECT_EQ(config::getstring("CONTROLPORT") + config::getstring("other"), "");
  EXPECT_EQ(config::findconfig("other"), 2);
  config::putconfig("deviceport", std::string("tty\rS1"));  // a value is written up to its line end
  config::putconfig("n", std::string("1\n2"));
  ASSERT_TRUE(config::saveconfig());
  EXPECT_EQ(read(), "deviceport\ntty\ncontrolport\n\nn\n1\n" + std::string(250, '\n'));
}

TEST_F(Settings, AllOfThe256LinesAreReadKeysMatchInEitherCaseAndAnEmptyKeyEndsLookup) {
  // Built by appending: GCC 12 at -O3 warns falsely (-Wrestrict) on "literal" + std::string.
  const auto numbered = [](char prefix, int n) { return std::string(1, prefix).append(std::to_string(n)); };
  std::string text;
  const std::string keys = "ABCDEFGHIJKLMNOPQRSTUVWXYZ@[";
  for (int k = 0; k < config::kPairs; ++k) {
    text.append(k < 28 ? keys.substr(size_t(k), 1) : numbered('k', k)).append("\n");
    text.append(numbered('v', k)).append("\n");
  }
  load(text + "past\n");
  for (char c = 'a'; c <= 'z'; ++c) EXPECT_EQ(config::getstring(std::string(1, c)), numbered('v', c - 'a'));
  EXPECT_EQ(config::getstring("K127") + config::getstring("`") + config::getstring("{"), "v127");
  config::putconfig("extra", 1);  // a full table takes no new key
  ASSERT_TRUE(config::saveconfig());
  EXPECT_EQ(read(), text);
  load("a\n1\n\nlost\nc\n3\n");
  EXPECT_EQ(config::getstring("c"), "");
  config::putconfig("new", 7);
  EXPECT_EQ(first(6), (Strings{"a", "1", "new", "7", "c", "3"}));
}

TEST_F(Settings, WindowMovesToEachStoredCoordinateAbsentOnesStay) {
  fw::Window w;
  w.SetTitle("W");
  for (auto [text, x, y] : {std::tuple{"", 33, 44}, {"w_TOP\n7\n", 33, 7}, {"W_left\n-20\nW_top\n\n", -20, 0}}) {
    load(text);
    w.SetLeft(33), w.SetTop(44);
    config::getwindowpoz(w);
    EXPECT_EQ(std::pair(w.Left(), w.Top()), std::pair(x, y)) << text;
  }
  config::putwindowpoz(w);
  EXPECT_EQ(first(4), (Strings{"W_left", "-20", "W_top", "0"}));
}

TEST_F(Settings, UnreadableFileLoadsNothingAndFailedSaveKeepsTheOldFile) {
  ASSERT_TRUE(QDir(dir.path()).mkdir("d.ini"));
  config::initconfig("d.ini");
  EXPECT_EQ(config::parray, decltype(config::parray){});
  load("old\n");
  config::putconfig("big", std::string(100000, 'x'));
  // A file size limit makes the write fail even for root.
  rlimit old{};
  getrlimit(RLIMIT_FSIZE, &old);
  const rlimit small{4096, old.rlim_max};
  const auto handler = std::signal(SIGXFSZ, SIG_IGN);
  setrlimit(RLIMIT_FSIZE, &small);
  const bool saved = config::saveconfig();
  setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, handler);
  EXPECT_FALSE(saved);
  EXPECT_EQ(read(), "old\n");
}

// With the folder read-only only a file itself can be written: in place
// where it may be, and otherwise it stays as it was.
TEST_F(Settings, ReadOnlyFolderWritesAWritableFileInPlace) {
  load("deviceport\nttyOLD\n");
  config::putconfig("deviceport", std::string("ttyNEW"));
  const std::string folder = dir.path().toStdString(), locked = folder + "/locked.ini";
  vxtest::WriteWholeFile(locked, "old\n");
  ASSERT_EQ(::chmod(locked.c_str(), 0444) + ::chmod(path().c_str(), 0666) + ::chmod(folder.c_str(), 0555), 0);
  const pid_t pid = ::fork();  // the saves run in a child, made unprivileged where the tests run as root
  if (pid == 0) {
    if (::geteuid() == 0 && (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0)) _exit(3);
    if (::access(folder.c_str(), X_OK) != 0) _exit(4);  // e.g. TMPDIR inside a folder only root may enter
    if (::access(folder.c_str(), W_OK) == 0) _exit(5);
    const auto save = [](const char* name) { return config::filename = name, config::saveconfig(); };
    _exit(!save("locked.ini") && save("v.ini") ? 0 : 1);
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  ::chmod(folder.c_str(), 0700);
  ASSERT_TRUE(pid > 0 && WIFEXITED(status));
  const int code = WEXITSTATUS(status);
  const char* const why[] = {"cannot drop root privileges", "the unprivileged child cannot reach the folder",
                             "cannot take write access away"};
  if (code >= 3 && code <= 5) GTEST_SKIP() << why[code - 3];
  EXPECT_EQ(code, 0);
  EXPECT_EQ(read() + vxtest::ReadWholeFile(locked), "deviceport\nttyNEW\n" + std::string(254, '\n') + "old\n");
}

}  // namespace
