#include <ostream>
#include <string>

#include "form_data_fixture.h"

namespace quilvern::test {
namespace {

using MonthTransferTest = FormDataTest;

const std::string kMarchTea =
    "MARCH SALES\r\n\r\nTea @ $2.50 x 4 = $10.00\r\n\r\nMARCH TOTAL = $10.00\r\n";

TEST_F(MonthTransferTest, MarchReportIsWrittenByteForByteToReportAndBackup) {
    Sell(1, "Tea", 2.5L, 4);
    auto sheetBefore = Fields();

    data.ledger.Transfer(3);

    EXPECT_EQ(data.reportText.Text(), kMarchTea);
    EXPECT_EQ(dir.Read("Report03.txt"), kMarchTea);
    EXPECT_EQ(dir.Read("Backup03.txt"), kMarchTea);
    EXPECT_EQ(data.fileLabel, Path("Backup03.txt"));
    EXPECT_EQ(viewerShown, 0);

    auto expected = sheetBefore;
    expected["TotalMarch"] = "10 | $10.00 | $,0.00;-$,0.00";
    expected["ReportMarch"] = "enabled";
    expected["TotalYear"] = "10 | $10.00 | $,0.00;-$,0.00";
    EXPECT_EQ(Fields(), expected);
}

struct MonthLiterals {
    int month;
    const char* header;
    const char* totalLine;
    const char* reportFile;
    const char* backupFile;
};

// With no quantity above 0 a report has four lines: header, two empty lines, total.
TEST_F(MonthTransferTest, EveryMonthWritesItsOwnFourLineReportWhenNothingWasSold) {
    const MonthLiterals months[] = {
        {1, "JANUARY SALES", "JANUARY TOTAL = $0.00", "Report01.txt", "Backup01.txt"},
        {2, "FEBRUARY SALES", "FEBRUARY TOTAL = $0.00", "Report02.txt", "Backup02.txt"},
        {3, "MARCH SALES", "MARCH TOTAL = $0.00", "Report03.txt", "Backup03.txt"},
        {4, "APRIL SALES", "APRIL TOTAL = $0.00", "Report04.txt", "Backup04.txt"},
        {5, "MAY SALES", "MAY TOTAL = $0.00", "Report05.txt", "Backup05.txt"},
        {6, "JUNE SALES", "JUNE TOTAL = $0.00", "Report06.txt", "Backup06.txt"},
        {7, "JULY SALES", "JULY TOTAL = $0.00", "Report07.txt", "Backup07.txt"},
        {8, "AUGUST SALES", "AUGUST TOTAL = $0.00", "Report08.txt", "Backup08.txt"},
        {9, "SEPTEMBER SALES", "SEPTEMBER TOTAL = $0.00", "Report09.txt", "Backup09.txt"},
        {10, "OCTOBER SALES", "OCTOBER TOTAL = $0.00", "Report10.txt", "Backup10.txt"},
        {11, "NOVEMBER SALES", "NOVEMBER TOTAL = $0.00", "Report11.txt", "Backup11.txt"},
        {12, "DECEMBER SALES", "DECEMBER TOTAL = $0.00", "Report12.txt", "Backup12.txt"},
    };
    Line(2).price.SetValue(3);  // priced but not sold
    for (const MonthLiterals& month : months) {
        SCOPED_TRACE(month.header);
        data.ledger.Transfer(month.month);
        const std::string report =
            std::string(month.header) + "\r\n\r\n\r\n" + month.totalLine + "\r\n";
        EXPECT_EQ(dir.Read(month.reportFile), report);
        EXPECT_EQ(dir.Read(month.backupFile), report);
        EXPECT_TRUE(Month(month.month).report.Enabled());
    }
}

TEST_F(MonthTransferTest, ListingKeepsLineOrderEmptyNamesAndQuantityTextAsTyped) {
    Sell(50, "Last", 1, 1);
    Sell(3, "", 2, 1);
    Sell(12, "Jam", 1.5L, 0);
    Line(12).quantity.SetText("007");

    data.ledger.Transfer(1);

    EXPECT_EQ(data.reportText.Text(),
              "JANUARY SALES\r\n\r\n"
              " @ $2.00 x 1 = $2.00\r\n"
              "Jam @ $1.50 x 007 = $10.50\r\n"
              "Last @ $1.00 x 1 = $1.00\r\n"
              "\r\nJANUARY TOTAL = $13.50\r\n");
}

TEST_F(MonthTransferTest, NegativeQuantityIsLeftOutOfListingButCountsInTotal) {
    Sell(1, "Tea", 2.5L, 4);
    Sell(2, "Refund", 3, 0);
    Line(2).quantity.StepDown();

    data.ledger.Transfer(8);

    EXPECT_EQ(data.reportText.Text(),
              "AUGUST SALES\r\n\r\nTea @ $2.50 x 4 = $10.00\r\n\r\nAUGUST TOTAL = $7.00\r\n");
}

TEST_F(MonthTransferTest, SecondTransferOverwritesMonthAndMovesYearByTheDifference) {
    Sell(1, "Tea", 2.5L, 4);
    data.ledger.Transfer(1);
    data.ledger.Transfer(3);
    ASSERT_EQ(data.ledger.totalYear.FormattedText(), "$20.00");
    const std::string january = dir.Read("Report01.txt");

    Line(1).quantity.SetValue(10);
    data.ledger.Transfer(3);

    EXPECT_EQ(Month(3).total.FormattedText(), "$25.00");
    EXPECT_EQ(data.ledger.totalYear.FormattedText(), "$35.00");
    EXPECT_EQ(Month(1).total.FormattedText(), "$10.00");
    EXPECT_EQ(dir.Read("Report01.txt"), january);
    const std::string march =
        "MARCH SALES\r\n\r\nTea @ $2.50 x 10 = $25.00\r\n\r\nMARCH TOTAL = $25.00\r\n";
    EXPECT_EQ(dir.Read("Report03.txt"), march);
    EXPECT_EQ(dir.Read("Backup03.txt"), march);
    for (int m : {2, 4, 5, 6, 7, 8, 9, 10, 11, 12}) {
        EXPECT_EQ(Month(m).total.FormattedText(), "$0.00") << m;
        EXPECT_FALSE(Month(m).report.Enabled()) << m;
    }
}

TEST_F(MonthTransferTest, YearTotalIsTheSumOfMonthsIncludingOnesNeverTransferred) {
    Sell(1, "Tea", 1.1L, 1);
    data.ledger.Transfer(2);
    Line(1).price.SetValue(2.2L);
    data.ledger.Transfer(11);
    Line(1).price.SetValue(-0.3L);
    data.ledger.Transfer(7);

    EXPECT_EQ(data.ledger.totalYear.FormattedText(), "$3.00");
}

struct CurrencyReportCase {
    const char* rule;
    const char* currency;
    const char* report;
};
void PrintTo(const CurrencyReportCase& c, std::ostream* os) {
    *os << c.rule;
}

class CurrencyReportTest : public FormDataTest,
                           public ::testing::WithParamInterface<CurrencyReportCase> {};

TEST_P(CurrencyReportTest, MoneyTextsCarryTheSignChosenAtTransfer) {
    data.currency.SetText(GetParam().currency);
    Sell(1, "Tea", 2.5L, 4);
    Sell(2, "Refund", 1244.5L, 0);
    Line(2).quantity.StepDown();

    data.ledger.Transfer(3);

    EXPECT_EQ(dir.Read("Report03.txt"), GetParam().report);
    EXPECT_EQ(dir.Read("Backup03.txt"), GetParam().report);
}

INSTANTIATE_TEST_SUITE_P(
    Currencies, CurrencyReportTest,
    ::testing::Values(CurrencyReportCase{"Dollar", "Dollar ($)",
                                         "MARCH SALES\r\n\r\nTea @ $2.50 x 4 = $10.00\r\n\r\n"
                                         "MARCH TOTAL = -$1,234.50\r\n"},
                      CurrencyReportCase{"PoundIsByteA3", "Pounds (\xA3)",
                                         "MARCH SALES\r\n\r\nTea @ \xA3"
                                         "2.50 x 4 = \xA3"
                                         "10.00\r\n\r\nMARCH TOTAL = -\xA3"
                                         "1,234.50\r\n"},
                      CurrencyReportCase{"EuroIsByte80", "Euro (\x80)",
                                         "MARCH SALES\r\n\r\nTea @ \x80"
                                         "2.50 x 4 = \x80"
                                         "10.00\r\n\r\nMARCH TOTAL = -\x80"
                                         "1,234.50\r\n"}),
    [](const auto& info) { return std::string(info.param.rule); });

TEST_F(MonthTransferTest, LaterCurrencyChangeLeavesSavedReportAlone) {
    Sell(1, "Tea", 2.5L, 4);
    data.ledger.Transfer(3);

    data.currency.SetText("Euro (\x80)");

    EXPECT_EQ(dir.Read("Report03.txt"), kMarchTea);
    EXPECT_EQ(Month(3).total.FormattedText(),
              "\x80"
              "10.00");
}

TEST_F(MonthTransferTest, ReportFlagTellsItsViewOnceWhenItBecomesEnabled) {
    int changes = 0;
    Month(5).report.OnChange.Add([&] { ++changes; });
    data.ledger.Transfer(5);
    data.ledger.Transfer(5);
    EXPECT_EQ(changes, 1);
    EXPECT_TRUE(Month(5).report.Enabled());
}

// A file that cannot be replaced stops the transfer at its step; what came before
// stays done and nothing after it runs.
struct BlockedFileCase {
    const char* rule;
    Block block;
    bool blockReport;  // otherwise the backup
};
void PrintTo(const BlockedFileCase& c, std::ostream* os) {
    *os << c.rule;
}

class BlockedTransferTest : public FormDataTest,
                            public ::testing::WithParamInterface<BlockedFileCase> {};

TEST_P(BlockedTransferTest, StopsAtTheBlockedFileKeepingEarlierSteps) {
    const BlockedFileCase& c = GetParam();
    const std::string blocked = c.blockReport ? "Report03.txt" : "Backup03.txt";
    BlockFile(blocked, c.block);
    if (c.blockReport)
        dir.Write("Backup03.txt", "previous backup");
    Sell(1, "Tea", 2.5L, 4);

    EXPECT_EQ(ErrorMessage([&] { data.ledger.Transfer(3); }),
              "Cannot create file " + Path(blocked));

    EXPECT_EQ(Month(3).total.FormattedText(), "$10.00");
    EXPECT_EQ(data.ledger.totalYear.FormattedText(), "$10.00");
    EXPECT_EQ(data.reportText.Text(), kMarchTea);
    EXPECT_EQ(data.fileLabel, Path(blocked));
    EXPECT_FALSE(Month(3).report.Enabled());
    if (c.block == Block::ReadOnlyFile) {
        EXPECT_EQ(dir.Read(blocked), "old text");
    }
    if (c.blockReport) {
        EXPECT_EQ(dir.Read("Backup03.txt"), "previous backup");
    } else {
        EXPECT_EQ(dir.Read("Report03.txt"), kMarchTea);
    }
}

INSTANTIATE_TEST_SUITE_P(
    BlockedFiles, BlockedTransferTest,
    ::testing::Values(BlockedFileCase{"ReportIsDirectory", Block::Directory, true},
                      BlockedFileCase{"ReportIsReadOnly", Block::ReadOnlyFile, true},
                      BlockedFileCase{"BackupIsDirectory", Block::Directory, false},
                      BlockedFileCase{"BackupIsReadOnly", Block::ReadOnlyFile, false}),
    [](const auto& info) { return std::string(info.param.rule); });

TEST_F(MonthTransferTest, FailedTransferKeepsAnEnabledButtonEnabled) {
    data.ledger.Transfer(4);
    BlockFile("Backup04.txt", Block::ReadOnlyFile);
    EXPECT_NE(ErrorMessage([&] { data.ledger.Transfer(4); }), "no error");
    EXPECT_TRUE(Month(4).report.Enabled());
}

// 9E4931 + 9E4931 is past the extended range: the second transfer is refused before it
// changes anything, so no month shows a total its report does not hold.
TEST_F(MonthTransferTest, TransferThatWouldOverflowTheYearIsRefused) {
    Sell(1, "Gold", 1E4931L, 9);
    data.ledger.Transfer(1);
    const auto before = Everything();

    EXPECT_EQ(ErrorMessage([&] { data.ledger.Transfer(2); }), "The total would be too large");

    EXPECT_EQ(Everything(), before);
    EXPECT_FALSE(dir.Exists("Report02.txt"));
    EXPECT_FALSE(dir.Exists("Backup02.txt"));
}

}  // namespace
}  // namespace quilvern::test
