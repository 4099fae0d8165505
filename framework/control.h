#pragma once
// What every control offers its owner: geometry relative to its parent,
// visibility, an index within a control array and an Open event that runs
// once when its window is built, after the controls inside it.
#include <string>

class QWidget;

namespace fw {

class Control {
 public:
  explicit Control(QWidget* self) : self_(self) {}
  virtual ~Control() = default;

  virtual void Event_Open() {}

  int Left() const;
  int Top() const;
  int Width() const;
  int Height() const;
  bool Visible() const;
  bool Enabled() const;
  void SetLeft(int x);
  void SetTop(int y);
  void SetWidth(int w);
  void SetHeight(int h);
  void SetBounds(int x, int y, int w, int h);
  void SetVisible(bool v);
  void SetEnabled(bool e);
  void SetFocus();

  int Index = -1;  // position in its control array; -1 when not in one
  std::string Name;

  QWidget* widget() const { return self_; }

 private:
  QWidget* self_;
};

// Runs Event_Open of every control under root, children before their
// container, in creation order.
void OpenControls(QWidget* root);

}  // namespace fw
