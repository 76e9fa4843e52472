// A kill cannot tell whether the bytes reached the disk; a power cut can. These tests
// watch the writer's flushes and renames through link-time wrappers of fsync, linkat and
// rename (see tests/CMakeLists.txt): the data is flushed before any name leads to it,
// the folder after the name changed, and a flush that fails fails the write.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "storage/ini_file.h"
#include "storage/safe_file.h"
#include "support/file_faults.h"
#include "support/temp_dir.h"

namespace {

struct Watch {
    bool recording = false;
    bool failFlush = false;
    std::vector<std::string> events;  // "fsync <what>", "link <name>", "rename <name>"
};
Watch watch;

// What a descriptor is, as the events name it: "file" for a file not yet linked in
// (an unnamed one, or a temporary name), "folder" for a folder, else its name.
std::string WhatIs(int fd) {
    std::array<char, PATH_MAX> target{};
    const std::string link = "/proc/self/fd/" + std::to_string(fd);
    const ssize_t length = ::readlink(link.c_str(), target.data(), target.size() - 1);
    const std::string path(target.data(), length > 0 ? static_cast<std::size_t>(length) : 0);
    struct stat status {};
    if (::fstat(fd, &status) == 0 && S_ISDIR(status.st_mode))
        return "folder";
    const std::string name = path.substr(path.rfind('/') + 1);
    if (name.starts_with("#") || name.starts_with(".Quilvern-tmp-"))
        return "file";
    return name;
}

std::string NameOf(const char* path) {
    const std::string name = std::string(path).substr(std::string(path).rfind('/') + 1);
    return name.starts_with(".Quilvern-tmp-") ? "temporary" : name;
}

}  // namespace

extern "C" {
int __real_fsync(int fd);
int __real_linkat(int olddir, const char* oldpath, int newdir, const char* newpath, int flags);
int __real_rename(const char* from, const char* to);

int __wrap_fsync(int fd) {
    if (watch.recording)
        watch.events.push_back("fsync " + WhatIs(fd));
    if (watch.recording && watch.failFlush) {
        errno = EIO;
        return -1;
    }
    return __real_fsync(fd);
}

int __wrap_linkat(int olddir, const char* oldpath, int newdir, const char* newpath, int flags) {
    if (watch.recording)
        watch.events.push_back("link " + NameOf(newpath));
    return __real_linkat(olddir, oldpath, newdir, newpath, flags);
}

int __wrap_rename(const char* from, const char* to) {
    if (watch.recording)
        watch.events.push_back("rename " + NameOf(to));
    return __real_rename(from, to);
}
}

namespace quilvern {
namespace {

using test::Snapshot;
using test::TempDir;

class Durability : public testing::Test {
  protected:
    Durability() { watch = {}; }
    ~Durability() override { watch = {}; }

    std::vector<std::string> Record(const std::function<void()>& write) {
        watch.events.clear();
        watch.recording = true;
        write();
        watch.recording = false;
        return watch.events;
    }

    TempDir dir;
};

TEST_F(Durability, DataIsFlushedBeforeItIsNamedAndTheFolderAfter) {
    EXPECT_EQ(Record([this] { ReplaceFile(dir.File("Report01.txt"), "new"); }),
              (std::vector<std::string>{"fsync file", "link Report01.txt", "fsync folder"}))
        << "a new file";

    EXPECT_EQ(Record([this] { ReplaceFile(dir.File("Report01.txt"), "newer"); }),
              (std::vector<std::string>{"fsync file", "link temporary", "rename Report01.txt",
                                        "fsync folder"}))
        << "over an old file";

    EXPECT_EQ(Record([this] { CreateNewFile(dir.File("Report02.txt"), "put back"); }),
              (std::vector<std::string>{"fsync file", "link Report02.txt", "fsync folder"}));
}

TEST_F(Durability, AFlushThatFailsFailsTheWriteAndLeavesTheOldFile) {
    struct Case {
        const char* rule;
        bool oldFile;
        std::function<bool(const std::string& path)> write;  // true when it reported success
    };
    const auto iniWrite = [](const std::string& path) {
        IniFile file(path);
        file.WriteString("Name", "P001Name_Text", "new");
        try {
            file.Flush();
            return true;
        } catch (const std::exception&) {
            return false;
        }
    };
    for (const Case& c : std::initializer_list<Case>{
             {"replace_a_new_file", false,
              [](const std::string& path) {
                  return ReplaceFile(path, "new") == WriteOutcome::Written;
              }},
             {"replace_an_old_file", true,
              [](const std::string& path) {
                  return ReplaceFile(path, "new") == WriteOutcome::Written;
              }},
             {"create_a_file", false,
              [](const std::string& path) {
                  return CreateNewFile(path, "new") == CreateOutcome::Created;
              }},
             {"settings_file", true, iniWrite}}) {
        TempDir folder;
        const std::string path = folder.File("Quilvern.ini");
        if (c.oldFile)
            folder.Write("Quilvern.ini", "[Name]\r\nP001Name_Text=old\r\n");
        const auto before = Snapshot(folder.Path());
        watch.failFlush = true;
        watch.recording = true;
        const bool reported = c.write(path);
        watch.recording = false;
        watch.failFlush = false;
        EXPECT_FALSE(reported) << c.rule;
        EXPECT_EQ(Snapshot(folder.Path()), before) << c.rule << ": the old file, nothing else";
    }
}

}  // namespace
}  // namespace quilvern
