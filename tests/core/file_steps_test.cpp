#include "core/file_steps.h"

#include <gtest/gtest.h>

#include <string>

#include "support/temp_dir.h"

namespace quilvern::test {
namespace {

// The steps travel inside the recovery copy: every byte comes back, and anything that is
// not a whole list of steps is refused rather than half read.
TEST(FileSteps, ComeBackFromTheirBytesAndNothingElseDoes) {
    const FileSteps steps = {
        {FileStep::Kind::Write, "/a b/Report04.txt", std::string("APRIL\r\n\0\x80\n", 10), 0600},
        {FileStep::Kind::SetAside, "/a b/Report01.txt", {}},
        {FileStep::Kind::PutBack, "/a b/ReportYear.txt", {}},
        {FileStep::Kind::Leftover, "/home/x/.Quilvern-tmp-Report03.pdf-Ab12Cd", {}}};
    const std::string bytes = EncodeSteps(steps);
    EXPECT_EQ(DecodeSteps(bytes), steps);
    EXPECT_EQ(DecodeSteps(""), FileSteps{});
    for (std::size_t cut : {std::size_t{1}, std::size_t{5}, bytes.size() - 1})
        EXPECT_FALSE(DecodeSteps(bytes.substr(0, cut))) << "cut at " << cut;
    for (const char* hostile : {"X 1 0 4095\na", "W 99999999999999999999 0 0\n", "W 1 0 8191\na",
                                "W 1 0\na", "W -1 0 0\n"})
        EXPECT_FALSE(DecodeSteps(hostile)) << hostile;
}

// A kill may come after any step, so a start takes them all again: twice is as once.
TEST(FileSteps, TakenTwiceAreAsTakenOnce) {
    TempDir dir;
    dir.Write("Report01.txt", "JANUARY\r\n");
    dir.Write("Report02.txt", "FEBRUARY\r\n");
    const FileSteps clear = {{FileStep::Kind::SetAside, dir.File("Report01.txt"), {}},
                             {FileStep::Kind::Write, dir.File("Backup01.txt"), "B", 07777}};
    RedoSteps(clear);
    RedoSteps(clear);
    EXPECT_FALSE(dir.Exists("Report01.txt"));
    EXPECT_EQ(dir.Read(".Quilvern-undo-Report01.txt"), "JANUARY\r\n");
    EXPECT_EQ(dir.Read("Backup01.txt"), "B");

    const FileSteps undo = {{FileStep::Kind::PutBack, dir.File("Report01.txt"), {}}};
    RedoSteps(undo);
    RedoSteps(undo);
    EXPECT_EQ(dir.Read("Report01.txt"), "JANUARY\r\n");
    EXPECT_FALSE(dir.Exists(".Quilvern-undo-Report01.txt"));
    EXPECT_EQ(dir.Read("Report02.txt"), "FEBRUARY\r\n") << "untouched";
}

TEST(FileSteps, APutBackNeverReplacesAFileThatTookTheName) {
    TempDir dir;
    dir.Write("Report01.txt", "JANUARY\r\n");
    ASSERT_TRUE(TakeStep({FileStep::Kind::SetAside, dir.File("Report01.txt"), {}}));
    dir.Write("Report01.txt", "newer\r\n");
    EXPECT_FALSE(TakeStep({FileStep::Kind::PutBack, dir.File("Report01.txt"), {}}));
    EXPECT_EQ(dir.Read("Report01.txt"), "newer\r\n");
}

}  // namespace
}  // namespace quilvern::test
