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

TEST_F(Settings, ShortFileKeysIgnoringCaseAndWholeSave) {
  load("DevicePort\nttyUSB3\ncontrolport\n");
  EXPECT_EQ(config::getstring("deviceport"), "ttyUSB3");
  EXPECT_EQ(config::getstring("CONTROLPORT"), "");
  EXPECT_EQ(config::findconfig("other"), 2);
  config::putconfig("deviceport", std::string("ttyS1"));
  ASSERT_TRUE(config::saveconfig());
  EXPECT_EQ(read(), "deviceport\nttyS1\ncontrolport\n" + std::string(253, '\n'));
}

TEST_F(Settings, EveryLetterMatchesItsOtherCaseAndNothingElse) {
  std::string text;
  for (char c = 'A'; c <= 'Z'; ++c) text += std::string(1, c) + "\n" + std::string(1, c) + "\n";
  load(text + "@\nat\n[\nbracket\n");
  for (char c = 'a'; c <= 'z'; ++c) EXPECT_EQ(config::getstring(std::string(1, c)), std::string(1, char(c - 32)));
  EXPECT_EQ(config::getstring("`") + config::getstring("{"), "");
}

TEST_F(Settings, LfCrLfAndCrAloneEndLinesAndSavedLinesReadBackAsWritten) {
  const std::pair<std::string, Strings> files[] = {
      {"deviceport\rttyUSB3\rpelmark_left\r\rx", {"deviceport", "ttyUSB3", "pelmark_left", "", "x", ""}},
      {"a\r\nb\r\n\r\nc", {"a", "b", "", "c", "", ""}},
      {"a\n\rb\r\r\nc\r\rd\n", {"a", "", "b", "c", "", "d"}},  // CR CR LF: one ending, as written before
  };
  for (const auto& [text, elements] : files) {
    load(text);
    EXPECT_EQ(first(6), elements) << vxtest::Hex(text);
  }
  load("");
  config::putconfig("port", std::string("tty\rA"));
  config::putconfig("n", std::string("1\n2"));
  ASSERT_TRUE(config::saveconfig());
  EXPECT_EQ(read(), "port\ntty\nn\n1\n" + std::string(252, '\n'));
}

TEST_F(Settings, AllOfThe256LinesAreReadAndAnEmptyKeyEndsLookup) {
  std::string text;
  for (int i = 0; i < 2 * config::kPairs; ++i) text += "e" + std::to_string(i) + "\n";
  load(text + "past\n");
  EXPECT_EQ(config::getstring("E254"), "e255");
  config::putconfig("extra", 1);  // a full table takes no new key
  ASSERT_TRUE(config::saveconfig());
  EXPECT_EQ(read(), text);
  load("a\n1\n\nlost\nc\n3\n");
  EXPECT_EQ(config::getstring("c"), "");
  config::putconfig("new", 7);
  EXPECT_EQ(first(6), (Strings{"a", "1", "new", "7", "c", "3"}));
}

TEST_F(Settings, WindowMovesToEachStoredCoordinateAbsentOnesStay) {
  const std::pair<std::string, std::pair<int, int>> files[] = {
      {"", {33, 44}}, {"w_TOP\n7\n", {33, 7}}, {"W_left\n-20\nW_top\n\n", {-20, 0}}, {"W_left\n\n", {0, 44}}};
  fw::Window w;
  w.SetTitle("W");
  for (const auto& [text, spot] : files) {
    load(text);
    w.SetLeft(33), w.SetTop(44);
    config::getwindowpoz(w);
    EXPECT_EQ(std::pair(w.Left(), w.Top()), spot) << text;
  }
  w.SetLeft(-20), w.SetTop(5);
  config::putwindowpoz(w);
  EXPECT_EQ(first(4), (Strings{"W_left", "-20", "W_top", "5"}));
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

// With the folder read-only only the file itself can be written: it is, in
// place, when it may be, and otherwise stays as it was.
TEST_F(Settings, ReadOnlyFolderWritesAWritableFileInPlace) {
  load("deviceport\nttyOLD\n");
  config::putconfig("deviceport", std::string("ttyNEW"));
  for (const mode_t mode : {0444, 0666}) {
    ASSERT_EQ(::chmod(path().c_str(), mode), 0);
    ASSERT_EQ(::chmod(dir.path().toUtf8().constData(), 0555), 0);
    // The save runs in a child, made unprivileged where the tests run as root.
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      if (::geteuid() == 0 && (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0)) _exit(3);
      if (::access(dir.path().toUtf8().constData(), W_OK) == 0) _exit(4);
      _exit(config::saveconfig() ? 0 : 1);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    ::chmod(dir.path().toUtf8().constData(), 0700);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) > 1) GTEST_SKIP() << "cannot take write access away here (" << WEXITSTATUS(status) << ")";
    EXPECT_EQ(WEXITSTATUS(status), mode == 0666 ? 0 : 1) << mode;
    EXPECT_EQ(read(), mode == 0666 ? "deviceport\nttyNEW\n" + std::string(254, '\n') : "deviceport\nttyOLD\n") << mode;
  }
}

}  // namespace
