#include "storage/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

namespace quilvern {

InstanceLock InstanceLock::ForSettingsFile(const std::string& settingsFile) {
    // O_NONBLOCK: a FIFO put in its place must not hang the start.
    return InstanceLock(settingsFile + ".lock", O_RDONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK);
}

InstanceLock InstanceLock::ForFolder(const std::string& folder) {
    return InstanceLock(folder, O_RDONLY | O_DIRECTORY);
}

InstanceLock::InstanceLock(std::string path, int openFlags) : path_(std::move(path)) {
    fd_ = ::open(path_.c_str(), openFlags | O_CLOEXEC, 0600);
    if (fd_ < 0) {
        reason_ = errno == ELOOP ? "it is a symbolic link" : std::strerror(errno);
        return;
    }
    struct stat status {};
    if (::fstat(fd_, &status) != 0 ||
        ((openFlags & O_DIRECTORY) == 0 && !S_ISREG(status.st_mode))) {
        reason_ = "it is not a regular file";
    } else if (::flock(fd_, LOCK_EX | LOCK_NB) == 0) {
        claim_ = Claim::Held;
        return;
    } else if (errno == EWOULDBLOCK) {
        claim_ = Claim::HeldElsewhere;
    } else {
        reason_ = std::strerror(errno);
    }
    ::close(fd_);
    fd_ = -1;
}

InstanceLock::InstanceLock(InstanceLock&& other) noexcept
    : path_(std::move(other.path_)),
      fd_(std::exchange(other.fd_, -1)),
      claim_(other.claim_),
      reason_(std::move(other.reason_)) {}

InstanceLock::~InstanceLock() {
    if (fd_ >= 0)
        ::close(fd_);
}

}  // namespace quilvern
