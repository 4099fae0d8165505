#pragma once
// The plain controls: container, push button, popup list, group box, label.
#include <functional>
#include <string>

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QWidget>

#include "framework/control.h"

namespace fw {

// A control that holds controls; their positions are relative to it.
class ContainerControl : public QWidget, public Control {
 public:
  explicit ContainerControl(QWidget* parent);
};

class BevelButton : public QPushButton, public Control {
 public:
  explicit BevelButton(QWidget* parent);
  void SetCaption(const std::string& caption);
  std::string Caption() const;
  void SetTextSize(int pixels);  // 0: the platform's default size
  void SetBold(bool bold);
  void SetTextFont(const std::string& name);
  void SetAcceptFocus(bool accept);

  std::function<void()> Action;
  std::function<bool(const std::string& key)> KeyDown;

 protected:
  void keyPressEvent(QKeyEvent* e) override;
};

class PopupMenu : public QComboBox, public Control {
 public:
  explicit PopupMenu(QWidget* parent);
  void DeleteAllRows();
  void AddRow(const std::string& text);
  int ListIndex() const;  // -1 when nothing is selected
  void SetListIndex(int row);
  int ListCount() const;
  std::string Text() const;
  std::string RowText(int row) const;
  void SetTextSize(int pixels);  // 0: the platform's default size
};

class GroupBox : public QGroupBox, public Control {
 public:
  explicit GroupBox(QWidget* parent);
  void SetCaption(const std::string& caption);
  std::string Caption() const;
};

class StaticText : public QLabel, public Control {
 public:
  explicit StaticText(QWidget* parent);
  void SetText(const std::string& text);
};

}  // namespace fw
