#include "storage/private_folder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>

#include "support/error_message.h"
#include "support/temp_dir.h"

namespace quilvern {
namespace {

namespace fs = std::filesystem;

// Sets XDG_RUNTIME_DIR for one test, or unsets it, and puts it back afterwards.
class RuntimeVariable {
  public:
    explicit RuntimeVariable(const std::optional<std::string>& value) {
        if (const char* old = std::getenv("XDG_RUNTIME_DIR"))
            old_ = old;
        if (value)
            ::setenv("XDG_RUNTIME_DIR", value->c_str(), 1);
        else
            ::unsetenv("XDG_RUNTIME_DIR");
    }
    ~RuntimeVariable() {
        if (old_)
            ::setenv("XDG_RUNTIME_DIR", old_->c_str(), 1);
        else
            ::unsetenv("XDG_RUNTIME_DIR");
    }

  private:
    std::optional<std::string> old_;
};

mode_t ModeOf(const std::string& path) {
    struct stat status {};
    ::lstat(path.c_str(), &status);
    return status.st_mode & 07777;
}

TEST(PrivateFolder, TheRuntimeFolderWhenItIsPrivate) {
    test::TempDir dir;
    fs::create_directory(dir.File("run"));
    ::chmod(dir.File("run").c_str(), 0700);
    const RuntimeVariable runtime(dir.File("run"));
    const PrivateFolder folder = PrivateFolder::ForSettingsFile(dir.File("Quilvern.ini"));
    EXPECT_EQ(folder.Path(), dir.File("run"));
    EXPECT_FALSE(dir.Exists("Quilvern.ini.run"));
    std::ofstream(folder.Entry("probe")) << "x";
    EXPECT_EQ(dir.Read("run/probe"), "x") << "entries are reached through the folder";
    EXPECT_LT(folder.Entry("quilvern-0123456789abcdef01234567.socket").size(), 108u)
        << "short enough for a socket address";
}

// Anything but this user's own 0700 folder is passed over for one beside the settings.
TEST(PrivateFolder, ARuntimeFolderThatIsNotPrivateIsPassedOver) {
    struct Case {
        const char* name;
        std::optional<std::string> (*make)(const test::TempDir& dir);
    };
    const Case cases[] = {
        {"unset", [](const test::TempDir&) -> std::optional<std::string> { return std::nullopt; }},
        {"relative", [](const test::TempDir&) -> std::optional<std::string> { return "run"; }},
        {"readable_by_others",
         [](const test::TempDir& d) -> std::optional<std::string> {
             fs::create_directory(d.File("run"));
             ::chmod(d.File("run").c_str(), 0755);
             return d.File("run");
         }},
        {"group_writable",
         [](const test::TempDir& d) -> std::optional<std::string> {
             fs::create_directory(d.File("run"));
             ::chmod(d.File("run").c_str(), 0770);
             return d.File("run");
         }},
        {"a_link_to_a_private_folder",
         [](const test::TempDir& d) -> std::optional<std::string> {
             fs::create_directory(d.File("real"));
             ::chmod(d.File("real").c_str(), 0700);
             fs::create_directory_symlink(d.File("real"), d.File("run"));
             return d.File("run");
         }},
        {"missing",
         [](const test::TempDir& d) -> std::optional<std::string> { return d.File("gone"); }},
    };
    for (const Case& c : cases) {
        test::TempDir dir;
        const RuntimeVariable runtime(c.make(dir));
        const PrivateFolder folder = PrivateFolder::ForSettingsFile(dir.File("Quilvern.ini"));
        EXPECT_EQ(folder.Path(), dir.File("Quilvern.ini.run")) << c.name;
        EXPECT_EQ(ModeOf(dir.File("Quilvern.ini.run")), 0700u) << c.name;
    }
}

TEST(PrivateFolder, AFallbackThatIsNotPrivateIsRefusedAndLeftAsItIs) {
    struct Case {
        const char* name;
        void (*plant)(const test::TempDir& dir);
        std::string message;
    };
    const Case cases[] = {
        {"readable_by_others",
         [](const test::TempDir& d) {
             fs::create_directory(d.File("Quilvern.ini.run"));
             ::chmod(d.File("Quilvern.ini.run").c_str(), 0755);
         },
         "The folder %s is not private: it must be yours, with mode 0700"},
        {"a_link",
         [](const test::TempDir& d) {
             fs::create_directory(d.File("real"));
             ::chmod(d.File("real").c_str(), 0700);
             fs::create_directory_symlink(d.File("real"), d.File("Quilvern.ini.run"));
         },
         "The folder %s is not private: it must be yours, with mode 0700"},
        {"a_file", [](const test::TempDir& d) { d.Write("Quilvern.ini.run", "mine"); },
         "Cannot open folder %s: Not a directory"},
    };
    for (const Case& c : cases) {
        test::TempDir dir;
        c.plant(dir);
        const RuntimeVariable runtime(std::nullopt);
        const std::string message =
            test::ErrorMessage([&] { PrivateFolder::ForSettingsFile(dir.File("Quilvern.ini")); });
        EXPECT_EQ(message, Format(c.message, dir.File("Quilvern.ini.run"))) << c.name;
    }
}

TEST(PrivateFolder, AFallbackThatCannotBeMadeIsNamed) {
    test::TempDir dir;
    dir.Write("config", "");
    const RuntimeVariable runtime(std::nullopt);
    EXPECT_EQ(test::ErrorMessage(
                  [&] { PrivateFolder::ForSettingsFile(dir.File("config/Quilvern.ini")); }),
              "Cannot create folder " + dir.File("config/Quilvern.ini.run") + ": Not a directory");
}

}  // namespace
}  // namespace quilvern
