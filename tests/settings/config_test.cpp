#include "settings/config.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QTemporaryDir>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "framework/files.h"
#include "framework/window.h"

namespace {

class Settings : public ::testing::Test {
 protected:
  QTemporaryDir dir;

  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    fw::testing::SetApplicationFolder(dir.path().toStdString());
    config::reset();
  }
  void TearDown() override {
    fw::testing::SetApplicationFolder("");
    config::reset();
  }

  std::string path(const std::string& name = "vornadex.ini") const {
    return dir.filePath(QString::fromStdString(name)).toStdString();
  }
  void writeFile(const std::string& content, const std::string& name = "vornadex.ini") const {
    std::ofstream(path(name), std::ios::binary) << content;
  }
  std::string readFile(const std::string& name = "vornadex.ini") const {
    std::ifstream in(path(name), std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
  }
  static std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::string line;
    std::istringstream in(text);
    while (std::getline(in, line)) out.push_back(line);
    return out;
  }
  static bool tableEmpty() {
    for (const auto& e : config::parray)
      if (!e.empty()) return false;
    return true;
  }
};

TEST_F(Settings, MissingFileLoadsNothingAndSaveCreatesIt) {
  config::initconfig("vornadex.ini");
  EXPECT_TRUE(tableEmpty());
  EXPECT_EQ(config::getstring("deviceport"), "");
  EXPECT_EQ(config::getint("deviceport"), 0);
  EXPECT_FALSE(config::cfound);
  ASSERT_TRUE(config::saveconfig());
  const std::string text = readFile();
  EXPECT_EQ(text, std::string(256, '\n'));
}

TEST_F(Settings, ShortFileGivesKeysAndEmptyValues) {
  writeFile("deviceport\nttyUSB3\ncontrolport\n");
  config::initconfig("vornadex.ini");
  EXPECT_EQ(config::getstring("deviceport"), "ttyUSB3");
  EXPECT_TRUE(config::cfound);
  EXPECT_EQ(config::getstring("controlport"), "");
  EXPECT_TRUE(config::cfound);
  EXPECT_EQ(config::getstring("other"), "");
  EXPECT_FALSE(config::cfound);
  EXPECT_EQ(config::findconfig("other"), 2);
}

TEST_F(Settings, KeysIgnoreCaseAndTakeCaseOfLatestStore) {
  writeFile("DevicePort\nttyS0\n");
  config::initconfig("vornadex.ini");
  EXPECT_EQ(config::getstring("deviceport"), "ttyS0");
  config::putconfig("deviceport", std::string("ttyS1"));
  EXPECT_EQ(config::parray[0], "deviceport");
  EXPECT_EQ(config::parray[1], "ttyS1");
  EXPECT_EQ(config::findconfig("x"), 1);
}

TEST_F(Settings, LoadSaveKeepsFirst256LinesAndCrLfReadsAlike) {
  std::string text;
  for (int i = 0; i < 300; ++i) text += "line" + std::to_string(i) + (i % 2 ? "\r\n" : "\n");
  writeFile(text);
  config::initconfig("vornadex.ini");
  EXPECT_EQ(config::parray[1], "line1");
  EXPECT_EQ(config::parray[255], "line255");
  ASSERT_TRUE(config::saveconfig());
  const auto saved = lines(readFile());
  ASSERT_EQ(saved.size(), 256u);
  for (int i = 0; i < 256; ++i) EXPECT_EQ(saved[static_cast<size_t>(i)], "line" + std::to_string(i));
}

TEST_F(Settings, EmptyKeyEndsLookupsAndLaterPairsAreKept) {
  writeFile("a\n1\n\nlost\nc\n3\n");
  config::initconfig("vornadex.ini");
  EXPECT_EQ(config::getstring("a"), "1");
  EXPECT_EQ(config::getstring("c"), "");
  EXPECT_FALSE(config::cfound);
  config::putconfig("new", 7);
  ASSERT_TRUE(config::saveconfig());
  const auto saved = lines(readFile());
  ASSERT_EQ(saved.size(), 256u);
  EXPECT_EQ(std::vector<std::string>(saved.begin(), saved.begin() + 6),
            (std::vector<std::string>{"a", "1", "new", "7", "c", "3"}));
}

TEST_F(Settings, FullTableStoresNoNewKey) {
  for (int k = 0; k < config::kPairs; ++k) config::putconfig("k" + std::to_string(k), k);
  const auto before = config::parray;
  EXPECT_EQ(config::findconfig("extra"), -1);
  EXPECT_FALSE(config::cfound);
  config::putconfig("extra", 1);
  EXPECT_EQ(config::parray, before);
  EXPECT_EQ(config::getstring("extra"), "");
  config::putconfig("K127", -5);  // an existing key still updates
  EXPECT_EQ(config::getint("k127"), -5);
  EXPECT_EQ(config::parray[254], "K127");
}

TEST_F(Settings, RoundTripGivesSameTable) {
  config::putconfig("controlport", std::string("ttyUSB0"));
  config::putconfig("pelmark_left", -20);
  config::putconfig("pelmark_top", 2147483647);
  config::putconfig("odd value", std::string(" \t x:y "));
  config::initconfig("vornadex.ini");  // no file yet: the table stays as it is
  ASSERT_TRUE(config::saveconfig());
  const auto saved = config::parray;
  config::reset();
  config::initconfig("vornadex.ini");
  EXPECT_EQ(config::parray, saved);
  EXPECT_EQ(lines(readFile()).size(), 256u);
}

TEST_F(Settings, GetIntReadsLikeValAndClamps) {
  writeFile("a\n 42abc\nb\nxyz\nc\n-17\nd\n99999999999\ne\n-99999999999999999999999\nf\n+8\n");
  config::initconfig("vornadex.ini");
  EXPECT_EQ(config::getint("a"), 42);
  EXPECT_EQ(config::getint("b"), 0);
  EXPECT_TRUE(config::cfound);
  EXPECT_EQ(config::getint("c"), -17);
  EXPECT_EQ(config::getint("d"), 2147483647);
  EXPECT_EQ(config::getint("e"), -2147483647 - 1);
  EXPECT_EQ(config::getint("f"), 8);
}

TEST_F(Settings, JunkFilesLoadWithoutHarm) {
  std::string junk;
  uint32_t x = 1;
  for (int i = 0; i < 200000; ++i) {
    x = x * 1103515245u + 12345u;
    junk.push_back(static_cast<char>(x >> 24));
  }
  junk += std::string(2'000'000, 'L') + "\n";
  for (int i = 0; i < 5000; ++i) junk += "k\n";
  junk += std::string("\0\0\0", 3);
  writeFile(junk);
  config::initconfig("vornadex.ini");
  ASSERT_TRUE(config::saveconfig());
  EXPECT_EQ(lines(readFile()).size(), 256u);

  config::reset();
  writeFile(std::string("key\0one\nval\0ue\n", 15));
  config::initconfig("vornadex.ini");
  EXPECT_EQ(config::parray[0], std::string("key\0one", 7));
  EXPECT_EQ(config::getstring(std::string("KEY\0ONE", 7)), std::string("val\0ue", 6));
}

TEST_F(Settings, UnreadableFileLeavesTableEmpty) {
  ASSERT_TRUE(QDir(dir.path()).mkdir("vornadex.ini"));
  config::initconfig("vornadex.ini");
  EXPECT_TRUE(tableEmpty());
  EXPECT_EQ(config::filename, "vornadex.ini");

  if (geteuid() == 0) GTEST_SKIP() << "root reads files without read permission";
  writeFile("deviceport\nttyS0\n", "locked.ini");
  ASSERT_EQ(chmod(path("locked.ini").c_str(), 0), 0);
  config::initconfig("locked.ini");
  EXPECT_TRUE(tableEmpty());
}

TEST_F(Settings, FailedSaveReportsAndKeepsOldFile) {
  config::putconfig("deviceport", std::string("ttyS0"));
  config::initconfig("missing-folder/vornadex.ini");
  EXPECT_FALSE(config::saveconfig());

  ASSERT_TRUE(QDir(dir.path()).mkdir("taken.ini"));
  config::initconfig("taken.ini");
  EXPECT_FALSE(config::saveconfig());
  EXPECT_TRUE(QFileInfo(QString::fromStdString(path("taken.ini"))).isDir());

  if (geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
  ASSERT_TRUE(QDir(dir.path()).mkdir("ro"));
  writeFile("old\ncontent\n", "ro/vornadex.ini");
  ASSERT_EQ(chmod(path("ro").c_str(), 0555), 0);
  config::initconfig("ro/vornadex.ini");
  EXPECT_FALSE(config::saveconfig());
  EXPECT_EQ(readFile("ro/vornadex.ini"), "old\ncontent\n");
  chmod(path("ro").c_str(), 0755);
}

TEST_F(Settings, WindowPositionsStoreAndRestore) {
  fw::Window w;
  w.SetTitle("Select Port");
  w.SetLeft(-20);
  w.SetTop(35);
  config::putwindowpoz(w);
  EXPECT_EQ(config::getstring("Select Port_left"), "-20");
  EXPECT_EQ(config::getstring("select port_TOP"), "35");
  w.SetLeft(300);
  w.SetTop(400);
  config::getwindowpoz(w);
  EXPECT_EQ(w.Left(), -20);
  EXPECT_EQ(w.Top(), 35);

  fw::Window other;
  other.SetTitle("Keyboard");
  other.SetLeft(50);
  other.SetTop(60);
  config::getwindowpoz(other);  // no keys: stays where it is
  EXPECT_EQ(other.Left(), 50);
  EXPECT_EQ(other.Top(), 60);
  config::putconfig("Keyboard_left", std::string());
  config::putconfig("Keyboard_top", std::string());
  config::getwindowpoz(other);  // keys present but empty: moves to 0, 0
  EXPECT_EQ(other.Left(), 0);
  EXPECT_EQ(other.Top(), 0);
}

}  // namespace
