#pragma once
// A timer on the event thread. Mode 0 off, 1 single, 2 repeating.
#include <functional>
#include <memory>

class QTimer;

namespace fw {

class Timer {
 public:
  Timer();
  ~Timer();
  Timer(const Timer&) = delete;
  Timer& operator=(const Timer&) = delete;

  void SetMode(int mode);
  void SetPeriod(int ms);
  void SetEnabled(bool enabled);
  bool Enabled() const;
  int Period() const { return period_; }

  std::function<void()> Action;

 private:
  void apply();

  std::unique_ptr<QTimer> timer_;
  int mode_ = 2;
  int period_ = 1000;
  bool enabled_ = true;
};

}  // namespace fw
