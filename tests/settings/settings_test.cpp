// The settings table and its file. Junk files at start and an unwritable
// folder are proven on the main window (stress_test); positions across runs in tests/app.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <QDir>
#include <QTemporaryDir>
#include <csignal>

#include "framework/files.h"
#include "settings/config.h"
#include "tests/support/pty.h"

namespace {

class Settings : public ::testing::Test {
 protected:
  QTemporaryDir dir;
  void SetUp() override {
    fw::testing::SetApplicationFolder(dir.path().toStdString());
    config::reset();
  }
  void TearDown() override { fw::testing::SetApplicationFolder(""); }
  std::string read() const { return vxtest::ReadWholeFile(dir.filePath("v.ini").toStdString()); }
  void load(const std::string& text) {
    vxtest::WriteWholeFile(dir.filePath("v.ini").toStdString(), text);
    config::initconfig("v.ini");
  }
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

TEST_F(Settings, CrLfReadsAsLfAndLoneCarriageReturnsSurviveSaveAndLoad) {
  load("a\r\nb\r\n");
  EXPECT_EQ(config::getstring("A"), "b");
  load("key\r\r\nvalue\r\r\n\r\r\nlast\r\r");
  const auto loaded = config::parray;
  EXPECT_EQ(loaded[0] + loaded[2], "key\r\r");
  ASSERT_TRUE(config::saveconfig());
  config::reset();
  config::initconfig("v.ini");
  EXPECT_EQ(config::parray, loaded);
}

TEST_F(Settings, EmptyKeyEndsLookupAndFullTableTakesNoNewKey) {
  load("a\n1\n\nlost\nc\n3\n");
  EXPECT_EQ(config::getstring("c"), "");
  config::putconfig("new", 7);
  EXPECT_EQ(std::vector(config::parray.begin(), config::parray.begin() + 6),
            (std::vector<std::string>{"a", "1", "new", "7", "c", "3"}));
  for (int k = 0; k < config::kPairs; ++k) config::parray[2 * k] = std::string("k").append(std::to_string(k));
  const auto before = config::parray;
  config::putconfig("extra", 1);
  EXPECT_EQ(config::parray, before);
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

}  // namespace
