// Kills a process that saves the settings file at random moments, many times: the file
// is always a whole file, the old one or the new one, never a damaged one.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <random>
#include <thread>

#include "storage/ini_file.h"
#include "support/temp_dir.h"

namespace quilvern {
namespace {

// The value every key holds, or "" when the keys disagree or any is missing.
std::string CommonValue(const std::string& path) {
    IniFile file(path);
    std::string common;
    for (const char* section : {"Main", "Name", "Price", "Quantity", "Total", "Transfer"}) {
        for (int key = 0; key < 40; ++key) {
            const std::string value = file.ReadString(section, "Key" + std::to_string(key), "");
            if (value.empty() || (!common.empty() && value != common))
                return "";
            common = value;
        }
    }
    return common;
}

pid_t StartSaver(const std::string& path) {
    const pid_t child = fork();
    if (child == 0) {
        execl(QUILVERN_SAVE_LOOP, QUILVERN_SAVE_LOOP, path.c_str(), nullptr);
        _exit(127);
    }
    return child;
}

// True when the saver was still running, so that the kill interrupted it.
bool Kill(pid_t child) {
    ::kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    return WIFSIGNALED(status);
}

TEST(SettingsCrash, KillDuringSavesNeverLeavesADamagedFile) {
    test::TempDir dir;
    const std::string path = dir.File("Quilvern.ini");
    // A first whole file, however slowly the saver starts (a sanitizer build is slow).
    const pid_t first = StartSaver(path);
    ASSERT_GT(first, 0);
    for (int wait = 0; wait < 3000 && !dir.Exists("Quilvern.ini"); ++wait) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_TRUE(Kill(first));
    ASSERT_TRUE(dir.Exists("Quilvern.ini"));

    std::mt19937 random(20261210);
    std::uniform_int_distribution<int> delayUs(200, 30000);
    constexpr int kKills = 150;
    for (int kill = 0; kill < kKills; ++kill) {
        const pid_t child = StartSaver(path);
        ASSERT_GT(child, 0);
        std::this_thread::sleep_for(std::chrono::microseconds(delayUs(random)));
        ASSERT_TRUE(Kill(child)) << "the saver ended by itself";
        const std::string value = CommonValue(path);
        EXPECT_TRUE(value == "even" || value == "odd") << "damaged after kill " << kill;
    }
}

}  // namespace
}  // namespace quilvern
