#include "core/year_report.h"

#include <sys/stat.h>

#include <ostream>
#include <string>

#include "core/reset_commands.h"
#include "form_data_fixture.h"
#include "support/file_faults.h"

namespace quilvern::test {
namespace {

const std::string kHeading = "SALES REPORT FOR YEAR\r\n\r\n\r\n";
const std::string kMarchTea =
    "MARCH SALES\r\n\r\nTea @ $2.50 x 4 = $10.00\r\n\r\nMARCH TOTAL = $10.00\r\n";
const std::string kJulyTea =
    "JULY SALES\r\n\r\nTea @ $2.50 x 2 = $5.00\r\n\r\nJULY TOTAL = $5.00\r\n";

class YearReportTest : public FormDataTest {
  protected:
    // March and July transferred by the user, the other months never.
    void TransferMarchAndJuly() {
        Sell(1, "Tea", 2.5L, 4);
        data.ledger.Transfer(3);
        Line(1).quantity.SetValue(2);
        data.ledger.Transfer(7);
    }
};

TEST_F(YearReportTest, WithoutMonthFilesIsHeadingAndTotalWrittenAndShown) {
    CompileYearReport(data);

    const std::string report = kHeading + "FINAL TOTAL FOR YEAR = $0.00\r\n";
    EXPECT_EQ(data.reportText.Text(), report);
    EXPECT_EQ(dir.Read("ReportYear.txt"), report);
    EXPECT_EQ(dir.Read("BackupYear.txt"), report);
    EXPECT_EQ(viewerShown, 1);
    EXPECT_EQ(data.fileLabel, "FileLabel");
}

TEST_F(YearReportTest, JoinsExistingMonthsInCalendarOrderEachFollowedByTwoEmptyLines) {
    TransferMarchAndJuly();

    CompileYearReport(data);

    const std::string report = kHeading + kMarchTea + "\r\n\r\n" + kJulyTea + "\r\n\r\n" +
                               "FINAL TOTAL FOR YEAR = $15.00\r\n";
    EXPECT_EQ(data.reportText.Text(), report);
    EXPECT_EQ(dir.Read("ReportYear.txt"), report);
    EXPECT_EQ(dir.Read("BackupYear.txt"), report);
    EXPECT_EQ(data.reportTemp.Text(), "");
}

TEST_F(YearReportTest, ViewerIsShownAfterBothFilesAndBeforeTheScratchAreaIsCleared) {
    TransferMarchAndJuly();
    std::string yearFileAtShow, backupFileAtShow, scratchAtShow;
    data.ShowViewer = [&] {
        yearFileAtShow = dir.Read("ReportYear.txt");
        backupFileAtShow = dir.Read("BackupYear.txt");
        scratchAtShow = data.reportTemp.Text();
    };

    CompileYearReport(data);

    EXPECT_EQ(yearFileAtShow, data.reportText.Text());
    EXPECT_EQ(backupFileAtShow, data.reportText.Text());
    EXPECT_EQ(scratchAtShow, kJulyTea);
    EXPECT_EQ(data.reportTemp.Text(), "");
}

// Month files as other programs may leave them; each is the only month file present.
struct MonthFileCase {
    const char* rule;
    std::string bytes;
    std::string joined;  // what the month adds to the year report
};
void PrintTo(const MonthFileCase& c, std::ostream* os) {
    *os << c.rule;
}

class MonthFileTest : public FormDataTest, public ::testing::WithParamInterface<MonthFileCase> {};

TEST_P(MonthFileTest, IsJoinedWithCrLfBreaksAndTheFileIsLeftAlone) {
    dir.Write("Report05.txt", GetParam().bytes);

    CompileYearReport(data);

    EXPECT_EQ(data.reportText.Text(),
              kHeading + GetParam().joined + "FINAL TOTAL FOR YEAR = $0.00\r\n");
    EXPECT_EQ(dir.Read("Report05.txt"), GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(
    MonthFiles, MonthFileTest,
    ::testing::Values(MonthFileCase{"LfOnlyBreaksBecomeCrLf", "MAY SALES\n\nTea\n",
                                    "MAY SALES\r\n\r\nTea\r\n\r\n\r\n"},
                      MonthFileCase{"LoneCrBreaksBecomeCrLf", "MAY SALES\r\rTea\r",
                                    "MAY SALES\r\n\r\nTea\r\n\r\n\r\n"},
                      MonthFileCase{"NoFinalBreakGivesOneEmptyLineAfterIt", "MAY SALES\r\n\r\nTea",
                                    "MAY SALES\r\n\r\nTea\r\n\r\n"},
                      MonthFileCase{"EmptyFileGivesOnlyItsTwoEmptyLines", "", "\r\n\r\n"}),
    [](const auto& info) { return std::string(info.param.rule); });

TEST_F(YearReportTest, MonthFileCountsWhateverItsReportButtonSays) {
    TransferMarchAndJuly();
    ClearTransfer(data.ledger, data.dirLabel);
    dir.Write("Report03.txt", kMarchTea);
    ASSERT_FALSE(Month(3).report.Enabled());

    CompileYearReport(data);

    EXPECT_EQ(data.reportText.Text(),
              kHeading + kMarchTea + "\r\n\r\n" + "FINAL TOTAL FOR YEAR = $0.00\r\n");
}

TEST_F(YearReportTest, CompilingTwiceGivesTheSameText) {
    TransferMarchAndJuly();
    CompileYearReport(data);
    const std::string first = data.reportText.Text();

    CompileYearReport(data);

    EXPECT_EQ(data.reportText.Text(), first);
    EXPECT_EQ(dir.Read("ReportYear.txt"), first);
    EXPECT_EQ(viewerShown, 2);
}

TEST_F(YearReportTest, TotalLineQuotesTheYearTotalNotTheMonthTexts) {
    TransferMarchAndJuly();
    std::filesystem::remove(dir.Path() / "Report07.txt");

    CompileYearReport(data);

    EXPECT_EQ(data.reportText.Text(),
              kHeading + kMarchTea + "\r\n\r\n" + "FINAL TOTAL FOR YEAR = $15.00\r\n");
}

TEST_F(YearReportTest, AfterClearTransferIsFourLinesWithZeroInTheCurrentPattern) {
    TransferMarchAndJuly();
    CompileYearReport(data);
    data.currency.SetText("Euro (\x80)");

    ClearTransfer(data.ledger, data.dirLabel);
    CompileYearReport(data);

    const std::string report = kHeading +
                               "FINAL TOTAL FOR YEAR = \x80"
                               "0.00\r\n";
    EXPECT_EQ(data.reportText.Text(), report);
    EXPECT_EQ(dir.Read("ReportYear.txt"), report);
}

TEST_F(YearReportTest, UnreadableMonthFileStopsBeforeAnythingIsSavedOrShown) {
    TransferMarchAndJuly();
    MakeUnreadable("Report05.txt", "MAY SALES\r\n");
    dir.Write("ReportYear.txt", "last year");

    EXPECT_EQ(ErrorMessage([&] { CompileYearReport(data); }),
              "Cannot open file " + Path("Report05.txt"));

    EXPECT_EQ(data.reportText.Text(), kHeading + kMarchTea + "\r\n\r\n");
    EXPECT_EQ(data.reportTemp.Text(), kMarchTea);
    EXPECT_EQ(dir.Read("ReportYear.txt"), "last year");
    EXPECT_FALSE(dir.Exists("BackupYear.txt"));
    EXPECT_EQ(viewerShown, 0);
}

struct BlockedYearFileCase {
    const char* rule;
    const char* file;
    Block block;
};
void PrintTo(const BlockedYearFileCase& c, std::ostream* os) {
    *os << c.rule;
}

class BlockedYearReportTest : public YearReportTest,
                              public ::testing::WithParamInterface<BlockedYearFileCase> {};

TEST_P(BlockedYearReportTest, StopsAtTheBlockedFileWithoutShowingTheViewer) {
    const BlockedYearFileCase& c = GetParam();
    TransferMarchAndJuly();
    BlockFile(c.file, c.block);
    const bool yearBlocked = std::string(c.file) == "ReportYear.txt";

    EXPECT_EQ(ErrorMessage([&] { CompileYearReport(data); }), "Cannot create file " + Path(c.file));

    const std::string report = kHeading + kMarchTea + "\r\n\r\n" + kJulyTea + "\r\n\r\n" +
                               "FINAL TOTAL FOR YEAR = $15.00\r\n";
    EXPECT_EQ(data.reportText.Text(), report);
    EXPECT_EQ(data.reportTemp.Text(), kJulyTea);
    EXPECT_EQ(viewerShown, 0);
    if (yearBlocked) {
        EXPECT_FALSE(dir.Exists("BackupYear.txt"));
    } else {
        EXPECT_EQ(dir.Read("ReportYear.txt"), report);
    }
}

INSTANTIATE_TEST_SUITE_P(
    BlockedYearFiles, BlockedYearReportTest,
    ::testing::Values(
        BlockedYearFileCase{"ReportYearIsDirectory", "ReportYear.txt", Block::Directory},
        BlockedYearFileCase{"ReportYearIsReadOnly", "ReportYear.txt", Block::ReadOnlyFile},
        BlockedYearFileCase{"BackupYearIsDirectory", "BackupYear.txt", Block::Directory},
        BlockedYearFileCase{"BackupYearIsReadOnly", "BackupYear.txt", Block::ReadOnlyFile}),
    [](const auto& info) { return std::string(info.param.rule); });

}  // namespace
}  // namespace quilvern::test

namespace quilvern::test {
namespace {

TEST_F(YearReportTest, IsReadableByNoMoreThanEveryMonthItJoins) {
    TransferMarchAndJuly();
    ::chmod(dir.File("Report07.txt").c_str(), 0600);

    CompileYearReport(data);

    EXPECT_EQ(ModeOf(dir.File("ReportYear.txt")), 0600u);
    EXPECT_EQ(ModeOf(dir.File("BackupYear.txt")), 0600u);
}

}  // namespace
}  // namespace quilvern::test
