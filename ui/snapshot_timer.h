#pragma once
// When to write the crash-recovery snapshot: two seconds after the last change, never
// later than ten seconds after the first change not yet in a snapshot (so steady typing
// is covered too), and never sooner than one second after the previous snapshot. One
// timer on the window's thread.
#include <QElapsedTimer>
#include <QTimer>
#include <functional>

namespace quilvern {

class SnapshotTimer : public QObject {
    Q_OBJECT
  public:
    static constexpr int kQuietMs = 2000;
    static constexpr int kLongestWaitMs = 10000;
    static constexpr int kShortestGapMs = 1000;

    explicit SnapshotTimer(std::function<void()> write);

    void Changed();  // restarts the wait
    void Stop();
    bool Pending() const { return timer_.isActive(); }

  private:
    void Fire();

    std::function<void()> write_;
    QTimer timer_;
    QElapsedTimer firstChange_;
    QElapsedTimer lastWrite_;
};

}  // namespace quilvern
