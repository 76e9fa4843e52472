#include "storage/instance_lock.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <memory>

#include "support/temp_dir.h"

namespace quilvern {
namespace {

using Claim = InstanceLock::Claim;
namespace fs = std::filesystem;

TEST(InstanceLock, OneCopyPerSettingsFile) {
    test::TempDir dir;
    auto first =
        std::make_unique<InstanceLock>(InstanceLock::ForSettingsFile(dir.File("Quilvern.ini")));
    EXPECT_EQ(first->Result(), Claim::Held);
    EXPECT_EQ(InstanceLock::ForSettingsFile(dir.File("Quilvern.ini")).Result(),
              Claim::HeldElsewhere);
    EXPECT_EQ(InstanceLock::ForSettingsFile(dir.File("Other.ini")).Result(), Claim::Held)
        << "another file is free";
    first.reset();
    EXPECT_EQ(InstanceLock::ForSettingsFile(dir.File("Quilvern.ini")).Result(), Claim::Held);
    EXPECT_EQ(fs::status(dir.File("Quilvern.ini.lock")).permissions(),
              fs::perms::owner_read | fs::perms::owner_write);
}

TEST(InstanceLock, OneOwnerPerFolderWithoutAFileInIt) {
    test::TempDir dir;
    fs::create_directory(dir.File("program"));
    const InstanceLock first = InstanceLock::ForFolder(dir.File("program"));
    EXPECT_EQ(first.Result(), Claim::Held);
    EXPECT_EQ(InstanceLock::ForFolder(dir.File("program")).Result(), Claim::HeldElsewhere);
    EXPECT_TRUE(fs::is_empty(dir.File("program")));
    fs::permissions(dir.File("program"), fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_EQ(InstanceLock::ForFolder(dir.File("program")).Result(), Claim::HeldElsewhere)
        << "a folder that takes no file is locked all the same";
}

TEST(InstanceLock, ACopyKilledOnTheSpotNeverBlocksTheNextStart) {
    test::TempDir dir;
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const InstanceLock lock = InstanceLock::ForSettingsFile(dir.File("Quilvern.ini"));
        const InstanceLock folder = InstanceLock::ForFolder(dir.Path().string());
        const char held =
            lock.Result() == Claim::Held && folder.Result() == Claim::Held ? 'y' : 'n';
        [[maybe_unused]] const ssize_t said = ::write(ready[1], &held, 1);
        ::pause();
        ::_exit(0);
    }
    char held = 0;
    ASSERT_EQ(::read(ready[0], &held, 1), 1);
    EXPECT_EQ(held, 'y');
    EXPECT_EQ(InstanceLock::ForSettingsFile(dir.File("Quilvern.ini")).Result(),
              Claim::HeldElsewhere);
    EXPECT_EQ(InstanceLock::ForFolder(dir.Path().string()).Result(), Claim::HeldElsewhere);
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    EXPECT_TRUE(dir.Exists("Quilvern.ini.lock")) << "the lock file stays behind";
    EXPECT_EQ(InstanceLock::ForSettingsFile(dir.File("Quilvern.ini")).Result(), Claim::Held);
    EXPECT_EQ(InstanceLock::ForFolder(dir.Path().string()).Result(), Claim::Held);
    ::close(ready[0]);
    ::close(ready[1]);
}

// Whatever stands where the lock file should be, it never counts as the lock.
TEST(InstanceLock, WhatIsNoLockFileIsUnavailableAndSaysWhy) {
    struct Case {
        const char* name;
        void (*plant)(const test::TempDir& dir);
        const char* reason;
    };
    const Case cases[] = {
        {"a_folder",
         [](const test::TempDir& d) { fs::create_directory(d.File("Quilvern.ini.lock")); },
         "Is a directory"},
        {"a_dangling_link",
         [](const test::TempDir& d) {
             fs::create_symlink(d.File("nowhere"), d.File("Quilvern.ini.lock"));
         },
         "it is a symbolic link"},
        {"a_link_to_a_file",
         [](const test::TempDir& d) {
             d.Write("elsewhere", "");
             fs::create_symlink(d.File("elsewhere"), d.File("Quilvern.ini.lock"));
         },
         "it is a symbolic link"},
        {"a_fifo",
         [](const test::TempDir& d) { ::mkfifo(d.File("Quilvern.ini.lock").c_str(), 0600); },
         "it is not a regular file"},
        {"a_folder_that_is_a_file", [](const test::TempDir& d) { d.Write("config", ""); },
         "Not a directory"},
    };
    for (const Case& c : cases) {
        test::TempDir dir;
        c.plant(dir);
        const std::string settings = std::string(c.name) == "a_folder_that_is_a_file"
                                         ? dir.File("config") + "/Quilvern.ini"
                                         : dir.File("Quilvern.ini");
        const InstanceLock lock = InstanceLock::ForSettingsFile(settings);
        EXPECT_EQ(lock.Result(), Claim::Unavailable) << c.name;
        EXPECT_EQ(lock.Reason(), c.reason) << c.name;
        EXPECT_EQ(lock.Path(), settings + ".lock") << c.name;
    }
}

TEST(InstanceLock, AMissingFolderIsUnavailable) {
    test::TempDir dir;
    const InstanceLock lock = InstanceLock::ForFolder(dir.File("gone"));
    EXPECT_EQ(lock.Result(), Claim::Unavailable);
    EXPECT_EQ(lock.Reason(), "No such file or directory");
}

}  // namespace
}  // namespace quilvern
