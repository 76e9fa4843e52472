#include "ui/qt_alarm.h"

namespace quilvern {

QtAlarm::QtAlarm(std::function<void()> rang) {
    timer_.setSingleShot(true);
    QObject::connect(&timer_, &QTimer::timeout, std::move(rang));
    clock_.start();
}

void QtAlarm::Start(std::int64_t milliseconds) {
    timer_.start(static_cast<int>(milliseconds));
}

}  // namespace quilvern
