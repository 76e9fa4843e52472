#pragma once
// The crash recovery's alarm on the window's event loop: one single-shot timer and a
// clock that never goes back.
#include <QElapsedTimer>
#include <QTimer>
#include <functional>

#include "core/crash_recovery.h"

namespace quilvern {

class QtAlarm : public Alarm {
  public:
    explicit QtAlarm(std::function<void()> rang);

    void Start(std::int64_t milliseconds) override;
    void Stop() override { timer_.stop(); }
    std::int64_t Now() const override { return clock_.elapsed(); }

  private:
    QTimer timer_;
    QElapsedTimer clock_;
};

}  // namespace quilvern
