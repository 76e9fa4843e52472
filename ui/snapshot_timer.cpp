#include "ui/snapshot_timer.h"

#include <algorithm>

namespace quilvern {

SnapshotTimer::SnapshotTimer(std::function<void()> write) : write_(std::move(write)) {
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, [this] { Fire(); });
}

void SnapshotTimer::Changed() {
    if (!firstChange_.isValid())
        firstChange_.start();
    qint64 delay = std::min<qint64>(kQuietMs, kLongestWaitMs - firstChange_.elapsed());
    if (lastWrite_.isValid())
        delay = std::max(delay, kShortestGapMs - lastWrite_.elapsed());
    timer_.start(static_cast<int>(std::max<qint64>(delay, 0)));
}

void SnapshotTimer::Stop() {
    timer_.stop();
    firstChange_.invalidate();
}

void SnapshotTimer::Fire() {
    firstChange_.invalidate();
    lastWrite_.start();
    write_();
}

}  // namespace quilvern
