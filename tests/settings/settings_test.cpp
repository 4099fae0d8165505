#include <gtest/gtest.h>
#include <sys/resource.h>

#include <QDir>
#include <QTemporaryDir>
#include <algorithm>
#include <csignal>
#include <fstream>
#include <sstream>

#include "framework/files.h"
#include "framework/window.h"
#include "settings/config.h"

namespace {

class Settings : public ::testing::Test {
 protected:
  QTemporaryDir dir;
  void SetUp() override {
    fw::testing::SetApplicationFolder(dir.path().toStdString());
    config::reset();
  }
  void TearDown() override { fw::testing::SetApplicationFolder(""); }
  std::string file() const { return dir.filePath("v.ini").toStdString(); }
  std::string read() const { return (std::stringstream() << std::ifstream(file()).rdbuf()).str(); }
  void load(const std::string& text) {
    std::ofstream(file(), std::ios::binary) << text;
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

TEST_F(Settings, CrLfAndJunkLoadAsLines) {
  load("a\r\nb\r\n");
  EXPECT_EQ(config::getstring("A"), "b");
  std::string junk = std::string(2'000'000, 'L') + "\n";
  for (int i = 0; i < 200000; ++i) junk += static_cast<char>(i * 7919 % 251);
  for (int i = 0; i < 5000; ++i) junk += "k\r\n";
  load(junk);
  ASSERT_TRUE(config::saveconfig());
  const std::string saved = read();
  EXPECT_EQ(std::count(saved.begin(), saved.end(), '\n'), 256);
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

TEST_F(Settings, WindowPositions) {
  fw::Window w;
  w.SetTitle("Select Port");
  w.SetLeft(-20);
  w.SetTop(35);
  config::putwindowpoz(w);
  EXPECT_EQ(config::getstring("select port_LEFT"), "-20");
  w.SetLeft(300);
  w.SetTop(400);
  config::getwindowpoz(w);
  EXPECT_EQ(QPoint(w.Left(), w.Top()), QPoint(-20, 35));
  config::putconfig("Select Port_left", std::string());
  config::parray[2] = "";  // no top key: the window keeps its top
  config::getwindowpoz(w);
  EXPECT_EQ(QPoint(w.Left(), w.Top()), QPoint(0, 35));
}

}  // namespace
