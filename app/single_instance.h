#pragma once
// One running copy per settings file, and one owner per program folder. The first copy
// holds both locks and listens for later ones on a socket in a folder only this user
// may enter; a later copy on the same settings file asks it to bring its window to the
// front, waits for its answer, and ends having written nothing. Both ends check that the
// other is a process of this same user, and every wait is bounded.
#include <QSocketNotifier>
#include <memory>
#include <optional>
#include <string>

#include "storage/instance_lock.h"
#include "storage/private_folder.h"

class QWidget;

namespace quilvern {

class SingleInstance {
  public:
    // Takes the locks, or has the running copy show its window. Throws Error, having
    // written nothing, when this copy may not run: a lock that cannot be taken, a
    // program folder that another settings file's copy owns, or a running copy that
    // cannot be reached, belongs to another user or does not answer in time.
    SingleInstance(const std::string& settingsFile, const std::string& programDirectory);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // False when another copy runs on the same settings file; it has shown its window.
    bool IsFirst() const { return settingsLock_.Result() == InstanceLock::Claim::Held; }

    // The first copy's window, brought to the front whenever a later copy starts.
    void RaiseOnRequest(QWidget& window) { window_ = &window; }

  private:
    void Listen(const std::string& settingsFile);
    void Answer();

    std::string socketName_;
    InstanceLock settingsLock_;
    std::optional<InstanceLock> folderLock_;
    std::optional<PrivateFolder> folder_;  // where the first copy listens
    int listener_ = -1;
    std::unique_ptr<QSocketNotifier> requests_;
    QWidget* window_ = nullptr;
};

}  // namespace quilvern
