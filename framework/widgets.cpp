#include "framework/widgets.h"

#include <QKeyEvent>

#include "framework/canvas.h"
#include "framework/graphics.h"

namespace fw {

namespace {
QString qs(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

// Text size in pixels; 0 keeps the platform's default size.
void setTextSize(QWidget& w, int pixels) {
  if (pixels <= 0) return;
  QFont f = w.font();
  f.setPixelSize(pixels);
  w.setFont(f);
}
}  // namespace

ContainerControl::ContainerControl(QWidget* parent) : QWidget(parent), Control(this) {}

BevelButton::BevelButton(QWidget* parent) : QPushButton(parent), Control(this) {
  setFocusPolicy(Qt::NoFocus);
  setAutoDefault(false);
  QObject::connect(this, &QPushButton::clicked, this, [this] {
    if (Action) Action();
  });
}

void BevelButton::SetCaption(const std::string& caption) { setText(qs(caption)); }
std::string BevelButton::Caption() const { return text().toStdString(); }

void BevelButton::SetTextSize(int pixels) { setTextSize(*this, pixels); }

void BevelButton::SetBold(bool bold) {
  QFont f = font();
  f.setBold(bold);
  setFont(f);
}

void BevelButton::SetTextFont(const std::string& name) {
  QFont f = font();
  f.setFamily(qs(ResolveFontFamily(name)));
  setFont(f);
}

void BevelButton::SetAcceptFocus(bool accept) { setFocusPolicy(accept ? Qt::StrongFocus : Qt::NoFocus); }

void BevelButton::keyPressEvent(QKeyEvent* e) {
  const std::string key = KeyText(e->key(), e->text());
  if (!key.empty() && KeyDown) {
    if (!KeyDown(key)) e->ignore();
    return;
  }
  QPushButton::keyPressEvent(e);
}

PopupMenu::PopupMenu(QWidget* parent) : QComboBox(parent), Control(this) {}
void PopupMenu::DeleteAllRows() { clear(); }
void PopupMenu::AddRow(const std::string& text) { addItem(qs(text)); }
int PopupMenu::ListIndex() const { return currentIndex(); }
void PopupMenu::SetListIndex(int row) { setCurrentIndex(row); }
int PopupMenu::ListCount() const { return count(); }
std::string PopupMenu::Text() const { return currentText().toStdString(); }
std::string PopupMenu::RowText(int row) const { return itemText(row).toStdString(); }
void PopupMenu::SetTextSize(int pixels) { setTextSize(*this, pixels); }

GroupBox::GroupBox(QWidget* parent) : QGroupBox(parent), Control(this) {}
void GroupBox::SetCaption(const std::string& caption) { setTitle(qs(caption)); }
std::string GroupBox::Caption() const { return title().toStdString(); }

StaticText::StaticText(QWidget* parent) : QLabel(parent), Control(this) {}
void StaticText::SetText(const std::string& text) { setText(qs(text)); }

}  // namespace fw
