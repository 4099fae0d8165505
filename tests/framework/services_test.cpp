// The framework's test hooks and file services that the program relies on.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include "framework/dialogs.h"
#include "framework/files.h"

namespace {

TEST(Dialogs, HooksAnswerMessageBoxesAndFileDialogs) {
  std::vector<std::string> shown;
  fw::testing::SetMsgBoxHook([&](const std::string& text) { shown.push_back(text); });
  fw::MsgBox("101 - PortNotFound");
  EXPECT_EQ(shown, std::vector<std::string>{"101 - PortNotFound"});

  fw::FileType pdf{"Manual", "PDF ", "pdf;txt"};
  EXPECT_EQ(pdf.Filter(), "Manual (*.pdf *.txt)");
  std::vector<std::string> asked;
  fw::testing::SetFileDialogHook([&](const std::string& title, const std::string& filter) {
    asked.push_back(title + "|" + filter);
    return std::string("/tmp/chosen.pdf");
  });
  fw::OpenDialog dialog;
  dialog.Title = "Open";
  dialog.Filter = pdf.Filter();
  EXPECT_EQ(dialog.ShowModal(), "/tmp/chosen.pdf");
  EXPECT_EQ(fw::GetOpenFolderItem(pdf.Filter()), "/tmp/chosen.pdf");
  EXPECT_EQ(asked, (std::vector<std::string>{"Open|Manual (*.pdf *.txt)", "|Manual (*.pdf *.txt)"}));
  fw::testing::SetMsgBoxHook(nullptr);
  fw::testing::SetFileDialogHook(nullptr);
}

TEST(Files, BareNameLiesInTheApplicationFolderWhichTestsMayMove) {
  EXPECT_EQ(fw::GetFolderItem("vornadex.ini").Path(),
            QDir(QCoreApplication::applicationDirPath()).filePath("vornadex.ini").toStdString());

  QTemporaryDir dir;
  fw::testing::SetApplicationFolder(dir.path().toStdString());
  const fw::FolderItem item = fw::GetFolderItem("vornadex.ini");
  EXPECT_EQ(item.Path(), QDir(dir.path()).filePath("vornadex.ini").toStdString());
  EXPECT_FALSE(item.Exists());
  EXPECT_EQ(item.OpenAsTextFile(), nullptr);

  {
    auto out = item.CreateTextFile();
    ASSERT_NE(out, nullptr);
    for (const char* line : {"one", "", "three", "four"}) out->WriteLine(line);
  }  // released: closed
  {
    auto out = item.CreateTextFile();  // replaces the content
    ASSERT_NE(out, nullptr);
    out->WriteLine("deviceport");
    out->WriteLine("");
    EXPECT_TRUE(out->Close());
  }
  auto in = item.OpenAsTextFile();
  ASSERT_NE(in, nullptr);
  std::vector<std::string> lines;
  while (!in->AtEOF()) lines.push_back(in->ReadLine());
  EXPECT_EQ(lines, (std::vector<std::string>{"deviceport", ""}));
  EXPECT_EQ(in->ReadLine(), "");
  fw::testing::SetApplicationFolder("");
}

TEST(Files, CrLfAndAMissingLastEndingReadAlike) {
  QTemporaryDir dir;
  const std::string path = QDir(dir.path()).filePath("x.ini").toStdString();
  FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  std::fputs("a\r\n\r\nb", f);
  std::fclose(f);
  auto in = fw::FolderItem(path).OpenAsTextFile();
  ASSERT_NE(in, nullptr);
  std::vector<std::string> lines;
  while (!in->AtEOF()) lines.push_back(in->ReadLine());
  EXPECT_EQ(lines, (std::vector<std::string>{"a", "", "b"}));
}

}  // namespace
