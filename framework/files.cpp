#include "framework/files.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <string_view>

namespace fw {

namespace {
std::string& folderOverride() {
  static std::string folder;
  return folder;
}
QString qs(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }
}  // namespace

TextInputStream::TextInputStream(std::unique_ptr<QFile> file) : file_(std::move(file)) {}
TextInputStream::~TextInputStream() = default;

bool TextInputStream::AtEOF() const { return failed_ || file_->atEnd(); }
bool TextInputStream::Failed() const { return failed_; }

std::string TextInputStream::ReadLine() {
  if (AtEOF()) return {};
  std::string line;
  char buf[4096];
  for (;;) {
    const qint64 n = file_->peek(buf, sizeof buf);
    if (n <= 0) {
      failed_ = n < 0;
      return line;
    }
    const std::string_view chunk(buf, static_cast<size_t>(n));
    const size_t end = chunk.find_first_of("\r\n");
    line.append(chunk.substr(0, end));
    if (end == std::string_view::npos) {
      file_->skip(n);
      continue;
    }
    file_->skip(static_cast<qint64>(end) + 1);
    if (chunk[end] == '\r') {
      // CR LF is one ending, and so is CR CR LF, which earlier versions
      // wrote for a line that ended in CR.
      char next[2];
      const qint64 m = file_->peek(next, 2);
      if (m >= 1 && next[0] == '\n') file_->skip(1);
      else if (m == 2 && next[0] == '\r' && next[1] == '\n') file_->skip(2);
    }
    return line;
  }
}

TextOutputStream::TextOutputStream(std::unique_ptr<QSaveFile> file) : file_(std::move(file)) {}
TextOutputStream::~TextOutputStream() { Close(); }

void TextOutputStream::WriteLine(const std::string& line) {
  if (closed_ || !ok_) return;
  // A line cannot hold a line end: it is written up to its first CR or LF,
  // which is where reading it back would end it anyway.
  std::string out = line.substr(0, line.find_first_of("\r\n"));
  out.push_back('\n');
  if (file_->write(out.data(), static_cast<qint64>(out.size())) != static_cast<qint64>(out.size())) ok_ = false;
}

bool TextOutputStream::Close() {
  if (closed_) return ok_;
  closed_ = true;
  if (!ok_) {
    file_->cancelWriting();
    file_->commit();  // discards the temporary file, keeps the old one
    return false;
  }
  ok_ = file_->commit();
  return ok_;
}

bool FolderItem::Exists() const { return !path_.empty() && QFileInfo::exists(qs(path_)); }

FolderItem FolderItem::Child(const std::string& name) const {
  return FolderItem(QDir(qs(path_)).filePath(qs(name)).toStdString());
}

std::unique_ptr<TextInputStream> FolderItem::OpenAsTextFile() const {
  auto file = std::make_unique<QFile>(qs(path_));
  if (!file->open(QIODevice::ReadOnly)) return nullptr;
  return std::make_unique<TextInputStream>(std::move(file));
}

std::unique_ptr<TextOutputStream> FolderItem::CreateTextFile() const {
  auto file = std::make_unique<QSaveFile>(qs(path_));
  // Where the folder takes no temporary file but the file itself may be
  // written, it is written in place rather than not at all.
  file->setDirectWriteFallback(true);
  if (!file->open(QIODevice::WriteOnly)) return nullptr;
  return std::make_unique<TextOutputStream>(std::move(file));
}

FolderItem GetFolderItem(const std::string& name) {
  QString folder = folderOverride().empty() ? QString() : qs(folderOverride());
  if (folder.isEmpty() && QCoreApplication::instance()) folder = QCoreApplication::applicationDirPath();
  if (folder.isEmpty()) folder = QDir::currentPath();
  return FolderItem(QDir(folder).filePath(qs(name)).toStdString());
}

FolderItem Volume(int) { return FolderItem(QDir::rootPath().toStdString()); }

namespace testing {
void SetApplicationFolder(const std::string& folder) { folderOverride() = folder; }
}  // namespace testing

}  // namespace fw
