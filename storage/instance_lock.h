#pragma once
// The claim of one running copy: an exclusive flock on the settings file's lock file
// "<settings file>.lock", and on the program folder itself, so that one settings file has
// one running copy and one program folder one owner. The system drops a lock when the
// process ends, however it ends, so a copy that crashed never keeps another from
// starting. A lock that cannot be taken is Unavailable, never Held: the caller refuses
// to run and shows Reason().
#include <string>

namespace quilvern {

class InstanceLock {
  public:
    enum class Claim {
        Held,           // this is the one running copy
        HeldElsewhere,  // another copy holds it
        Unavailable,    // it cannot be taken; Reason() says why
    };

    // "<settings file>.lock", made (mode 0600) when missing. Only read access is needed,
    // so a lock file that another user (root) made readable still works; a link, a
    // folder or any other non-regular file in its place is refused.
    static InstanceLock ForSettingsFile(const std::string& settingsFile);
    // The folder itself, which needs no write access and leaves no file behind.
    static InstanceLock ForFolder(const std::string& folder);

    ~InstanceLock();
    InstanceLock(InstanceLock&& other) noexcept;
    InstanceLock& operator=(InstanceLock&&) = delete;
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    Claim Result() const { return claim_; }
    const std::string& Path() const { return path_; }      // what is locked
    const std::string& Reason() const { return reason_; }  // empty unless Unavailable

  private:
    InstanceLock(std::string path, int openFlags);

    std::string path_;
    int fd_ = -1;
    Claim claim_ = Claim::Unavailable;
    std::string reason_;
};

}  // namespace quilvern
