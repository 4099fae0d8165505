#pragma once
// Files and text streams. A bare name given to GetFolderItem lies in the
// application's folder (next to the executable).
#include <memory>
#include <string>

class QFile;
class QSaveFile;

namespace fw {

// Reads lines; LF, CR LF and CR alone end a line alike (so does CR CR LF,
// written by earlier versions). Other bytes are kept as they are.
class TextInputStream {
 public:
  explicit TextInputStream(std::unique_ptr<QFile> file);
  ~TextInputStream();
  bool AtEOF() const;      // the original EOF; EOF itself is a C macro
  std::string ReadLine();  // the next line without its ending; "" at the end
  bool Failed() const;     // a read error happened

 private:
  std::unique_ptr<QFile> file_;
  bool failed_ = false;
};

// Writes lines with LF endings; a line is cut at its first CR or LF, so
// every line reads back as written. They go into a temporary file that
// replaces the target only when the stream is closed without error, so a
// failed or interrupted save leaves the previous file whole. Where the
// folder refuses a temporary file but the target may be written, the
// target is written in place instead (and a failure then leaves it cut
// short).
class TextOutputStream {
 public:
  explicit TextOutputStream(std::unique_ptr<QSaveFile> file);
  ~TextOutputStream();  // closes (commits) if not closed yet
  void WriteLine(const std::string& line);
  bool Close();  // true when the file was written and replaced the old one

 private:
  std::unique_ptr<QSaveFile> file_;
  bool closed_ = false;
  bool ok_ = true;
};

class FolderItem {
 public:
  FolderItem() = default;
  explicit FolderItem(std::string path) : path_(std::move(path)) {}
  const std::string& Path() const { return path_; }
  bool Exists() const;
  FolderItem Child(const std::string& name) const;
  // Null when the file cannot be opened.
  std::unique_ptr<TextInputStream> OpenAsTextFile() const;
  // Null when the file cannot be created.
  std::unique_ptr<TextOutputStream> CreateTextFile() const;

 private:
  std::string path_;
};

// name without a folder: the file next to the application.
FolderItem GetFolderItem(const std::string& name);
// The first volume (the file system's root on this platform).
FolderItem Volume(int index);

namespace testing {
// Points the application's folder elsewhere; "" restores the default.
void SetApplicationFolder(const std::string& folder);
}  // namespace testing

}  // namespace fw
