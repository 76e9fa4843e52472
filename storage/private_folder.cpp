#include "storage/private_folder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "values/error.h"

namespace quilvern {
namespace {

// Opens the folder without following a link in its place; -1 unless it is a folder of
// this user that nobody else may enter, read or write. errno says why.
int OpenPrivate(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        struct stat link {};
        if (::lstat(path.c_str(), &link) == 0 && S_ISLNK(link.st_mode))
            errno = EPERM;  // a link leads wherever its maker wants
        return -1;
    }
    struct stat status {};
    if (::fstat(fd, &status) == 0 && S_ISDIR(status.st_mode) && status.st_uid == ::geteuid() &&
        (status.st_mode & 0777) == 0700) {
        return fd;
    }
    ::close(fd);
    errno = EPERM;
    return -1;
}

}  // namespace

PrivateFolder PrivateFolder::ForSettingsFile(const std::string& settingsFile) {
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR");
        runtime != nullptr && *runtime == '/') {
        if (const int fd = OpenPrivate(runtime); fd >= 0)
            return PrivateFolder(runtime, fd);
    }
    std::string fallback = settingsFile + ".run";
    if (::mkdir(fallback.c_str(), 0700) != 0 && errno != EEXIST)
        throw Error(std::string("Cannot create folder %s: ") + std::strerror(errno), fallback);
    const int fd = OpenPrivate(fallback);
    if (fd < 0) {
        throw Error(errno == EPERM
                        ? "The folder %s is not private: it must be yours, with mode 0700"
                        : std::string("Cannot open folder %s: ") + std::strerror(errno),
                    fallback);
    }
    return PrivateFolder(std::move(fallback), fd);
}

PrivateFolder::PrivateFolder(PrivateFolder&& other) noexcept
    : path_(std::move(other.path_)), fd_(std::exchange(other.fd_, -1)) {}

PrivateFolder::~PrivateFolder() {
    if (fd_ >= 0)
        ::close(fd_);
}

std::string PrivateFolder::Entry(const std::string& name) const {
    return "/proc/self/fd/" + std::to_string(fd_) + "/" + name;
}

}  // namespace quilvern
