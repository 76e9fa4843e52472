#pragma once
// One running copy per settings file. The first copy holds the lock and listens for
// later ones on a local socket named after the settings file; a later copy asks the
// first to bring its window to the front and ends at once, having written nothing.
#include <QSocketNotifier>
#include <memory>
#include <string>

#include "storage/instance_lock.h"

class QWidget;

namespace quilvern {

class SingleInstance {
  public:
    explicit SingleInstance(const std::string& settingsFile);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // False when another copy runs on the same settings file; it has been asked to show
    // its window.
    bool IsFirst() const { return lock_.Result() != InstanceLock::Claim::HeldElsewhere; }

    // The first copy's window, brought to the front whenever a later copy starts.
    void RaiseOnRequest(QWidget& window);

  private:
    InstanceLock lock_;
    std::string address_;  // of the first copy's socket, in the abstract namespace
    int listener_ = -1;
    std::unique_ptr<QSocketNotifier> requests_;
};

}  // namespace quilvern
