#include "storage/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

namespace quilvern {

InstanceLock::InstanceLock(const std::string& settingsFile) {
    fd_ = ::open((settingsFile + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd_ < 0)
        return;
    if (::flock(fd_, LOCK_EX | LOCK_NB) == 0) {
        claim_ = Claim::Held;
        return;
    }
    claim_ = errno == EWOULDBLOCK ? Claim::HeldElsewhere : Claim::Unavailable;
    ::close(fd_);
    fd_ = -1;
}

InstanceLock::~InstanceLock() {
    if (fd_ >= 0)
        ::close(fd_);
}

}  // namespace quilvern
