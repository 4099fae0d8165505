#include "framework/window.h"

#include <QAction>
#include <QCloseEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QScreen>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>
#include <algorithm>

#include "framework/application.h"
#include "framework/control.h"
#include "framework/menu.h"
#include "framework/strings.h"

namespace fw {

namespace {
std::function<void(Window&)>& modalHook() {
  static std::function<void(Window&)> hook;
  return hook;
}
std::vector<Window*>& allWindows() {
  static std::vector<Window*> list;
  return list;
}
std::vector<QPointer<Window>>& singleWindows() {
  static std::vector<QPointer<Window>> list;
  return list;
}
// Brings a shown window to the front; the headless platform of the tests
// has no stacking and would only warn.
void bringToFront(QWidget* w) {
  if (QGuiApplication::platformName() != QLatin1String("offscreen")) w->raise();
}
std::string lowerCase(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return s;
}
}  // namespace

namespace testing {
void SetModalHook(std::function<void(Window&)> hook) { modalHook() = std::move(hook); }
}  // namespace testing

void RegisterSingleWindow(Window* w) { singleWindows().emplace_back(w); }

void DestroySingleWindows() {
  auto list = std::move(singleWindows());
  singleWindows().clear();
  for (auto it = list.rbegin(); it != list.rend(); ++it) delete it->data();
}

std::vector<Window*> OpenWindows() {
  std::vector<Window*> open;
  for (Window* w : allWindows())
    if (!w->IsClosed()) open.push_back(w);
  return open;
}

Window::Window() : content_(new QWidget(this)) {
  setCentralWidget(content_);
  content_->setAutoFillBackground(false);
  allWindows().push_back(this);
}

Window::~Window() { std::erase(allWindows(), this); }

void Window::Build() {
  if (built_) return;
  built_ = true;
  Layout();
  CreateControls();
  AddMenuHandlers();
  OpenControls(content_);
  Event_Open();
  if (designVisible_ && !closed_) Show();
}

void Window::SetTitle(const std::string& title) { setWindowTitle(QString::fromStdString(title)); }
std::string Window::Title() const { return windowTitle().toStdString(); }

void Window::SetContentSize(int w, int h) {
  content_->setFixedSize(w, h);
  fixedSize_ = true;
  fitToContent();
}

void Window::fitToContent() {
  if (!fixedSize_) return;
  // The frame grows by the menu bar, so the content keeps its design size
  // whichever of the two is set first.
  setMinimumSize(0, 0);
  setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
  adjustSize();
  setFixedSize(sizeHint());
}

int Window::Width() const { return content_->width(); }
int Window::Height() const { return content_->height(); }
int Window::Left() const { return pos().x(); }
int Window::Top() const { return pos().y(); }
void Window::SetLeft(int x) { move(x, pos().y()); }
void Window::SetTop(int y) { move(pos().x(), y); }

void Window::SetBackColor(uint32_t rgb) {
  QPalette pal = content_->palette();
  pal.setColor(QPalette::Window, QColor((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF));
  content_->setPalette(pal);
  content_->setAutoFillBackground(true);
}

void Window::MoveToScreenCentre() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen) return;
  const QRect area = screen->availableGeometry();
  move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
}

void Window::SetFrameButtons(bool close, bool minimize, bool maximize) {
  closeButton_ = close;
  Qt::WindowFlags f = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
  if (close) f |= Qt::WindowCloseButtonHint;
  if (minimize) f |= Qt::WindowMinimizeButtonHint;
  if (maximize) f |= Qt::WindowMaximizeButtonHint;
  setWindowFlags(f);
}

void Window::SetMenuBar(MenuBar* bar) {
  auto* qbar = new QMenuBar(this);
  actions_.clear();
  if (bar) {
    for (int i = 0; i < bar->Count(); ++i) {
      MenuItem* title = bar->Item(i);
      QMenu* menu = qbar->addMenu(QString::fromStdString(title->Text));
      menu->setObjectName(QString::fromStdString(title->Name));
      buildMenus(title, menu);
    }
  }
  setMenuBar(qbar);
  fitToContent();
}

void Window::buildMenus(MenuItem* parent, QMenu* menu) {
  for (int i = 0; i < parent->Count(); ++i) {
    MenuItem* item = parent->Item(i);
    if (item->Text == "-") {
      menu->addSeparator();
      continue;
    }
    if (item->Count() > 0) {
      QMenu* sub = menu->addMenu(QString::fromStdString(item->Text));
      buildMenus(item, sub);
      continue;
    }
    QAction* action = menu->addAction(QString::fromStdString(item->Text));
    action->setObjectName(QString::fromStdString(item->Name));
    if (!item->KeyboardShortcut.empty())
      action->setShortcut(QKeySequence(QString::fromStdString(PlatformShortcut(item->KeyboardShortcut))));
    actions_[lowerCase(item->Name)] = action;
    QObject::connect(action, &QAction::triggered, this, [this, item] {
      if (item->IsQuit())
        Application::Quit();
      else
        HandleMenu(*item);
    });
  }
}

void Window::AddMenuHandler(const std::string& name, std::function<bool(int)> handler) {
  handlers_.emplace_back(name, std::move(handler));
}

bool Window::HandleMenu(const MenuItem& item) {
  for (auto& [name, handler] : handlers_)
    if (EqualsIgnoreCase(name, item.Name) && handler(item.Index)) return true;
  return false;
}

QAction* Window::MenuAction(const std::string& itemName) const {
  auto it = actions_.find(lowerCase(itemName));
  return it == actions_.end() ? nullptr : it->second;
}

void Window::Show() {
  if (closed_) return;
  show();
  bringToFront(this);
  Event_Activate();
}

void Window::ShowModal() {
  if (closed_ || modalLoop_) return;
  // Modality set on a shown window takes effect only at its next showing.
  if (isVisible()) hide();
  setWindowModality(Qt::ApplicationModal);
  QEventLoop loop;
  modalLoop_ = &loop;
  show();
  bringToFront(this);
  activateWindow();
  Event_Activate();
  if (modalHook()) {
    QPointer<Window> self(this);
    QTimer::singleShot(0, &loop, [self] {
      if (self && modalHook()) modalHook()(*self);
    });
  }
  if (isVisible() && !closed_) loop.exec();
  modalLoop_ = nullptr;
  setWindowModality(Qt::NonModal);
}

void Window::endModal() {
  if (modalLoop_) modalLoop_->quit();
}

void Window::Hide() {
  hide();
  endModal();
}

void Window::Close() {
  if (closed_) return;
  closed_ = true;
  Event_Close();
  QMainWindow::close();
  endModal();
}

void Window::closeEvent(QCloseEvent* e) {
  if (closed_) {
    e->accept();
    return;
  }
  if (!closeButton_) {
    // The design leaves no way out but the window's own keys, so the
    // request is refused and the window keeps its showing.
    e->ignore();
    Event_CloseRequest();
    return;
  }
  closed_ = true;
  Event_Close();
  e->accept();
  endModal();
}

void Window::hideEvent(QHideEvent* e) {
  QMainWindow::hideEvent(e);
  if (!e->spontaneous()) endModal();
}

}  // namespace fw
