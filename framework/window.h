#pragma once
// A top-level window. Building runs the hooks Layout, CreateControls and
// AddMenuHandlers, then the Open events of the controls and Event_Open of
// the window once. Event_Activate runs at every showing; Close runs
// Event_Close once. Left and Top read and set the same point (the frame's
// top-left corner), so a stored position restores without creeping.
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include <QMainWindow>
#include <QPointer>

class QAction;
class QEventLoop;

namespace fw {

class MenuBar;
class MenuItem;

class Window : public QMainWindow {
 public:
  Window();
  ~Window() override;

  // Builds the window and shows it when its design says it is visible.
  void Build();

  virtual void Layout() {}
  virtual void CreateControls() {}
  virtual void AddMenuHandlers() {}
  virtual void Event_Open() {}
  virtual void Event_Activate() {}
  virtual void Event_Close() {}
  // A close request from outside (a window manager may offer close anyway)
  // on a window whose design has no close box. Such a window is not closed:
  // it stays shown and a modal showing goes on, unless the window answers
  // the request here.
  virtual void Event_CloseRequest() {}

  // The area that holds the controls; positions are relative to it.
  QWidget* Content() const { return content_; }

  void SetTitle(const std::string& title);
  std::string Title() const;
  void SetContentSize(int w, int h);
  int Width() const;
  int Height() const;
  int Left() const;
  int Top() const;
  void SetLeft(int x);
  void SetTop(int y);
  void SetBackColor(uint32_t rgb);
  void SetFrameButtons(bool close, bool minimize, bool maximize);
  void SetDesignVisible(bool visible) { designVisible_ = visible; }
  // First placement of a window without a stored position: the middle of
  // the main screen.
  void MoveToScreenCentre();

  void SetMenuBar(MenuBar* bar);
  void AddMenuHandler(const std::string& name, std::function<bool(int index)> handler);
  // Calls the handler registered under the item's name; false when none
  // handled it.
  bool HandleMenu(const MenuItem& item);
  // The action built for the menu item of that name (tests trigger it).
  QAction* MenuAction(const std::string& itemName) const;

  void Show();
  // Shows the window and returns once it is hidden or closed; timers and
  // serial events go on meanwhile.
  void ShowModal();
  void Hide();
  void Close();
  bool IsClosed() const { return closed_; }
  bool IsModalShown() const { return modalLoop_ != nullptr; }

 protected:
  void closeEvent(QCloseEvent* e) override;
  void hideEvent(QHideEvent* e) override;

 private:
  void buildMenus(MenuItem* parent, class QMenu* menu);
  void endModal();
  void fitToContent();

  QWidget* content_;
  bool designVisible_ = true;
  bool fixedSize_ = false;
  bool closeButton_ = true;
  bool closed_ = false;
  bool built_ = false;
  QEventLoop* modalLoop_ = nullptr;
  std::vector<std::pair<std::string, std::function<bool(int)>>> handlers_;
  std::map<std::string, QAction*> actions_;  // by lower-case item name
};

// The windows not closed yet, in creation order (the main window first).
std::vector<Window*> OpenWindows();

// Single-instance windows: one per class, created and built on first use,
// released at exit (or by tests through DestroySingleWindows).
void RegisterSingleWindow(Window* w);
void DestroySingleWindows();

template <class W>
W& SingleInstance() {
  static QPointer<W> instance;
  if (!instance) {
    W* w = new W();
    instance = w;
    RegisterSingleWindow(w);
    w->Build();
  }
  return *instance;
}

namespace testing {
// Called inside the nested event loop of every ShowModal, with the window
// shown, so a test can answer it (press its keys). Null: no hook.
void SetModalHook(std::function<void(Window&)> hook);
}  // namespace testing

}  // namespace fw
