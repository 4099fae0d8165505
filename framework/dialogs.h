#pragma once
// Message boxes and open-file dialogs. Tests answer them through hooks, so
// no test waits for a person.
#include <functional>
#include <string>

namespace fw {

// Shows the text and returns once the user has dismissed it.
void MsgBox(const std::string& text);

struct FileType {
  std::string Name;
  std::string MacType;
  std::string Extensions;  // "pdf" or "pdf;txt"
  // The filter text for the open-file dialogs.
  std::string Filter() const;
};

class OpenDialog {
 public:
  std::string InitialDirectory;
  std::string Title;
  std::string Filter;
  // The chosen file's path, or "" when cancelled.
  std::string ShowModal();
};

// The platform's plain open-file dialog; the chosen path or "".
std::string GetOpenFolderItem(const std::string& filter);

namespace testing {
// While set, MsgBox hands its text to the hook instead of showing it.
void SetMsgBoxHook(std::function<void(const std::string& text)> hook);
// While set, the open-file dialogs ask the hook (title, filter) instead.
void SetFileDialogHook(std::function<std::string(const std::string& title, const std::string& filter)> hook);
}  // namespace testing

}  // namespace fw
