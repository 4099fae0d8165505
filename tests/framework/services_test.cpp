// The framework's dialog hooks and file services.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "framework/dialogs.h"
#include "framework/files.h"

namespace {

using Lines = std::vector<std::string>;

Lines ReadLines(const fw::FolderItem& item) {
  Lines lines;
  auto in = item.OpenAsTextFile();
  while (in && !in->AtEOF()) lines.push_back(in->ReadLine());
  return lines;
}

TEST(Dialogs, HooksAnswerMessageBoxesAndFileDialogs) {
  Lines shown, asked;
  fw::testing::SetMsgBoxHook([&](const std::string& text) { shown.push_back(text); });
  fw::testing::SetFileDialogHook([&](const std::string& title, const std::string& filter) {
    asked.push_back(title + "|" + filter);
    return std::string("/tmp/chosen.pdf");
  });
  fw::MsgBox("101 - PortNotFound");
  EXPECT_EQ(shown, Lines{"101 - PortNotFound"});
  const std::string filter = fw::FileType{"Manual", "PDF ", "pdf;txt"}.Filter();
  fw::OpenDialog dialog;
  dialog.Title = "Open";
  dialog.Filter = filter;
  EXPECT_EQ(dialog.ShowModal(), "/tmp/chosen.pdf");
  EXPECT_EQ(fw::GetOpenFolderItem(filter), "/tmp/chosen.pdf");
  EXPECT_EQ(asked, (Lines{"Open|Manual (*.pdf *.txt)", "|Manual (*.pdf *.txt)"}));
  fw::testing::SetMsgBoxHook(nullptr);
  fw::testing::SetFileDialogHook(nullptr);
}

TEST(Files, BareNameLiesInTheApplicationFolderAndIsReplacedWholeOnClose) {
  EXPECT_EQ(fw::GetFolderItem("vornadex.ini").Path(),
            QDir(QCoreApplication::applicationDirPath()).filePath("vornadex.ini").toStdString());
  QTemporaryDir dir;
  fw::testing::SetApplicationFolder(dir.path().toStdString());
  const fw::FolderItem item = fw::GetFolderItem("vornadex.ini");
  fw::testing::SetApplicationFolder("");
  EXPECT_EQ(item.Path(), dir.filePath("vornadex.ini").toStdString());
  EXPECT_FALSE(item.Exists());
  EXPECT_EQ(item.OpenAsTextFile(), nullptr);

  item.CreateTextFile()->WriteLine("three");  // closed when released
  EXPECT_EQ(ReadLines(item), Lines{"three"});
  auto out = item.CreateTextFile();
  ASSERT_NE(out, nullptr);
  out->WriteLine("deviceport");
  out->WriteLine("");
  EXPECT_EQ(ReadLines(item), Lines{"three"});  // the old file stays whole until the new one is complete
  EXPECT_TRUE(out->Close());
  EXPECT_EQ(ReadLines(item), (Lines{"deviceport", ""}));
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"vornadex.ini"});  // no temporary left

  QFile raw(dir.filePath("crlf.ini"));
  ASSERT_TRUE(raw.open(QIODevice::WriteOnly));
  raw.write("a\r\n\r\nb");  // CR LF and a missing last ending read alike
  raw.close();
  EXPECT_EQ(ReadLines(fw::FolderItem(raw.fileName().toStdString())), (Lines{"a", "", "b"}));
}

}  // namespace
