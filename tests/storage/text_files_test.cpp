#include "storage/text_files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <ostream>
#include <string>
#include <utility>

#include "support/error_message.h"
#include "support/file_faults.h"
#include "support/temp_dir.h"
#include "values/error.h"

namespace quilvern {
namespace {

using test::ErrorMessage;

namespace fs = std::filesystem;
using test::FileSizeLimit;
using test::ModeOf;
using test::Snapshot;
using test::UnwritableDirectory;
using namespace std::string_literals;

// ---------------------------------------------------------------------------------
// Exists

struct ExistsCase {
    const char* rule;
    void (*prepare)(const test::TempDir& dir);  // may leave something at "Report01.txt"
    const char* path;                           // relative to the directory
    bool exists;
};

void PrintTo(const ExistsCase& c, std::ostream* out) {
    *out << c.rule;
}

class TextFileExists : public testing::TestWithParam<ExistsCase> {};

TEST_P(TextFileExists, CountsOnlyRegularFiles) {
    test::TempDir dir;
    GetParam().prepare(dir);
    EXPECT_EQ(FileExists(dir.WithSeparator() + GetParam().path), GetParam().exists);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, TextFileExists,
    testing::Values(
        ExistsCase{"FileWithText", [](const test::TempDir& dir) { dir.Write("Report01.txt", "x"); },
                   "Report01.txt", true},
        ExistsCase{"EmptyFile", [](const test::TempDir& dir) { dir.Write("Report01.txt", ""); },
                   "Report01.txt", true},
        ExistsCase{"UnreadableFileStillExists",
                   [](const test::TempDir& dir) {
                       dir.Write("Report01.txt", "x");
                       ::chmod(dir.File("Report01.txt").c_str(), 0);
                   },
                   "Report01.txt", true},
        ExistsCase{"MissingFile", [](const test::TempDir&) {}, "Report01.txt", false},
        ExistsCase{
            "DirectoryBearingTheNameDoesNotCount",
            [](const test::TempDir& dir) { fs::create_directory(dir.Path() / "Report01.txt"); },
            "Report01.txt", false},
        ExistsCase{"PathThroughAFile",
                   [](const test::TempDir& dir) { dir.Write("Report01.txt", "x"); },
                   "Report01.txt/Report01.txt", false},
        ExistsCase{"LinkToAFile",
                   [](const test::TempDir& dir) {
                       dir.Write("target", "x");
                       fs::create_symlink(dir.Path() / "target", dir.Path() / "Report01.txt");
                   },
                   "Report01.txt", true},
        ExistsCase{"DanglingLink",
                   [](const test::TempDir& dir) {
                       fs::create_symlink(dir.Path() / "gone", dir.Path() / "Report01.txt");
                   },
                   "Report01.txt", false}),
    [](const auto& info) { return std::string(info.param.rule); });

// ---------------------------------------------------------------------------------
// Delete

TEST(TextFileDelete, RemovesTheFile) {
    test::TempDir dir;
    dir.Write("Report01.txt", "x");
    DeleteFile(dir.File("Report01.txt"));
    EXPECT_FALSE(dir.Exists("Report01.txt"));
}

struct KeptOnDeleteCase {
    const char* rule;
    void (*prepare)(const test::TempDir& dir);
};

void PrintTo(const KeptOnDeleteCase& c, std::ostream* out) {
    *out << c.rule;
}

class TextFileDeleteFails : public testing::TestWithParam<KeptOnDeleteCase> {};

TEST_P(TextFileDeleteFails, SilentlyAndLeavesEverythingInPlace) {
    test::TempDir dir;
    GetParam().prepare(dir);
    const auto before = Snapshot(dir.Path());
    EXPECT_NO_THROW(DeleteFile(dir.File("Report01.txt")));
    EXPECT_EQ(Snapshot(dir.Path()), before);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, TextFileDeleteFails,
    testing::Values(KeptOnDeleteCase{"FileAlreadyGone", [](const test::TempDir&) {}},
                    KeptOnDeleteCase{"DirectoryBearingTheName",
                                     [](const test::TempDir& dir) {
                                         fs::create_directory(dir.Path() / "Report01.txt");
                                     }},
                    KeptOnDeleteCase{"ReadOnlyFile",
                                     [](const test::TempDir& dir) {
                                         dir.Write("Report01.txt", "kept");
                                         ::chmod(dir.File("Report01.txt").c_str(), 0444);
                                     }}),
    [](const auto& info) { return std::string(info.param.rule); });

TEST(TextFileDelete, FileInAnUnwritableDirectoryStays) {
    test::TempDir dir;
    dir.Write("Report01.txt", "kept");
    UnwritableDirectory locked(dir.Path());
    if (!locked.Active()) {
        GTEST_SKIP() << "cannot make a directory unwritable here";
    }
    EXPECT_NO_THROW(DeleteFile(dir.File("Report01.txt")));
    EXPECT_EQ(dir.Read("Report01.txt"), "kept");
}

// ---------------------------------------------------------------------------------
// Writing: the file receives the bytes unchanged

struct BytesCase {
    const char* rule;
    std::string bytes;
};

void PrintTo(const BytesCase& c, std::ostream* out) {
    *out << c.rule;
}

class TextFileWriteBytes : public testing::TestWithParam<BytesCase> {};

TEST_P(TextFileWriteBytes, NewFileHoldsExactlyTheBytes) {
    test::TempDir dir;
    WriteFileSafely(dir.File("Report01.txt"), GetParam().bytes);
    EXPECT_EQ(dir.Read("Report01.txt"), GetParam().bytes);
    EXPECT_EQ(fs::file_size(dir.Path() / "Report01.txt"), GetParam().bytes.size());
}

TEST_P(TextFileWriteBytes, ReplacedLongerFileHoldsExactlyTheBytes) {
    test::TempDir dir;
    dir.Write("Report01.txt", std::string(4096, 'o'));
    WriteFileSafely(dir.File("Report01.txt"), GetParam().bytes);
    EXPECT_EQ(dir.Read("Report01.txt"), GetParam().bytes);
    EXPECT_EQ(fs::file_size(dir.Path() / "Report01.txt"), GetParam().bytes.size());
}

INSTANTIATE_TEST_SUITE_P(Rules, TextFileWriteBytes,
                         testing::Values(BytesCase{"EmptyTextGivesZeroBytes", ""},
                                         BytesCase{"PoundIsByteA3", "\xA3"s + "5.00\r\n"},
                                         BytesCase{"EuroIsByte80", "\x80"s + "5.00\r\n"},
                                         BytesCase{"NoBreakAddedAtTheEnd", "a\r\nb"},
                                         BytesCase{"NoBreakConverted", "lf\ncr\rcrlf\r\n"},
                                         BytesCase{"NulBytesWritten", "\0a\0"s},
                                         BytesCase{"EveryByteValue",
                                                   [] {
                                                       std::string all;
                                                       for (int b = 0; b < 256; ++b) {
                                                           all += static_cast<char>(b);
                                                       }
                                                       return all;
                                                   }()}),
                         [](const auto& info) { return std::string(info.param.rule); });

TEST(TextFileWrite, LeavesNothingButTheTargetBehind) {
    test::TempDir dir;
    dir.Write("Report01.txt", "old");
    WriteFileSafely(dir.File("Report01.txt"), "new");
    WriteFileSafely(dir.File("Backup01.txt"), "new");
    EXPECT_EQ(Snapshot(dir.Path()).size(), 2u);
}

TEST(TextFileWrite, ReplacementKeepsThePermissionBits) {
    for (mode_t mode : {0600, 0640, 0604, 0222}) {
        SCOPED_TRACE(mode);
        test::TempDir dir;
        dir.Write("Notes.txt", "old");
        ::chmod(dir.File("Notes.txt").c_str(), mode);
        WriteFileSafely(dir.File("Notes.txt"), "new");
        EXPECT_EQ(ModeOf(dir.File("Notes.txt")), mode);
        ::chmod(dir.File("Notes.txt").c_str(), 0600);
        EXPECT_EQ(dir.Read("Notes.txt"), "new");
    }
}

TEST(TextFileWrite, NewFileGetsTheModeTheUmaskAllows) {
    test::TempDir dir;
    const mode_t umask = ::umask(027);
    WriteFileSafely(dir.File("Notes.txt"), "new");
    ::umask(umask);
    EXPECT_EQ(ModeOf(dir.File("Notes.txt")), 0640u);
}

TEST(TextFileWrite, ReplacementKeepsTheOwnerWhenRootWrites) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "only root can write a file for another owner";
    }
    test::TempDir dir;
    dir.Write("Notes.txt", "old");
    ASSERT_EQ(::chown(dir.File("Notes.txt").c_str(), 4321, 4321), 0);
    WriteFileSafely(dir.File("Notes.txt"), "new");
    struct stat status {};
    ASSERT_EQ(::stat(dir.File("Notes.txt").c_str(), &status), 0);
    EXPECT_EQ(status.st_uid, 4321u);
    EXPECT_EQ(status.st_gid, 4321u);
}

TEST(TextFileWrite, LinkIsWrittenThroughNotReplaced) {
    test::TempDir dir;
    fs::create_directory(dir.Path() / "real");
    dir.Write("real/Notes.txt", "old");
    fs::create_symlink(dir.Path() / "real" / "Notes.txt", dir.Path() / "Notes.txt");
    WriteFileSafely(dir.File("Notes.txt"), "new");
    EXPECT_TRUE(fs::is_symlink(dir.Path() / "Notes.txt"));
    EXPECT_EQ(dir.Read("real/Notes.txt"), "new");
    EXPECT_EQ(Snapshot(dir.Path() / "real").size(), 1u);
}

// ---------------------------------------------------------------------------------
// Writing: a file that cannot be created or replaced

struct CreateFailureCase {
    const char* rule;
    void (*prepare)(const test::TempDir& dir);
    const char* path;  // relative to the directory
};

void PrintTo(const CreateFailureCase& c, std::ostream* out) {
    *out << c.rule;
}

class TextFileWriteCannotCreate : public testing::TestWithParam<CreateFailureCase> {};

TEST_P(TextFileWriteCannotCreate, ReportsThePathAndChangesNothing) {
    test::TempDir dir;
    GetParam().prepare(dir);
    const auto before = Snapshot(dir.Path());
    const std::string path = dir.WithSeparator() + GetParam().path;

    EXPECT_EQ(ErrorMessage([&] { WriteFileSafely(path, "new text\r\n"); }),
              "Cannot create file " + path);
    EXPECT_EQ(Snapshot(dir.Path()), before);
}

INSTANTIATE_TEST_SUITE_P(
    Failures, TextFileWriteCannotCreate,
    testing::Values(
        CreateFailureCase{"DirectoryMissing", [](const test::TempDir&) {}, "absent/Report01.txt"},
        CreateFailureCase{"DirectoryIsAFile",
                          [](const test::TempDir& dir) { dir.Write("program", "a file"); },
                          "program/Report01.txt"},
        CreateFailureCase{"DirectoryBearingTheName",
                          [](const test::TempDir& dir) {
                              fs::create_directory(dir.Path() / "Report01.txt");
                              dir.Write("Report01.txt/inside", "kept");
                          },
                          "Report01.txt"},
        CreateFailureCase{"ReadOnlyFile",
                          [](const test::TempDir& dir) {
                              dir.Write("Report01.txt", "old report\r\n");
                              ::chmod(dir.File("Report01.txt").c_str(), 0444);
                          },
                          "Report01.txt"},
        CreateFailureCase{"FileWithNoPermissionsAtAll",
                          [](const test::TempDir& dir) {
                              dir.Write("Report01.txt", "old report\r\n");
                              ::chmod(dir.File("Report01.txt").c_str(), 0);
                          },
                          "Report01.txt"}),
    [](const auto& info) { return std::string(info.param.rule); });

TEST(TextFileWrite, UnwritableDirectoryTakesTheFileInPlaceButNoNewOne) {
    // A folder made read-only with its files left writable: the notes and reports can
    // still be saved, in the files themselves; only a file that is not there yet cannot.
    test::TempDir dir;
    dir.Write("Report01.txt", "old report\r\n");
    const std::string path = dir.File("Report01.txt");
    UnwritableDirectory locked(dir.Path());
    if (!locked.Active()) {
        GTEST_SKIP() << "cannot make a directory unwritable here";
    }
    WriteFileSafely(path, "new");
    EXPECT_EQ(dir.Read("Report01.txt"), "new");
    EXPECT_EQ(ErrorMessage([&] { WriteFileSafely(dir.File("Backup01.txt"), "new"); }),
              "Cannot create file " + dir.File("Backup01.txt"));
    EXPECT_EQ(Snapshot(dir.Path()).size(), 1u);
}

// ---------------------------------------------------------------------------------
// Writing: the disk fills up

struct DiskFullCase {
    const char* rule;
    rlim_t room;  // bytes the file may grow to
    bool oldFile;
};

void PrintTo(const DiskFullCase& c, std::ostream* out) {
    *out << c.rule;
}

class TextFileWriteDiskFull : public testing::TestWithParam<DiskFullCase> {};

const std::string kReport = "January\r\n\r\nTotal: " + std::string(200, '9') + "\r\n";

TEST_P(TextFileWriteDiskFull, ReportsStreamErrorAndKeepsTheOldFile) {
    test::TempDir dir;
    if (GetParam().oldFile) {
        dir.Write("Report01.txt", "old report\r\n");
    }
    const auto before = Snapshot(dir.Path());

    std::string message;
    {
        FileSizeLimit full(GetParam().room);
        message = ErrorMessage([&] { WriteFileSafely(dir.File("Report01.txt"), kReport); });
    }
    EXPECT_EQ(message, "Stream write error");
    EXPECT_EQ(Snapshot(dir.Path()), before);
}

INSTANTIATE_TEST_SUITE_P(Failures, TextFileWriteDiskFull,
                         testing::Values(DiskFullCase{"NoRoomAtAll", 0, true},
                                         DiskFullCase{"StopsHalfWay", kReport.size() / 2, true},
                                         DiskFullCase{"LastByteMissing", kReport.size() - 1, true},
                                         DiskFullCase{"NoRoomForANewFile", kReport.size() / 2,
                                                      false}),
                         [](const auto& info) { return std::string(info.param.rule); });

TEST(TextFileWriteDiskFull, TextThatJustFitsIsWritten) {
    // The other half of the boundary: the limit itself does not break the write.
    test::TempDir dir;
    dir.Write("Report01.txt", "old report\r\n");
    {
        FileSizeLimit full(kReport.size());
        WriteFileSafely(dir.File("Report01.txt"), kReport);
    }
    EXPECT_EQ(dir.Read("Report01.txt"), kReport);
}

// ---------------------------------------------------------------------------------
// Reading

TEST(TextFileRead, ReturnsEveryByteUnchanged) {
    test::TempDir dir;
    std::string bytes = "\xA3\x80\0\r\n\n\r"s + std::string(200000, 'z');
    dir.Write("Report01.txt", bytes);
    EXPECT_EQ(ReadFileBytes(dir.File("Report01.txt")), bytes);
}

TEST(TextFileRead, ReadOnlyFileIsRead) {
    test::TempDir dir;
    dir.Write("Report01.txt", "report");
    ::chmod(dir.File("Report01.txt").c_str(), 0400);
    EXPECT_EQ(ReadFileBytes(dir.File("Report01.txt")), "report");
}

struct OpenFailureCase {
    const char* rule;
    void (*prepare)(const test::TempDir& dir);
    const char* path;  // relative to the directory
};

void PrintTo(const OpenFailureCase& c, std::ostream* out) {
    *out << c.rule;
}

class TextFileReadCannotOpen : public testing::TestWithParam<OpenFailureCase> {};

TEST_P(TextFileReadCannotOpen, ReportsThePath) {
    test::TempDir dir;
    GetParam().prepare(dir);
    const std::string path = dir.WithSeparator() + GetParam().path;
    EXPECT_EQ(ErrorMessage([&] { ReadFileBytes(path); }), "Cannot open file " + path);
}

INSTANTIATE_TEST_SUITE_P(
    Failures, TextFileReadCannotOpen,
    testing::Values(OpenFailureCase{"MissingFile", [](const test::TempDir&) {}, "Report01.txt"},
                    OpenFailureCase{"DirectoryBearingTheName",
                                    [](const test::TempDir& dir) {
                                        fs::create_directory(dir.Path() / "Report01.txt");
                                    },
                                    "Report01.txt"},
                    OpenFailureCase{"FileWithNoPermissionsAtAll",
                                    [](const test::TempDir& dir) {
                                        dir.Write("Report01.txt", "secret");
                                        ::chmod(dir.File("Report01.txt").c_str(), 0);
                                    },
                                    "Report01.txt"},
                    OpenFailureCase{"WriteOnlyFile",
                                    [](const test::TempDir& dir) {
                                        dir.Write("Report01.txt", "secret");
                                        ::chmod(dir.File("Report01.txt").c_str(), 0333);
                                    },
                                    "Report01.txt"},
                    OpenFailureCase{
                        "PathThroughAFile",
                        [](const test::TempDir& dir) { dir.Write("program", "a file"); },
                        "program/Report01.txt"},
                    OpenFailureCase{"PipeBearingTheName",
                                    [](const test::TempDir& dir) {
                                        ::mkfifo(dir.File("Report01.txt").c_str(), 0644);
                                    },
                                    "Report01.txt"}),
    [](const auto& info) { return std::string(info.param.rule); });

}  // namespace
}  // namespace quilvern
