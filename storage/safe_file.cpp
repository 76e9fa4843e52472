#include "storage/safe_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <map>
#include <random>

namespace quilvern {
namespace {

constexpr mode_t kAnyWrite = S_IWUSR | S_IWGRP | S_IWOTH;
constexpr mode_t kAnyRead = S_IRUSR | S_IRGRP | S_IROTH;
constexpr int kTempNameAttempts = 100;
constexpr std::size_t kTempSuffixLength = 6;
constexpr std::string_view kTempLetters =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

// Closes the descriptor on every way out, so a failed write never leaves it held.
class FileDescriptor {
  public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int Get() const { return fd_; }
    bool Valid() const { return fd_ >= 0; }
    // Unlike the destructor, reports the error: some file systems only say at close
    // that the data did not fit.
    bool Close() {
        const int fd = fd_;
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
        if (!path_.empty())
            ::unlink(path_.c_str());
    }
    TempFileGuard(const TempFileGuard&) = delete;
    TempFileGuard& operator=(const TempFileGuard&) = delete;

    void Release() { path_.clear(); }

  private:
    std::string path_;
};

struct PathParts {
    std::string directory;  // never empty, so it can be opened and flushed
    std::string name;
};

PathParts SplitPath(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return {".", path};
    return {slash == 0 ? "/" : path.substr(0, slash), path.substr(slash + 1)};
}

// The kernel's protected_symlinks rule, for every folder that others may write (group
// or world, sticky or not): a link there is followed only when this user or the
// folder's owner made it, for reading as for writing. Anyone else could point it at the
// trader's own files.
bool MayFollow(const std::string& path, const struct stat& link) {
    if (link.st_uid == ::geteuid())
        return true;
    struct stat folder {};
    if (::stat(SplitPath(path).directory.c_str(), &folder) != 0)
        return false;
    return (folder.st_mode & (S_IWGRP | S_IWOTH)) == 0 || link.st_uid == folder.st_uid;
}

// The file a symbolic link names, as opening the path for writing would reach it; the
// path itself otherwise. Empty for a link that leads nowhere or may not be followed.
std::string ResolveLink(const std::string& path) {
    struct stat link {};
    if (::lstat(path.c_str(), &link) != 0 || !S_ISLNK(link.st_mode))
        return path;
    if (!MayFollow(path, link))
        return {};
    std::array<char, PATH_MAX> resolved{};
    if (::realpath(path.c_str(), resolved.data()) == nullptr)
        return {};
    return resolved.data();
}

// Root may write anything, and rename ignores the target's own mode entirely, so a
// read-only file is recognised by its mode bits: for every user alike, a file without
// any write bit is not replaced.
bool Replaceable(const std::string& target, const struct stat& status) {
    return S_ISREG(status.st_mode) && (status.st_mode & kAnyWrite) != 0 &&
           ::access(target.c_str(), W_OK) == 0;
}

// A new file beside the target with an unguessable name. O_EXCL keeps it from ever
// being an existing file; mode 0666 lets the umask decide, as for any new file.
int CreateTempFile(const PathParts& target, std::string& tempPath) {
    static std::mt19937 random{std::random_device{}()};
    std::uniform_int_distribution<std::size_t> pick(0, kTempLetters.size() - 1);
    for (int attempt = 0; attempt < kTempNameAttempts; ++attempt) {
        std::string candidate = target.directory + "/." + target.name + ".";
        for (std::size_t i = 0; i < kTempSuffixLength; ++i)
            candidate += kTempLetters[pick(random)];
        const int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            tempPath = std::move(candidate);
            return fd;
        }
        if (errno != EEXIST)
            return -1;
    }
    errno = EEXIST;
    return -1;
}

bool WriteAllAt(int fd, std::string_view bytes, off_t offset) {
    while (!bytes.empty()) {
        const ssize_t written = ::pwrite(fd, bytes.data(), bytes.size(), offset);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        bytes.remove_prefix(static_cast<std::size_t>(written));
        offset += written;
    }
    return true;
}

bool ReadAll(int fd, std::string& bytes, std::size_t expected) {
    bytes.resize(expected + 1);
    std::size_t filled = 0;
    for (;;) {
        if (filled == bytes.size())
            bytes.resize(bytes.size() * 2);  // the file grew while being read
        const ssize_t got = ::read(fd, bytes.data() + filled, bytes.size() - filled);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return false;
        if (got == 0)
            break;
        filled += static_cast<std::size_t>(got);
    }
    bytes.resize(filled);
    return true;
}

// Once the rename is done the new text is in place; a failure to make the directory
// entry durable is not worth failing the command over.
void SyncDirectory(const std::string& directory) {
    FileDescriptor dir(::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.Valid())
        ::fsync(dir.Get());
}

// The new bytes over the old ones, in the file itself, for a folder that takes no new
// file. Not atomic, so the old bytes are kept and put back when the new ones fail.
WriteOutcome WriteInPlace(const std::string& target, std::string_view bytes) {
    FileDescriptor file(::open(target.c_str(), O_RDWR | O_CLOEXEC | O_NONBLOCK));
    struct stat status {};
    std::string old;
    if (!file.Valid() || ::fstat(file.Get(), &status) != 0 || !S_ISREG(status.st_mode) ||
        !ReadAll(file.Get(), old, static_cast<std::size_t>(status.st_size))) {
        return WriteOutcome::CannotCreate;
    }
    const auto size = static_cast<off_t>(bytes.size());
    if (WriteAllAt(file.Get(), bytes, 0) && ::ftruncate(file.Get(), size) == 0 &&
        ::fsync(file.Get()) == 0 && file.Close()) {
        return WriteOutcome::Written;
    }
    if (file.Valid()) {
        WriteAllAt(file.Get(), old, 0);
        [[maybe_unused]] const int truncated =
            ::ftruncate(file.Get(), static_cast<off_t>(old.size()));
        ::fsync(file.Get());
    }
    return WriteOutcome::WriteFailed;
}

// For a file system without hard links: the name is taken exclusively and the bytes
// written into it, and a file that did not get all of them is removed again.
CreateOutcome CreateExclusively(const std::string& path, std::string_view bytes) {
    FileDescriptor file(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
    if (!file.Valid())
        return errno == EEXIST ? CreateOutcome::NameTaken : CreateOutcome::CannotCreate;
    if (WriteAllAt(file.Get(), bytes, 0) && ::fsync(file.Get()) == 0 && file.Close())
        return CreateOutcome::Created;
    ::unlink(path.c_str());
    return CreateOutcome::WriteFailed;
}

bool IsTemporaryOf(std::string_view entry, std::string_view name) {
    if (entry.size() < name.size() + 3 || entry[0] != '.' || entry.substr(1, name.size()) != name ||
        entry[name.size() + 1] != '.') {
        return false;
    }
    const std::string_view suffix = entry.substr(name.size() + 2);
    return suffix.size() <= 12 && suffix.find_first_not_of(kTempLetters) == std::string_view::npos;
}

// Opens the file to read, following a link only by MayFollow, and only the very link that
// was checked. -1 with errno set otherwise.
int OpenForReading(const std::string& path) {
    constexpr int kFlags = O_RDONLY | O_NONBLOCK | O_CLOEXEC;
    const int fd = ::open(path.c_str(), kFlags | O_NOFOLLOW);
    struct stat before {};
    if (fd >= 0 || errno != ELOOP || ::lstat(path.c_str(), &before) != 0)
        return fd;
    if (!S_ISLNK(before.st_mode) || !MayFollow(path, before)) {
        errno = EACCES;
        return -1;
    }
    const int followed = ::open(path.c_str(), kFlags);
    struct stat after {};
    if (followed >= 0 && (::lstat(path.c_str(), &after) != 0 || after.st_ino != before.st_ino ||
                          after.st_dev != before.st_dev)) {
        ::close(followed);
        errno = EACCES;
        return -1;
    }
    return followed;
}

// Narrows a new file's permission bits, which the umask gave it, to the allowed ones.
bool LimitPermissions(int fd, unsigned allowed) {
    struct stat status {};
    if (::fstat(fd, &status) != 0)
        return false;
    const mode_t mode = status.st_mode & 07777;
    return (mode & ~allowed) == 0 || ::fchmod(fd, mode & allowed) == 0;
}

}  // namespace

ReadOutcome ReadWholeFile(const std::string& path, std::string& bytes, std::size_t limit) {
    bytes.clear();
    FileDescriptor file(OpenForReading(path));
    if (!file.Valid()) {
        return (errno == ENOENT || errno == ENOTDIR) ? ReadOutcome::Missing
                                                     : ReadOutcome::Unreadable;
    }
    struct stat status {};
    if (::fstat(file.Get(), &status) != 0 || !S_ISREG(status.st_mode) ||
        (status.st_mode & kAnyRead) == 0) {
        return ReadOutcome::Unreadable;
    }
    const auto size = static_cast<std::size_t>(status.st_size);
    if (size > limit)
        return ReadOutcome::TooLarge;
    if (!ReadAll(file.Get(), bytes, size)) {
        bytes.clear();
        return ReadOutcome::Unreadable;
    }
    if (bytes.size() > limit) {
        bytes.clear();
        return ReadOutcome::TooLarge;
    }
    return ReadOutcome::Read;
}

WriteOutcome ReplaceFile(const std::string& path, std::string_view bytes, unsigned allowed) {
    const std::string target = ResolveLink(path);
    if (target.empty())
        return WriteOutcome::CannotCreate;

    struct stat old {};
    bool replacing = false;
    if (::stat(target.c_str(), &old) == 0) {
        if (!Replaceable(target, old))
            return WriteOutcome::CannotCreate;
        replacing = true;
    } else if (errno != ENOENT) {
        return WriteOutcome::CannotCreate;
    }

    const PathParts parts = SplitPath(target);
    std::string tempPath;
    FileDescriptor file(CreateTempFile(parts, tempPath));
    if (!file.Valid()) {
        const bool folderRefuses = errno == EACCES || errno == EPERM;
        return replacing && folderRefuses ? WriteInPlace(target, bytes)
                                          : WriteOutcome::CannotCreate;
    }
    TempFileGuard guard(tempPath);

    if (replacing) {
        // Only root can hand a file to another owner; anyone else keeps the copy as
        // their own, which the old mode still covers, so a refusal changes nothing worth
        // failing for. The mode must carry over, though: a private file must not become
        // readable by others through being saved.
        if (old.st_uid != ::geteuid() || old.st_gid != ::getegid()) {
            [[maybe_unused]] const int refused = ::fchown(file.Get(), old.st_uid, old.st_gid);
        }
        if (::fchmod(file.Get(), old.st_mode & 07777 & allowed) != 0)
            return WriteOutcome::CannotCreate;
    } else if (!LimitPermissions(file.Get(), allowed)) {
        return WriteOutcome::CannotCreate;
    }

    if (!WriteAllAt(file.Get(), bytes, 0) || ::fsync(file.Get()) != 0 || !file.Close())
        return WriteOutcome::WriteFailed;
    if (::rename(tempPath.c_str(), target.c_str()) != 0)
        return WriteOutcome::CannotCreate;
    guard.Release();
    SyncDirectory(parts.directory);
    return WriteOutcome::Written;
}

CreateOutcome CreateNewFile(const std::string& path, std::string_view bytes) {
    const PathParts parts = SplitPath(path);
    std::string tempPath;
    FileDescriptor file(CreateTempFile(parts, tempPath));
    if (!file.Valid())
        return CreateOutcome::CannotCreate;
    // The temporary name goes in any case: on success the file lives on under its own.
    const TempFileGuard guard(tempPath);
    if (!WriteAllAt(file.Get(), bytes, 0) || ::fsync(file.Get()) != 0 || !file.Close())
        return CreateOutcome::WriteFailed;
    // Unlike rename, link never replaces what is there.
    if (::link(tempPath.c_str(), path.c_str()) != 0) {
        switch (errno) {
            case EEXIST:
                return CreateOutcome::NameTaken;
            case EPERM:
            case ENOTSUP:
            case ENOSYS:
                return CreateExclusively(path, bytes);
            default:
                return CreateOutcome::CannotCreate;
        }
    }
    SyncDirectory(parts.directory);
    return CreateOutcome::Created;
}

bool CanReplace(const std::string& path) {
    const std::string target = ResolveLink(path);
    struct stat status {};
    return !target.empty() && ::stat(target.c_str(), &status) == 0 && Replaceable(target, status);
}

namespace {

void RemoveLeftoversIn(const std::string& directory, const std::vector<std::string>& fileNames) {
    DIR* folder = ::opendir(directory.c_str());
    if (folder == nullptr)
        return;
    const std::string prefix = directory.ends_with('/') ? directory : directory + "/";
    while (const dirent* entry = ::readdir(folder)) {
        const std::string_view name = entry->d_name;
        const bool ours =
            std::any_of(fileNames.begin(), fileNames.end(),
                        [name](const std::string& file) { return IsTemporaryOf(name, file); });
        struct stat status {};
        const std::string path = prefix + std::string(name);
        if (ours && ::lstat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode))
            ::unlink(path.c_str());
    }
    ::closedir(folder);
}

}  // namespace

void RemoveLeftoverTemporaries(const std::vector<std::string>& paths) {
    std::map<std::string, std::vector<std::string>> namesByFolder;
    for (const std::string& path : paths) {
        PathParts parts = SplitPath(path);
        namesByFolder[std::move(parts.directory)].push_back(std::move(parts.name));
    }
    for (const auto& [folder, names] : namesByFolder)
        RemoveLeftoversIn(folder, names);
}

}  // namespace quilvern
