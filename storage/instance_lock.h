#pragma once
// The claim of one running copy on a settings file: an exclusive lock on the file
// "<settings file>.lock". The system drops the lock when the process ends, however it
// ends, so a copy that crashed never keeps another from starting.
#include <string>

namespace quilvern {

class InstanceLock {
  public:
    enum class Claim {
        Held,           // this is the one running copy
        HeldElsewhere,  // another copy runs on the same settings file
        Unavailable,    // no lock can be made there (the folder is not writable)
    };

    explicit InstanceLock(const std::string& settingsFile);
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    Claim Result() const { return claim_; }

  private:
    int fd_ = -1;
    Claim claim_ = Claim::Unavailable;
};

}  // namespace quilvern
