#include "framework/files.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

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
    const qint64 n = file_->readLine(buf, sizeof buf);
    if (n < 0) {
      failed_ = true;
      break;
    }
    line.append(buf, static_cast<size_t>(n));
    if (n == 0 || line.back() == '\n' || file_->atEnd()) break;
  }
  if (!line.empty() && line.back() == '\n') line.pop_back();
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

TextOutputStream::TextOutputStream(std::unique_ptr<QSaveFile> file) : file_(std::move(file)) {}
TextOutputStream::~TextOutputStream() { Close(); }

void TextOutputStream::WriteLine(const std::string& line) {
  if (closed_ || !ok_) return;
  std::string out = line;
  // A line ending in CR is written with CR LF, so reading it back (which
  // takes one CR before the LF as part of the ending) gives the same line.
  if (!out.empty() && out.back() == '\r') out.push_back('\r');
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
