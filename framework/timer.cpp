#include "framework/timer.h"

#include <QTimer>

namespace fw {

Timer::Timer() : timer_(std::make_unique<QTimer>()) {
  timer_->setTimerType(Qt::PreciseTimer);
  QObject::connect(timer_.get(), &QTimer::timeout, timer_.get(), [this] {
    if (Action) Action();
  });
  apply();
}

Timer::~Timer() = default;

void Timer::SetMode(int mode) {
  mode_ = mode;
  apply();
}
void Timer::SetPeriod(int ms) {
  period_ = ms;
  apply();
}
void Timer::SetEnabled(bool enabled) {
  enabled_ = enabled;
  apply();
}
bool Timer::Enabled() const { return enabled_; }

void Timer::apply() {
  timer_->stop();
  if (!enabled_ || mode_ == 0) return;
  timer_->setSingleShot(mode_ == 1);
  timer_->start(period_ > 0 ? period_ : 1);
}

}  // namespace fw
