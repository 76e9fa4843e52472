#include "storage/text_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <random>

#include "values/error.h"

namespace quilvern {
namespace {

constexpr mode_t kAnyWrite = S_IWUSR | S_IWGRP | S_IWOTH;
constexpr mode_t kAnyRead = S_IRUSR | S_IRGRP | S_IROTH;
constexpr int kTempNameAttempts = 100;

[[noreturn]] void ThrowCannotCreate(const std::string& path) {
    throw Error(Format("Cannot create file %s", path));
}

[[noreturn]] void ThrowCannotOpen(const std::string& path) {
    throw Error(Format("Cannot open file %s", path));
}

// Closes the descriptor on every way out, so a failed write never leaves it held.
class FileDescriptor {
  public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int Get() const { return fd_; }
    bool Valid() const { return fd_ >= 0; }
    // Unlike the destructor, reports the error: some file systems only say at close
    // that the data did not fit.
    bool Close() {
        int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

  private:
    int fd_;
};

// Removes the temporary file unless the write got as far as renaming it.
class TempFileGuard {
  public:
    explicit TempFileGuard(std::string path) : path_(std::move(path)) {}
    ~TempFileGuard() {
        if (!path_.empty()) {
            ::unlink(path_.c_str());
        }
    }
    TempFileGuard(const TempFileGuard&) = delete;
    TempFileGuard& operator=(const TempFileGuard&) = delete;

    void Release() { path_.clear(); }

  private:
    std::string path_;
};

struct PathParts {
    std::string directory;  // never empty, so it can be opened and fsynced
    std::string name;
};

PathParts SplitPath(const std::string& path) {
    auto slash = path.rfind('/');
    if (slash == std::string::npos) {
        return {".", path};
    }
    return {slash == 0 ? "/" : path.substr(0, slash), path.substr(slash + 1)};
}

// A symbolic link to a report is written through, as opening the file for writing
// would, instead of being replaced by a plain file.
std::string ResolveLink(const std::string& path) {
    struct stat link {};
    if (::lstat(path.c_str(), &link) != 0 || !S_ISLNK(link.st_mode)) {
        return path;
    }
    std::array<char, PATH_MAX> resolved{};
    if (::realpath(path.c_str(), resolved.data()) == nullptr) {
        return path;
    }
    return resolved.data();
}

// Opens a new file beside the target with an unguessable name. O_EXCL keeps it from
// ever being an existing file; mode 0666 lets the umask decide, as for any new file.
int CreateTempFile(const PathParts& target, std::string& tempPath) {
    static std::mt19937 random{std::random_device{}()};
    static constexpr char kLetters[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::uniform_int_distribution<std::size_t> pick(0, sizeof(kLetters) - 2);
    for (int attempt = 0; attempt < kTempNameAttempts; ++attempt) {
        std::string candidate = target.directory + "/." + target.name + ".";
        for (int i = 0; i < 6; ++i) {
            candidate += kLetters[pick(random)];
        }
        int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            tempPath = std::move(candidate);
            return fd;
        }
        if (errno != EEXIST) {
            return -1;
        }
    }
    return -1;
}

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// Once the rename is done the new text is in place; a failure to make the directory
// entry durable is not worth failing the command over.
void SyncDirectory(const std::string& directory) {
    FileDescriptor dir(::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.Valid()) {
        ::fsync(dir.Get());
    }
}

}  // namespace

bool FileExists(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

void DeleteFile(const std::string& path) {
    // A read-only file is one the program may not replace, so it may not remove it
    // either; unlink alone would, since it looks only at the directory.
    struct stat status {};
    if (::stat(path.c_str(), &status) == 0 && (status.st_mode & kAnyWrite) == 0) {
        return;
    }
    ::unlink(path.c_str());
}

void WriteFileSafely(const std::string& path, std::string_view bytes) {
    const std::string target = ResolveLink(path);

    // Root may write anything, and rename ignores the target's own mode entirely, so a
    // read-only file is recognised by its mode bits: for every user alike, a file
    // without any write bit is not replaced.
    struct stat old {};
    bool replacing = false;
    if (::stat(target.c_str(), &old) == 0) {
        if (!S_ISREG(old.st_mode) || (old.st_mode & kAnyWrite) == 0 ||
            ::access(target.c_str(), W_OK) != 0) {
            ThrowCannotCreate(path);
        }
        replacing = true;
    } else if (errno != ENOENT) {
        ThrowCannotCreate(path);
    }

    const PathParts parts = SplitPath(target);
    std::string tempPath;
    FileDescriptor file(CreateTempFile(parts, tempPath));
    if (!file.Valid()) {
        ThrowCannotCreate(path);
    }
    TempFileGuard guard(tempPath);

    if (replacing) {
        // The replacement must be usable by everyone who could use the old file. Only
        // root can hand a file to another owner; anyone else keeps the copy as their
        // own, which the old mode still covers, so a refusal is no reason to fail.
        if (old.st_uid != ::geteuid() || old.st_gid != ::getegid()) {
            [[maybe_unused]] int refused = ::fchown(file.Get(), old.st_uid, old.st_gid);
        }
        ::fchmod(file.Get(), old.st_mode & 07777);
    }

    if (!WriteAll(file.Get(), bytes) || ::fsync(file.Get()) != 0 || !file.Close()) {
        throw Error("Stream write error");
    }
    if (::rename(tempPath.c_str(), target.c_str()) != 0) {
        ThrowCannotCreate(path);
    }
    guard.Release();
    SyncDirectory(parts.directory);
}

std::string ReadFileBytes(const std::string& path) {
    // O_NONBLOCK keeps a FIFO of that name from hanging the window; it is refused below
    // like any other thing that is not a regular file.
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (!file.Valid()) {
        ThrowCannotOpen(path);
    }
    // Root's open succeeds whatever the mode says; a file nobody may read is refused
    // here so that the outcome does not depend on who runs the program.
    struct stat status {};
    if (::fstat(file.Get(), &status) != 0 || !S_ISREG(status.st_mode) ||
        (status.st_mode & kAnyRead) == 0) {
        ThrowCannotOpen(path);
    }

    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(status.st_size));
    std::array<char, 64 * 1024> chunk{};
    for (;;) {
        ssize_t got = ::read(file.Get(), chunk.data(), chunk.size());
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            ThrowCannotOpen(path);
        }
        if (got == 0) {
            break;
        }
        bytes.append(chunk.data(), static_cast<std::size_t>(got));
    }
    return bytes;
}

}  // namespace quilvern
