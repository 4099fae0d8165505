#include "framework/control.h"

#include <QWidget>

namespace fw {

int Control::Left() const { return self_->x(); }
int Control::Top() const { return self_->y(); }
int Control::Width() const { return self_->width(); }
int Control::Height() const { return self_->height(); }
bool Control::Visible() const { return !self_->isHidden(); }
bool Control::Enabled() const { return self_->isEnabled(); }
void Control::SetLeft(int x) { self_->move(x, self_->y()); }
void Control::SetTop(int y) { self_->move(self_->x(), y); }
void Control::SetWidth(int w) { self_->resize(w < 0 ? 0 : w, self_->height()); }
void Control::SetHeight(int h) { self_->resize(self_->width(), h < 0 ? 0 : h); }
void Control::SetBounds(int x, int y, int w, int h) {
  self_->setGeometry(x, y, w < 0 ? 0 : w, h < 0 ? 0 : h);
}
void Control::SetVisible(bool v) { self_->setVisible(v); }
void Control::SetEnabled(bool e) { self_->setEnabled(e); }
void Control::SetFocus() { self_->setFocus(Qt::OtherFocusReason); }

void OpenControls(QWidget* root) {
  for (QObject* child : root->children()) {
    auto* w = qobject_cast<QWidget*>(child);
    if (!w || w->isWindow()) continue;
    OpenControls(w);
    if (auto* c = dynamic_cast<Control*>(w)) c->Event_Open();
  }
}

}  // namespace fw
