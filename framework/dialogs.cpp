#include "framework/dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

namespace fw {

namespace {
std::function<void(const std::string&)>& msgHook() {
  static std::function<void(const std::string&)> hook;
  return hook;
}
std::function<std::string(const std::string&, const std::string&)>& fileHook() {
  static std::function<std::string(const std::string&, const std::string&)> hook;
  return hook;
}
QString qs(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }
}  // namespace

namespace testing {
void SetMsgBoxHook(std::function<void(const std::string&)> hook) { msgHook() = std::move(hook); }
void SetFileDialogHook(std::function<std::string(const std::string&, const std::string&)> hook) {
  fileHook() = std::move(hook);
}
}  // namespace testing

void MsgBox(const std::string& text) {
  if (msgHook()) {
    msgHook()(text);
    return;
  }
  QMessageBox box(QMessageBox::NoIcon, QString(), qs(text), QMessageBox::Ok, QApplication::activeWindow());
  box.exec();
}

std::string FileType::Filter() const {
  QString patterns;
  for (const QString& ext : qs(Extensions).split(';', Qt::SkipEmptyParts))
    patterns += (patterns.isEmpty() ? "*." : " *.") + ext.trimmed();
  return (qs(Name) + " (" + patterns + ")").toStdString();
}

std::string OpenDialog::ShowModal() {
  if (fileHook()) return fileHook()(Title, Filter);
  return QFileDialog::getOpenFileName(QApplication::activeWindow(), qs(Title), qs(InitialDirectory), qs(Filter))
      .toStdString();
}

std::string GetOpenFolderItem(const std::string& filter) {
  if (fileHook()) return fileHook()(std::string(), filter);
  return QFileDialog::getOpenFileName(QApplication::activeWindow(), QString(), QString(), qs(filter)).toStdString();
}

}  // namespace fw
