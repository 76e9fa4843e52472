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
constexpr std::string_view kTempPrefix = ".Quilvern-tmp-";
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
    void Guard(std::string path) { path_ = std::move(path); }

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

// A name beside the target that only this program uses: ".Quilvern-tmp-" + the file's
// name + "-" + six letters or digits, unguessable.
std::string TemporaryName(const PathParts& target) {
    static std::mt19937 random{std::random_device{}()};
    std::uniform_int_distribution<std::size_t> pick(0, kTempLetters.size() - 1);
    std::string name = target.directory + "/" + std::string(kTempPrefix) + target.name + "-";
    for (std::size_t i = 0; i < kTempSuffixLength; ++i)
        name += kTempLetters[pick(random)];
    return name;
}

// A file in the target's folder that has no name yet, so that a kill leaves nothing
// behind. -1 with errno EOPNOTSUPP (or what the file system says) where there are none.
int CreateUnnamedFile(const PathParts& target) {
    return ::open(target.directory.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
}

// The file as `path`; never replaces anything there. An unnamed file is linked through
// /proc, a named one directly.
bool LinkAs(int fd, const std::string& path) {
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    return ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW) == 0;
}

// A new named file beside the target, for file systems without unnamed files. O_EXCL
// keeps it from ever being an existing file; mode 0666 lets the umask decide.
int CreateTempFile(const PathParts& target, std::string& tempPath,
                   const BeforeTemporaryName& announce) {
    for (int attempt = 0; attempt < kTempNameAttempts; ++attempt) {
        std::string candidate = TemporaryName(target);
        if (announce)
            announce(candidate);
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

// Gives the unnamed file a temporary name beside the target, announced first.
bool NameTemporarily(int fd, const PathParts& target, std::string& tempPath,
                     const BeforeTemporaryName& announce) {
    for (int attempt = 0; attempt < kTempNameAttempts; ++attempt) {
        std::string candidate = TemporaryName(target);
        if (announce)
            announce(candidate);
        if (LinkAs(fd, candidate)) {
            tempPath = std::move(candidate);
            return true;
        }
        if (errno != EEXIST)
            return false;
    }
    return false;
}

// Where the new bytes go first: an unnamed file in the target's folder or, on a file
// system without them, a named temporary file. -1 with errno when the folder refuses.
int OpenReplacement(const PathParts& target, std::string& tempPath,
                    const BeforeTemporaryName& announce) {
    const int fd = CreateUnnamedFile(target);
    if (fd >= 0 || (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL))
        return fd;
    return CreateTempFile(target, tempPath, announce);
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
    if (!entry.starts_with(kTempPrefix))
        return false;
    entry.remove_prefix(kTempPrefix.size());
    if (entry.size() != name.size() + 1 + kTempSuffixLength || !entry.starts_with(name) ||
        entry[name.size()] != '-') {
        return false;
    }
    const std::string_view suffix = entry.substr(name.size() + 1);
    return suffix.find_first_not_of(kTempLetters) == std::string_view::npos;
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

WriteOutcome ReplaceFile(const std::string& path, std::string_view bytes, unsigned allowed,
                         const BeforeTemporaryName& announce) {
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
    FileDescriptor file(OpenReplacement(parts, tempPath, announce));
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

    // The data reaches the disk before any name leads to it.
    if (!WriteAllAt(file.Get(), bytes, 0) || ::fsync(file.Get()) != 0)
        return WriteOutcome::WriteFailed;
    if (tempPath.empty()) {
        if (!replacing && LinkAs(file.Get(), target)) {
            if (!file.Close()) {
                ::unlink(target.c_str());
                return WriteOutcome::WriteFailed;
            }
            SyncDirectory(parts.directory);
            return WriteOutcome::Written;
        }
        // Over an old file (or one that appeared meanwhile) only a rename is one step,
        // and it needs a name to rename.
        if (!NameTemporarily(file.Get(), parts, tempPath, announce))
            return WriteOutcome::CannotCreate;
        guard.Guard(tempPath);
    }
    if (!file.Close())
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
    FileDescriptor file(OpenReplacement(parts, tempPath, {}));
    if (!file.Valid())
        return CreateOutcome::CannotCreate;
    // A temporary name goes in any case: on success the file lives on under its own.
    const TempFileGuard guard(tempPath);
    if (!WriteAllAt(file.Get(), bytes, 0) || ::fsync(file.Get()) != 0)
        return CreateOutcome::WriteFailed;
    // Unlike rename, link never replaces what is there.
    if (!LinkAs(file.Get(), path)) {
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
    if (!file.Close()) {
        ::unlink(path.c_str());
        return CreateOutcome::WriteFailed;
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
        if (ours && ::lstat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode) &&
            status.st_uid == ::geteuid())
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
