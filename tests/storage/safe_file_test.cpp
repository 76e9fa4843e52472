#include "storage/safe_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "storage/ini_file.h"
#include "storage/text_files.h"
#include "support/file_faults.h"
#include "support/temp_dir.h"
#include "values/error.h"

namespace quilvern {
namespace {

namespace fs = std::filesystem;
using test::FileSizeLimit;
using test::ModeOf;
using test::Snapshot;
using test::TempDir;
using test::UnwritableDirectory;

// The reports and notes and the settings file reach the disk through one writer, so a
// hostile place must end the same way for both: written, or refused with the old file
// left as it was.
struct PlaceCase {
    const char* rule;
    // False when the place cannot be made here. A lock, when one is taken, is held
    // until the test ends.
    std::function<bool(const TempDir& dir, std::unique_ptr<UnwritableDirectory>& lock)> prepare;
    bool written;
};

void PrintTo(const PlaceCase& c, std::ostream* out) {
    *out << c.rule;
}

enum class Writer { TextFile, SettingsFile };

bool Write(Writer writer, const std::string& path, const std::string& bytes) {
    try {
        if (writer == Writer::TextFile) {
            WriteFileSafely(path, bytes);
        } else {
            IniFile file(path);
            file.WriteString("Name", "P001Name_Text", bytes);
            file.Flush();
        }
        return true;
    } catch (const Error&) {
        return false;
    }
}

class BothWriters : public testing::TestWithParam<PlaceCase> {};

TEST_P(BothWriters, EndAlike) {
    for (Writer writer : {Writer::TextFile, Writer::SettingsFile}) {
        SCOPED_TRACE(writer == Writer::TextFile ? "text file" : "settings file");
        TempDir dir;
        dir.Write("file", "[Name]\r\nP001Name_Text=old\r\n");
        std::unique_ptr<UnwritableDirectory> locked;
        if (!GetParam().prepare(dir, locked))
            GTEST_SKIP() << "cannot provoke this here";
        const auto before = Snapshot(dir.Path());
        EXPECT_EQ(Write(writer, dir.File("file"), "new"), GetParam().written);
        if (!GetParam().written) {
            EXPECT_EQ(Snapshot(dir.Path()), before);
        }
    }
}

bool Lock(const TempDir& dir, std::unique_ptr<UnwritableDirectory>& lock) {
    lock = std::make_unique<UnwritableDirectory>(dir.Path());
    return lock->Active();
}

INSTANTIATE_TEST_SUITE_P(
    Places, BothWriters,
    testing::Values(PlaceCase{"plain_file_replaced", [](const TempDir&, auto&) { return true; },
                              true},
                    PlaceCase{"no_write_bit_refused_even_for_root",
                              [](const TempDir& dir, auto&) {
                                  return ::chmod(dir.File("file").c_str(), 0444) == 0;
                              },
                              false},
                    PlaceCase{"link_written_through",
                              [](const TempDir& dir, auto&) {
                                  fs::rename(dir.Path() / "file", dir.Path() / "real");
                                  fs::create_symlink(dir.Path() / "real", dir.Path() / "file");
                                  return true;
                              },
                              true},
                    PlaceCase{"dangling_link_refused",
                              [](const TempDir& dir, auto&) {
                                  fs::remove(dir.Path() / "file");
                                  fs::create_symlink(dir.Path() / "gone" / "file",
                                                     dir.Path() / "file");
                                  return true;
                              },
                              false},
                    PlaceCase{"folder_in_its_place_refused",
                              [](const TempDir& dir, auto&) {
                                  fs::remove(dir.Path() / "file");
                                  return fs::create_directory(dir.Path() / "file");
                              },
                              false},
                    PlaceCase{"folder_without_new_files_written_in_place", Lock, true}),
    [](const auto& info) { return std::string(info.param.rule); });

TEST(ReplaceFile, KeepsAPrivateModeAndLinksForBothWriters) {
    for (Writer writer : {Writer::TextFile, Writer::SettingsFile}) {
        TempDir dir;
        dir.Write("real", "old");
        ::chmod(dir.File("real").c_str(), 0600);
        fs::create_symlink(dir.Path() / "real", dir.Path() / "file");
        ASSERT_TRUE(Write(writer, dir.File("file"), "new"));
        EXPECT_TRUE(fs::is_symlink(dir.Path() / "file"));
        EXPECT_EQ(ModeOf(dir.File("real")), 0600u);
        EXPECT_EQ(Snapshot(dir.Path()).size(), 2u) << "no temporary file left";
    }
}

TEST(ReplaceFile, InPlaceWriteThatFailsPutsTheOldBytesBack) {
    TempDir dir;
    const std::string old(300, 'o');
    dir.Write("Notes.txt", old);
    UnwritableDirectory locked(dir.Path());
    if (!locked.Active())
        GTEST_SKIP() << "cannot make a directory unwritable here";
    WriteOutcome outcome;
    {
        FileSizeLimit full(500);
        outcome = ReplaceFile(dir.File("Notes.txt"), std::string(800, 'n'));
    }
    EXPECT_EQ(outcome, WriteOutcome::WriteFailed);
    EXPECT_EQ(dir.Read("Notes.txt"), old);
}

TEST(ReadWholeFile, Outcomes) {
    TempDir dir;
    dir.Write("small", "12345");
    dir.Write("private", "secret");
    ::chmod(dir.File("private").c_str(), 0);
    fs::create_directory(dir.Path() / "folder");
    ::mkfifo(dir.File("fifo").c_str(), 0644);
    struct Case {
        const char* rule;
        const char* name;
        std::size_t limit;
        ReadOutcome outcome;
        const char* bytes;
    };
    for (const Case& c : std::initializer_list<Case>{
             {"read_whole", "small", 5, ReadOutcome::Read, "12345"},
             {"larger_than_the_limit_not_read", "small", 4, ReadOutcome::TooLarge, ""},
             {"missing", "absent", 10, ReadOutcome::Missing, ""},
             {"path_through_a_file_is_missing", "small/x", 10, ReadOutcome::Missing, ""},
             {"no_read_bit_unreadable_even_for_root", "private", 10, ReadOutcome::Unreadable, ""},
             {"folder_unreadable", "folder", 10, ReadOutcome::Unreadable, ""},
             {"fifo_unreadable_without_waiting", "fifo", 10, ReadOutcome::Unreadable, ""}}) {
        std::string bytes = "stale";
        EXPECT_EQ(ReadWholeFile(dir.File(c.name), bytes, c.limit), c.outcome) << c.rule;
        EXPECT_EQ(bytes, c.bytes) << c.rule;
    }
}

// Putting back a deleted file: created only where the name is free, never over what
// took its place, and whatever the outcome no temporary file is left behind.
TEST(CreateNewFile, CreatesOnlyWhereTheNameIsFree) {
    const std::string bytes("REPORT\r\n\x80 \xA3 \0 end\r\n", 20);
    struct Case {
        const char* rule;
        std::function<void(const TempDir& dir)> prepare;
        CreateOutcome outcome;
    };
    for (const Case& c : std::initializer_list<Case>{
             {"free_name_gets_the_bytes_exactly", [](const TempDir&) {}, CreateOutcome::Created},
             {"file_there_is_kept", [](const TempDir& dir) { dir.Write("file", "newer"); },
              CreateOutcome::NameTaken},
             {"read_only_file_there_is_kept",
              [](const TempDir& dir) {
                  dir.Write("file", "newer");
                  ::chmod(dir.File("file").c_str(), 0444);
              },
              CreateOutcome::NameTaken},
             {"folder_there_is_kept",
              [](const TempDir& dir) { fs::create_directory(dir.Path() / "file"); },
              CreateOutcome::NameTaken},
             {"dangling_link_there_is_kept_and_not_followed",
              [](const TempDir& dir) {
                  fs::create_symlink(dir.Path() / "target", dir.Path() / "file");
              },
              CreateOutcome::NameTaken}}) {
        TempDir dir;
        c.prepare(dir);
        const auto before = Snapshot(dir.Path());

        EXPECT_EQ(CreateNewFile(dir.File("file"), bytes), c.outcome) << c.rule;

        if (c.outcome == CreateOutcome::Created) {
            EXPECT_EQ(dir.Read("file"), bytes) << c.rule;
            EXPECT_EQ(Snapshot(dir.Path()).size(), 1u) << c.rule << ": no temporary file left";
        } else {
            EXPECT_EQ(Snapshot(dir.Path()), before) << c.rule;
        }
    }
}

TEST(CreateNewFile, FolderWithoutNewFilesCreatesNothing) {
    TempDir dir;
    UnwritableDirectory locked(dir.Path());
    if (!locked.Active())
        GTEST_SKIP() << "cannot make a directory unwritable here";

    EXPECT_EQ(CreateNewFile(dir.File("file"), "bytes"), CreateOutcome::CannotCreate);
    EXPECT_TRUE(Snapshot(dir.Path()).empty());
}

TEST(CreateNewFile, FullDiskCreatesNothing) {
    TempDir dir;
    CreateOutcome outcome;
    {
        FileSizeLimit full(500);
        outcome = CreateNewFile(dir.File("file"), std::string(800, 'n'));
    }
    EXPECT_EQ(outcome, CreateOutcome::WriteFailed);
    EXPECT_TRUE(Snapshot(dir.Path()).empty()) << "neither the file nor a temporary one";
}

TEST(RemoveLeftoverTemporaries, RemovesOnlyTheWritersOwnNamesOfTheNamedFiles) {
    TempDir dir;
    const std::vector<std::string> ours = {".Quilvern-tmp-Report01.txt-a1B2c3",
                                           ".Quilvern-tmp-Notes.txt-ZZZZZZ",
                                           ".Quilvern-tmp-Quilvern.ini-123456"};
    // What editors and users keep beside the files, and names that are almost ours.
    const std::vector<std::string> others = {".Notes.txt.swp",
                                             ".Notes.txt.bak",
                                             ".Notes.txt.orig",
                                             ".Quilvern.ini.bak",
                                             ".Report01.txt.a1B2c3",
                                             ".Quilvern-tmp-Report01.txt-a1B2c",
                                             ".Quilvern-tmp-Other.txt-abcdef",
                                             ".Quilvern-tmp-Report01.txt-a1B2c3d",
                                             ".Quilvern-tmp-Report01.txt-a1.2c3",
                                             "Report01.txt"};
    for (const std::string& name : ours)
        dir.Write(name, "x");
    for (const std::string& name : others)
        dir.Write(name, "x");
    fs::create_directory(dir.Path() / ".Quilvern-tmp-Notes.txt-folder");

    RemoveLeftoverTemporaries(
        {dir.File("Report01.txt"), dir.File("Notes.txt"), dir.File("Quilvern.ini")});

    std::vector<std::string> left;
    for (const auto& entry : fs::directory_iterator(dir.Path()))
        left.push_back(entry.path().filename().string());
    std::vector<std::string> expected = others;
    expected.push_back(".Quilvern-tmp-Notes.txt-folder");
    std::sort(left.begin(), left.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(left, expected);
}

}  // namespace
}  // namespace quilvern

namespace quilvern {
namespace {

// The kernel's protected_symlinks rule, kept in every folder that others may write: a
// link there is followed only when this user or the folder's owner made it. Links are
// handed to other owners with lchown, which needs root: CI runs as root.
TEST(LinksInSharedFolders, AreFollowedOnlyWhenTheUserOrTheFolderOwnerMadeThem) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "giving a link to another owner needs root";
    constexpr uid_t kFolderOwner = 4242;
    constexpr uid_t kStranger = 4343;
    struct Case {
        const char* rule;
        mode_t folderMode;
        uid_t linkOwner;
        bool followed;
    };
    for (const Case& c : std::initializer_list<Case>{
             {"private_folder_follows_anyones_link", 0755, kStranger, true},
             {"group_writable_refuses_a_strangers_link", 0775, kStranger, false},
             {"sticky_world_writable_refuses_a_strangers_link", 01777, kStranger, false},
             {"world_writable_refuses_a_strangers_link", 0777, kStranger, false},
             {"shared_folder_follows_the_users_own_link", 01777, ::geteuid(), true},
             {"shared_folder_follows_the_folder_owners_link", 0775, kFolderOwner, true}}) {
        TempDir dir;
        fs::create_directory(dir.Path() / "shop");
        dir.Write("profile", "mine");
        ::chmod(dir.File("profile").c_str(), 0600);
        const std::string link = dir.File("shop/Report01.txt");
        fs::create_symlink(dir.Path() / "profile", link);
        ASSERT_EQ(::lchown(link.c_str(), c.linkOwner, c.linkOwner), 0);
        ASSERT_EQ(::chown(dir.File("shop").c_str(), kFolderOwner, kFolderOwner), 0);
        ASSERT_EQ(::chmod(dir.File("shop").c_str(), c.folderMode), 0);

        std::string bytes;
        EXPECT_EQ(ReadWholeFile(link, bytes),
                  c.followed ? ReadOutcome::Read : ReadOutcome::Unreadable)
            << c.rule;
        EXPECT_EQ(bytes, c.followed ? "mine" : "") << c.rule;
        EXPECT_EQ(CanReplace(link), c.followed) << c.rule;
        EXPECT_EQ(ReplaceFile(link, "report"),
                  c.followed ? WriteOutcome::Written : WriteOutcome::CannotCreate)
            << c.rule;
        EXPECT_EQ(dir.Read("profile"), c.followed ? "report" : "mine") << c.rule;
        EXPECT_TRUE(fs::is_symlink(link)) << c.rule;
    }
}

// A file made from others is readable by no more people than they are.
TEST(ReplaceFile, NeverGrantsAPermissionOutsideTheAllowedOnes) {
    struct Case {
        const char* rule;
        int oldMode;  // -1: no file yet
        unsigned allowed;
        mode_t mode;
    };
    const mode_t mask = ::umask(022);
    for (const Case& c : std::initializer_list<Case>{
             {"new_file_gets_the_umasks_bits_when_all_are_allowed", -1, 07777, 0644},
             {"new_file_is_narrowed", -1, 0600, 0600},
             {"replaced_file_keeps_its_narrower_mode", 0600, 0644, 0600},
             {"replaced_file_is_narrowed", 0664, 0640, 0640}}) {
        TempDir dir;
        if (c.oldMode >= 0) {
            dir.Write("ReportYear.txt", "old");
            ::chmod(dir.File("ReportYear.txt").c_str(), static_cast<mode_t>(c.oldMode));
        }
        ASSERT_EQ(ReplaceFile(dir.File("ReportYear.txt"), "year", c.allowed), WriteOutcome::Written)
            << c.rule;
        EXPECT_EQ(ModeOf(dir.File("ReportYear.txt")), c.mode) << c.rule;
        EXPECT_EQ(dir.Read("ReportYear.txt"), "year") << c.rule;
    }
    ::umask(mask);
}

TEST(PermissionsOf, TheFileAsReadOrAllForNone) {
    TempDir dir;
    dir.Write("private", "");
    ::chmod(dir.File("private").c_str(), 0600);
    fs::create_symlink(dir.Path() / "private", dir.Path() / "link");
    EXPECT_EQ(PermissionsOf(dir.File("private")), 0600u);
    EXPECT_EQ(PermissionsOf(dir.File("link")), 0600u) << "the file the link names";
    EXPECT_EQ(PermissionsOf(dir.File("absent")), 07777u);
}

}  // namespace
}  // namespace quilvern
