#include "storage/instance_lock.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <memory>

#include "support/temp_dir.h"

namespace quilvern {
namespace {

using Claim = InstanceLock::Claim;

TEST(InstanceLock, OneCopyPerSettingsFile) {
    test::TempDir dir;
    auto first = std::make_unique<InstanceLock>(dir.File("Quilvern.ini"));
    EXPECT_EQ(first->Result(), Claim::Held);
    EXPECT_EQ(InstanceLock(dir.File("Quilvern.ini")).Result(), Claim::HeldElsewhere);
    EXPECT_EQ(InstanceLock(dir.File("Other.ini")).Result(), Claim::Held) << "another file is free";
    first.reset();
    EXPECT_EQ(InstanceLock(dir.File("Quilvern.ini")).Result(), Claim::Held);
}

TEST(InstanceLock, ACopyKilledOnTheSpotNeverBlocksTheNextStart) {
    test::TempDir dir;
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        InstanceLock lock(dir.File("Quilvern.ini"));
        const char held = lock.Result() == Claim::Held ? 'y' : 'n';
        [[maybe_unused]] const ssize_t said = ::write(ready[1], &held, 1);
        ::pause();
        ::_exit(0);
    }
    char held = 0;
    ASSERT_EQ(::read(ready[0], &held, 1), 1);
    EXPECT_EQ(held, 'y');
    EXPECT_EQ(InstanceLock(dir.File("Quilvern.ini")).Result(), Claim::HeldElsewhere);
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    EXPECT_TRUE(dir.Exists("Quilvern.ini.lock")) << "the lock file stays behind";
    EXPECT_EQ(InstanceLock(dir.File("Quilvern.ini")).Result(), Claim::Held);
    ::close(ready[0]);
    ::close(ready[1]);
}

TEST(InstanceLock, AFolderThatTakesNoFileGivesNoClaim) {
    test::TempDir dir;
    dir.Write("plain", "");
    EXPECT_EQ(InstanceLock(dir.File("plain") + "/Quilvern.ini").Result(), Claim::Unavailable);
}

}  // namespace
}  // namespace quilvern
