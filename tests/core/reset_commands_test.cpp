#include "core/reset_commands.h"

#include <string>
#include <vector>

#include "core/year_report.h"
#include "form_data_fixture.h"

namespace quilvern::test {
namespace {

class ResetCommandsTest : public FormDataTest {
  protected:
    static std::string Key(int n, const char* field) {
        std::string number = std::to_string(n);
        return "P" + std::string(3 - number.size(), '0') + number + field;
    }
};

TEST_F(ResetCommandsTest, ClearNamesEmptiesEveryNameAndLeavesEveryTotal) {
    FillSheet();
    auto expected = Fields();
    for (int n = 1; n <= kLineCount; ++n)
        expected[Key(n, "Name")] = "";

    ClearNames(data.sheet);

    EXPECT_EQ(Fields(), expected);
    data.ledger.Transfer(2);
    EXPECT_EQ(data.reportText.Text(),
              "FEBRUARY SALES\r\n\r\n @ $2.50 x 4 = $10.00\r\n @ $1.25 x 2 = $2.50\r\n"
              "\r\nFEBRUARY TOTAL = $9.50\r\n");
}

TEST_F(ResetCommandsTest, ClearPricesZeroesPricesAndTotalsAndKeepsQuantities) {
    FillSheet();
    auto expected = Fields();
    for (int n = 1; n <= kLineCount; ++n) {
        expected[Key(n, "Price")] = " | $0.00 | $,0.00;-$,0.00";
        expected[Key(n, "Total")] = " | $0.00 | $,0.00;-$,0.00";
    }
    expected["FinalTotal"] = " | $0.00 | $,0.00;-$,0.00";

    ClearPrices(data.sheet);

    EXPECT_EQ(Fields(), expected);
}

TEST_F(ResetCommandsTest, ClearQuantitiesWritesZeroIntoEveryQuantityAndZeroesTotals) {
    FillSheet();
    auto expected = Fields();
    for (int n = 1; n <= kLineCount; ++n) {
        expected[Key(n, "Quantity")] = "0";
        expected[Key(n, "Total")] = " | $0.00 | $,0.00;-$,0.00";
    }
    expected["FinalTotal"] = " | $0.00 | $,0.00;-$,0.00";

    ClearQuantities(data.sheet);

    EXPECT_EQ(Fields(), expected);
}

TEST_F(ResetCommandsTest, ClearPricesOnZeroPricesChangesNothing) {
    Line(7).quantity.SetValue(5);
    const auto before = Fields();
    int changes = 0;
    for (ProductLine& line : data.sheet.lines) {
        line.price.OnChange.Add([&changes] { ++changes; });
    }

    ClearPrices(data.sheet);

    EXPECT_EQ(Fields(), before);
    EXPECT_EQ(changes, 0);
}

class ClearTransferTest : public ResetCommandsTest {
  protected:
    void TransferSome() {
        FillSheet();
        for (int m : {1, 3, 12})
            data.ledger.Transfer(m);
        CompileYearReport(data);
    }
};

TEST_F(ClearTransferTest, StartsANewYearAndKeepsTheBackups) {
    TransferSome();
    const std::string backup = dir.Read("Backup03.txt");
    const std::string yearBackup = dir.Read("BackupYear.txt");
    const std::string viewerText = data.reportText.Text();
    auto expected = Fields();
    for (int m = 1; m <= kMonthCount; ++m) {
        expected["Total" + std::string(kMonths[m - 1].name)] = " | $0.00 | $,0.00;-$,0.00";
        expected["Report" + std::string(kMonths[m - 1].name)] = "disabled";
    }
    expected["TotalYear"] = " | $0.00 | $,0.00;-$,0.00";

    ClearTransfer(data.ledger, data.dirLabel);

    EXPECT_EQ(Fields(), expected);
    for (const char* gone : {"Report01.txt", "Report03.txt", "Report12.txt", "ReportYear.txt"}) {
        EXPECT_FALSE(dir.Exists(gone)) << gone;
    }
    EXPECT_EQ(dir.Read("Backup03.txt"), backup);
    EXPECT_TRUE(dir.Exists("Backup01.txt"));
    EXPECT_TRUE(dir.Exists("Backup12.txt"));
    EXPECT_EQ(dir.Read("BackupYear.txt"), yearBackup);
    EXPECT_EQ(data.reportText.Text(), viewerText);
}

TEST_F(ClearTransferTest, ZeroesAllMonthsBeforeDisablingButtonsInCalendarOrder) {
    TransferSome();
    std::vector<std::string> disabled;
    for (int m = 1; m <= kMonthCount; ++m) {
        Month(m).report.OnChange.Add([this, m, &disabled] {
            disabled.push_back(std::string(kMonths[m - 1].name) + " with year total " +
                               data.ledger.totalYear.FormattedText());
        });
    }

    ClearTransfer(data.ledger, data.dirLabel);

    EXPECT_EQ(disabled, (std::vector<std::string>{"January with year total $0.00",
                                                  "March with year total $0.00",
                                                  "December with year total $0.00"}));
}

TEST_F(ClearTransferTest, WithoutReportFilesDeletesNothingElse) {
    dir.Write("Notes.txt", "keep");
    dir.Write("Backup05.txt", "keep");

    ClearTransfer(data.ledger, data.dirLabel);

    EXPECT_EQ(dir.Read("Notes.txt"), "keep");
    EXPECT_EQ(dir.Read("Backup05.txt"), "keep");
    EXPECT_EQ(data.ledger.totalYear.FormattedText(), "$0.00");
}

TEST_F(ClearTransferTest, ReportFileThatCannotBeDeletedStaysAndComesBackAtStartUp) {
    data.ledger.Transfer(6);
    std::filesystem::permissions(dir.Path() / "Report06.txt", std::filesystem::perms::owner_read);

    ClearTransfer(data.ledger, data.dirLabel);

    EXPECT_TRUE(dir.Exists("Report06.txt"));
    EXPECT_FALSE(Month(6).report.Enabled());
    data.EnableExistingReports();
    EXPECT_TRUE(Month(6).report.Enabled());
}

}  // namespace
}  // namespace quilvern::test
