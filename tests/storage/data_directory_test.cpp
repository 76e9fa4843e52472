#include "storage/data_directory.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "support/file_faults.h"
#include "support/temp_dir.h"

namespace quilvern {
namespace {

namespace fs = std::filesystem;
using test::ModeOf;

// Sets an environment variable for one test and puts the old value back after it.
class ScopedVariable {
  public:
    ScopedVariable(const char* name, const std::optional<std::string>& value) : name_(name) {
        if (const char* old = std::getenv(name))
            old_ = old;
        if (value)
            ::setenv(name, value->c_str(), 1);
        else
            ::unsetenv(name);
    }
    ~ScopedVariable() {
        if (old_)
            ::setenv(name_, old_->c_str(), 1);
        else
            ::unsetenv(name_);
    }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

  private:
    const char* name_;
    std::optional<std::string> old_;
};

class DataDirectoryTest : public ::testing::Test {
  protected:
    test::TempDir dir;
    std::string home = dir.File("home");
    ScopedVariable homeVariable{"HOME", home};
};

TEST_F(DataDirectoryTest, ASelfContainedCopyKeepsItsFilesBesideItselfAndMakesNothing) {
    const ScopedVariable data("XDG_DATA_HOME", dir.File("data"));
    EXPECT_EQ(DataDirectory(CopyKind::SelfContained, "/opt/sheet/"), "/opt/sheet/");
    EXPECT_FALSE(fs::exists(dir.File("data")));
    EXPECT_FALSE(fs::exists(home));
}

TEST_F(DataDirectoryTest, AnInstalledCopyUsesTheUsersDataFolder) {
    struct Case {
        const char* rule;
        std::optional<std::string> xdgDataHome;
        std::string expected;
    };
    const std::string data = dir.File("data");
    for (const Case& c : std::initializer_list<Case>{
             {"xdg_data_home_is_used", data, data + "/quilvern/"},
             {"a_trailing_separator_is_not_doubled", data + "/", data + "/quilvern/"},
             {"unset_means_the_home_default", std::nullopt, home + "/.local/share/quilvern/"},
             {"empty_means_the_home_default", "", home + "/.local/share/quilvern/"},
             {"a_relative_path_is_ignored", "relative/data", home + "/.local/share/quilvern/"},
         }) {
        const ScopedVariable variable("XDG_DATA_HOME", c.xdgDataHome);
        EXPECT_EQ(DataDirectory(CopyKind::Installed, "/usr/bin/"), c.expected) << c.rule;
        EXPECT_TRUE(fs::is_directory(c.expected)) << c.rule;
        EXPECT_FALSE(fs::exists("relative")) << c.rule;
    }
}

TEST_F(DataDirectoryTest, EveryFolderItMakesIsPrivateToTheUser) {
    const ScopedVariable unset("XDG_DATA_HOME", std::nullopt);
    fs::create_directory(home);
    ::chmod(home.c_str(), 0755);
    const std::string folder = DataDirectory(CopyKind::Installed, "/usr/bin/");
    EXPECT_EQ(ModeOf(home + "/.local"), 0700u);
    EXPECT_EQ(ModeOf(home + "/.local/share"), 0700u);
    EXPECT_EQ(ModeOf(folder), 0700u);
    EXPECT_EQ(ModeOf(home), 0755u) << "a folder that was there keeps its mode";
}

TEST_F(DataDirectoryTest, AFolderThatIsThereIsLeftAsItIs) {
    const ScopedVariable data("XDG_DATA_HOME", dir.File("data"));
    fs::create_directories(dir.File("data/quilvern"));
    ::chmod(dir.File("data/quilvern").c_str(), 0750);
    dir.Write("data/quilvern/Notes.txt", "kept");
    EXPECT_EQ(DataDirectory(CopyKind::Installed, "/usr/bin/"), dir.File("data/quilvern/"));
    EXPECT_EQ(ModeOf(dir.File("data/quilvern")), 0750u);
    EXPECT_EQ(dir.Read("data/quilvern/Notes.txt"), "kept");
}

// A data folder that cannot be made (here a file stands where it would go) is no reason
// to refuse to start: the first write reports the path.
TEST_F(DataDirectoryTest, AFolderThatCannotBeMadeIsStillNamed) {
    const ScopedVariable data("XDG_DATA_HOME", dir.File("blocked"));
    dir.Write("blocked", "a file, not a folder");
    EXPECT_EQ(DataDirectory(CopyKind::Installed, "/usr/bin/"), dir.File("blocked/quilvern/"));
    EXPECT_EQ(dir.Read("blocked"), "a file, not a folder");
}

}  // namespace
}  // namespace quilvern
