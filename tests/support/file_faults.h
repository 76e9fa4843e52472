#pragma once
// Faults a file test provokes for real: a folder that takes no new file, a disk that
// fills up, and a picture of a folder's contents to show that nothing changed.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>

namespace quilvern::test {

inline mode_t ModeOf(const std::string& path) {
    struct stat status {};
    EXPECT_EQ(::stat(path.c_str(), &status), 0) << path;
    return status.st_mode & 07777;
}

// Everything below a directory: each entry's kind, mode and bytes. Comparing two of
// these shows both a damaged old file and a temporary file left behind.
inline std::map<std::string, std::string> Snapshot(const std::filesystem::path& root) {
    std::map<std::string, std::string> entries;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
        if (entry.is_symlink()) {
            entries[entry.path().lexically_relative(root).string()] =
                "link " + std::filesystem::read_symlink(entry.path()).string();
            continue;
        }
        std::string description = std::to_string(ModeOf(entry.path().string()));
        if (entry.is_directory()) {
            description += " dir";
        } else {
            std::ifstream in(entry.path(), std::ios::binary);
            description += " file " + std::string(std::istreambuf_iterator<char>(in), {});
        }
        entries[entry.path().lexically_relative(root).string()] = description;
    }
    return entries;
}

// Makes a directory refuse new entries, for root as well: with the immutable attribute
// where the file system and our capabilities allow it, or else by its mode, which
// binds every user but root.
class UnwritableDirectory {
  public:
    explicit UnwritableDirectory(const std::filesystem::path& path) : path_(path) {
        int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY);
        if (fd >= 0) {
            int flags = 0;
            if (::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
                int immutable = flags | FS_IMMUTABLE_FL;
                immutable_ = ::ioctl(fd, FS_IOC_SETFLAGS, &immutable) == 0;
            }
            ::close(fd);
        }
        if (immutable_) {
            active_ = true;
            return;
        }
        ::chmod(path.c_str(), 0555);
        const std::filesystem::path probe = path / "probe";
        int created = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
        if (created >= 0) {
            ::close(created);
            ::unlink(probe.c_str());
        }
        active_ = created < 0;
    }
    ~UnwritableDirectory() {
        if (immutable_) {
            int fd = ::open(path_.c_str(), O_RDONLY | O_DIRECTORY);
            int flags = 0;
            ::ioctl(fd, FS_IOC_GETFLAGS, &flags);
            flags &= ~FS_IMMUTABLE_FL;
            ::ioctl(fd, FS_IOC_SETFLAGS, &flags);
            ::close(fd);
        }
        ::chmod(path_.c_str(), 0755);
    }
    UnwritableDirectory(const UnwritableDirectory&) = delete;
    UnwritableDirectory& operator=(const UnwritableDirectory&) = delete;

    bool Active() const { return active_; }

  private:
    std::filesystem::path path_;
    bool immutable_ = false;
    bool active_ = false;
};

// Lets files of this process grow to the given size only, as a full disk would. Writes
// past it fail with EFBIG instead of raising SIGXFSZ. Works for root, too.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limited = saved_;
        limited.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previousHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

  private:
    rlimit saved_{};
    void (*previousHandler_)(int) = nullptr;
};

}  // namespace quilvern::test
