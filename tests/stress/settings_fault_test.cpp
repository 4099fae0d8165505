// The settings file under faults: a folder the program may not write at
// close, a file of binary junk at start, and lines that end in CR.
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <random>
#include <string>
#include <vector>

#include "framework/files.h"
#include "settings/config.h"
#include "tests/app/main_fixture.h"
#include "tests/stress/stress_support.h"

namespace vxtest {
namespace {

using namespace std::string_literals;

class SettingsFaultTest : public MainWindowTest {
 protected:
  std::string Path() const { return fw::GetFolderItem("vornadex.ini").Path(); }
  std::string Folder() const { return Path().substr(0, Path().rfind('/')); }

  std::string ReadRaw() const {
    QFile f(QString::fromStdString(Path()));
    return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : std::string("<missing>");
  }
  void WriteRaw(const std::string& bytes) {
    QFile f(QString::fromStdString(Path()));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes.data(), static_cast<qint64>(bytes.size()));
  }
};

// Outcome of the close in the child process.
enum ChildExit { kClosed = 0, kCannotDropRoot = 3, kFolderStillWritable = 4 };

TEST_F(SettingsFaultTest, UnwritableFolderAtCloseLeavesThePreviousFileWhole) {
  std::vector<std::string> lines(256);
  lines[0] = "pelmark_left", lines[1] = "123", lines[2] = "deviceport", lines[3] = "ttyOLD";
  WriteSettings(lines);
  const std::string before = ReadRaw();
  app::main& m = OpenMain();
  config::putconfig("deviceport", "ttyNEW");  // the table now differs from the file

  // Only the folder stands in the way: the file itself may be written.
  ASSERT_EQ(::chmod(Path().c_str(), 0666), 0);
  ASSERT_EQ(::chmod(Folder().c_str(), 0555), 0);
  // The close runs in a child process, as an unprivileged user where the
  // tests run as root (root writes into any folder).
  const pid_t pid = ::fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    if (::geteuid() == 0 && (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0))
      ::_exit(kCannotDropRoot);
    if (::access(Folder().c_str(), W_OK) == 0) ::_exit(kFolderStillWritable);
    m.Close();
    ::_exit(kClosed);
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  ::chmod(Folder().c_str(), 0700);
  ASSERT_TRUE(WIFEXITED(status)) << status;
  if (WEXITSTATUS(status) == kCannotDropRoot) GTEST_SKIP() << "cannot run as an unprivileged user";
  if (WEXITSTATUS(status) == kFolderStillWritable) GTEST_SKIP() << "a read-only folder is still writable here";
  ASSERT_EQ(WEXITSTATUS(status), kClosed);
  EXPECT_EQ(ReadRaw(), before);
  EXPECT_EQ(QDir(QString::fromStdString(Folder())).entryList(QDir::Files).size(), 1) << "a temporary file was left";

  // The same close where the folder may be written replaces the file.
  m.Close();
  const std::vector<std::string> after = ReadSettings();
  ASSERT_EQ(after.size(), 256u);
  EXPECT_EQ(after[3], "ttyNEW");
}

TEST_F(SettingsFaultTest, BinaryJunkAtStartGivesDefaults) {
  std::mt19937 rng(99);
  const std::vector<std::string> junks = {
      vxstress::RandomBytes(rng, 65536),
      std::string(200000, '\x7F'),                          // one long line
      std::string(5000, '\r') + std::string(300, '\0'),     // no LF at all
      "deviceport\n\xFF\xFE\0x\ncontrolport\n\x01\x02\r\npelmark_left\n99999999999999999999\n"
      "pelmark_top\n-99999999999999999999\n"s + vxstress::RandomBytes(rng, 4096),  // known keys, junk values
  };
  AddPort("ttyDEV");
  for (size_t i = 0; i < junks.size(); ++i) {
    SCOPED_TRACE(i);
    WriteRaw(junks[i]);
    app::main& m = OpenMain();
    EXPECT_EQ(m.Controllerbox->Caption(), "controller");
    EXPECT_EQ(m.devicebox->Caption(), "Device");
    EXPECT_FALSE(m.Seriald.IsOpen());
    EXPECT_FALSE(m.serialcopen);
    EXPECT_TRUE(messages.empty());
    fw::DestroySingleWindows();
    config::reset();
  }
}

// Found by fuzzing the settings file: a line that ends in CR (a CR CR LF
// ending) lost its CR at every save, so the saved table loaded differently.
TEST_F(SettingsFaultTest, LinesEndingInCarriageReturnSurviveSaveAndLoad) {
  WriteRaw("key\r\r\nvalue\r\r\n\r\r\nlast\r\r");
  config::initconfig("vornadex.ini");
  const auto loaded = config::parray;
  EXPECT_EQ(loaded[0], "key\r");
  EXPECT_EQ(loaded[2], "\r");
  ASSERT_TRUE(config::saveconfig());
  config::reset();
  config::initconfig("vornadex.ini");
  EXPECT_EQ(config::parray, loaded);
  EXPECT_EQ(ReadSettings().size(), 256u);
}

}  // namespace
}  // namespace vxtest
