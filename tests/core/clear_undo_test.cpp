#include "core/clear_undo.h"

#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <string>

#include "core/reset_commands.h"
#include "core/year_report.h"
#include "form_data_fixture.h"
#include "support/file_faults.h"

namespace quilvern::test {
namespace {

namespace fs = std::filesystem;

class ClearUndoTest : public FormDataTest {
  protected:
    // A sheet with sold, unsold, negative and oddly typed lines, three months with their
    // reports, the year report, and a month report dropped in by hand whose button the
    // program never enabled.
    void FillEverything() {
        FillSheet();
        Line(7).quantity.SetText(" 012");
        Line(8).name.SetText("Caf\xE9 \x80 \xA3");
        for (int m : {1, 3, 12})
            data.ledger.Transfer(m);
        CompileYearReport(data);
        dir.Write("Report05.txt", "MAY by hand\n\x80\xA3 no final break");
    }
    std::string Undone() {
        return ErrorMessage([this] { undo.Undo(); });
    }

    ClearUndo undo{data.sheet, data.ledger, data.dirLabel};
};

struct ClearCase {
    const char* rule;
    ClearCommand command;
    const char* caption;
    void (*plain)(FormData& data);  // the command as it runs without undo
};

class EachClear : public ClearUndoTest, public ::testing::WithParamInterface<ClearCase> {};

TEST_P(EachClear, UndoPutsBackSheetLedgerButtonsAndFilesExactly) {
    FillEverything();
    const auto fields = Fields();
    const auto files = Snapshot(dir.Path());

    undo.Run(GetParam().command);
    const auto clearedFields = Fields();
    const auto clearedFiles = Snapshot(dir.Path());
    ASSERT_NE(clearedFields, fields) << "the command clears something";
    EXPECT_EQ(undo.Caption(), GetParam().caption);

    EXPECT_EQ(Undone(), "no error");
    EXPECT_EQ(Fields(), fields);
    EXPECT_EQ(Snapshot(dir.Path()), files) << "every file byte for byte, nothing else";
    EXPECT_FALSE(undo.Offered()) << "one level only";

    GetParam().plain(data);
    EXPECT_EQ(Fields(), clearedFields) << "the command acts as it does without undo";
    auto shown = clearedFiles;  // what the undo set aside is hidden from the user
    std::erase_if(shown,
                  [](const auto& entry) { return entry.first.starts_with(".Quilvern-undo-"); });
    EXPECT_EQ(Snapshot(dir.Path()), shown);
}

INSTANTIATE_TEST_SUITE_P(
    Commands, EachClear,
    ::testing::Values(ClearCase{"names", ClearCommand::Names, "Undo Clear Names",
                                [](FormData& a) { ClearNames(a.sheet); }},
                      ClearCase{"prices", ClearCommand::Prices, "Undo Clear Prices",
                                [](FormData& a) { ClearPrices(a.sheet); }},
                      ClearCase{"quantities", ClearCommand::Quantities, "Undo Clear Quantities",
                                [](FormData& a) { ClearQuantities(a.sheet); }},
                      ClearCase{"transfer", ClearCommand::Transfer, "Undo Clear Transfer",
                                [](FormData& a) { ClearTransfer(a.ledger, a.dirLabel); }}),
    [](const auto& info) { return std::string(info.param.rule); });

TEST_F(ClearUndoTest, TotalsFollowThePutBackValues) {
    FillEverything();
    undo.Run(ClearCommand::Prices);
    Line(1).quantity.SetValue(5);  // a quantity is no price: the undo stays offered

    ASSERT_TRUE(undo.Offered());
    undo.Undo();

    EXPECT_EQ(Line(1).total.FormattedText(), "$12.50");  // 2.50 x 5
    // 12.50 + 1.25 x 2 - 3 x 1 = 12.00
    EXPECT_EQ(data.sheet.finalTotal.FormattedText(), "$12.00");
}

TEST_F(ClearUndoTest, WhatEndsTheChance) {
    struct Case {
        const char* rule;
        std::function<void()> after;
        bool offered;
    };
    for (const Case& c : std::initializer_list<Case>{
             {"nothing_keeps_it", [] {}, true},
             {"editing_a_cleared_name_ends_it", [this] { Line(3).name.SetText("new"); }, false},
             {"editing_a_price_keeps_it", [this] { Line(3).price.SetValue(9); }, true},
             {"writing_the_same_text_changes_nothing_and_keeps_it",
              [this] { Line(3).name.SetText(""); }, true},
             {"a_transfer_ends_it",
              [this] {
                  data.ledger.Transfer(2);
                  undo.Forget();
              },
              false},
             {"a_new_clear_takes_its_place", [this] { undo.Run(ClearCommand::Prices); }, false},
             {"undone_once_only", [this] { undo.Undo(); }, false}}) {
        SCOPED_TRACE(c.rule);
        undo.Run(ClearCommand::Names);
        c.after();
        EXPECT_EQ(undo.Offered() == ClearCommand::Names, c.offered);
        undo.Forget();
    }
}

TEST_F(ClearUndoTest, ANewClearIsUndoneAloneAndTheOneBeforeStays) {
    FillEverything();
    undo.Run(ClearCommand::Names);
    undo.Run(ClearCommand::Prices);

    undo.Undo();

    EXPECT_EQ(Line(1).price.FormattedText(), "$2.50");
    EXPECT_EQ(Line(1).name.Text(), "");
    undo.Undo();
    EXPECT_EQ(Line(1).name.Text(), "") << "one level only";
}

TEST_F(ClearUndoTest, UndoWithNothingOfferedDoesNothing) {
    FillEverything();
    const auto fields = Fields();
    const auto files = Snapshot(dir.Path());

    EXPECT_EQ(Undone(), "no error");

    EXPECT_EQ(Fields(), fields);
    EXPECT_EQ(Snapshot(dir.Path()), files);
}

// A deleted report that cannot come back: every value still comes back, the file is
// named, nothing in its place is overwritten, and its month's button stays disabled.
TEST_F(ClearUndoTest, ANameTakenSinceIsNeverOverwritten) {
    FillEverything();
    const auto fields = Fields();
    const std::string january = dir.Read("Report01.txt");
    undo.Run(ClearCommand::Transfer);
    dir.Write("Report03.txt", "a new March");

    EXPECT_EQ(Undone(), "Cannot restore file " + Path("Report03.txt"));

    auto expected = fields;
    expected["ReportMarch"] = "disabled";
    EXPECT_EQ(Fields(), expected);
    EXPECT_EQ(dir.Read("Report03.txt"), "a new March");
    EXPECT_EQ(dir.Read("Report01.txt"), january);
    EXPECT_TRUE(dir.Exists("ReportYear.txt"));
}

TEST_F(ClearUndoTest, ANameTakenByTheSameTextCountsAsPutBack) {
    FillEverything();
    const std::string march = dir.Read("Report03.txt");
    undo.Run(ClearCommand::Transfer);
    dir.Write("Report03.txt", march);  // copied back from the backup by hand

    EXPECT_EQ(Undone(), "no error");
    EXPECT_TRUE(Month(3).report.Enabled());
}

TEST_F(ClearUndoTest, AFolderThatTakesNoNewFilesNamesEveryFile) {
    FillEverything();
    const auto fields = Fields();
    undo.Run(ClearCommand::Transfer);
    UnwritableDirectory locked(dir.Path());
    if (!locked.Active())
        GTEST_SKIP() << "cannot make a directory unwritable here";

    try {
        undo.Undo();
        ADD_FAILURE() << "no error";
    } catch (const Error& error) {
        EXPECT_EQ(error.Message(), "Cannot restore these files");
        EXPECT_EQ(error.Path(), Path("Report01.txt") + "\n" + Path("Report03.txt") + "\n" +
                                    Path("Report05.txt") + "\n" + Path("Report12.txt") + "\n" +
                                    Path("ReportYear.txt"));
    }

    auto expected = fields;
    for (const char* month : {"ReportJanuary", "ReportMarch", "ReportDecember"})
        expected[month] = "disabled";
    EXPECT_EQ(Fields(), expected);
}

TEST_F(ClearUndoTest, AFileTheCommandCouldNotDeleteNeedsNothing) {
    FillEverything();
    const auto fields = Fields();
    fs::permissions(dir.Path() / "Report03.txt", fs::perms::owner_read);
    const auto files = Snapshot(dir.Path());
    undo.Run(ClearCommand::Transfer);
    ASSERT_TRUE(dir.Exists("Report03.txt"));

    EXPECT_EQ(Undone(), "no error");

    EXPECT_EQ(Fields(), fields);
    EXPECT_EQ(Snapshot(dir.Path()), files);
}

// The file itself is set aside and put back, so even one nobody may read comes back.
TEST_F(ClearUndoTest, AFileThatCannotBeReadComesBackAsItWas) {
    FillEverything();
    // Writable, so the command may remove it, but no read bit for anybody.
    dir.Write("Report12.txt", "DECEMBER SALES\r\n");
    fs::permissions(dir.Path() / "Report12.txt", fs::perms::owner_write);
    undo.Run(ClearCommand::Transfer);
    ASSERT_FALSE(dir.Exists("Report12.txt"));

    EXPECT_EQ(Undone(), "no error");
    EXPECT_EQ(ModeOf(Path("Report12.txt")), 0200u);
    fs::permissions(dir.Path() / "Report12.txt", fs::perms::owner_read, fs::perm_options::add);
    EXPECT_EQ(dir.Read("Report12.txt"), "DECEMBER SALES\r\n");
    EXPECT_TRUE(Month(12).report.Enabled());
}

// Until the chance to undo ends, what the command removed waits on disk under a hidden
// name; then it goes, and nothing else does.
TEST_F(ClearUndoTest, WhatClearTransferRemovedWaitsOnDiskUntilTheChanceEnds) {
    FillEverything();
    const std::string march = dir.Read("Report03.txt");
    undo.Run(ClearCommand::Transfer);
    EXPECT_EQ(dir.Read(".Quilvern-undo-Report03.txt"), march);
    EXPECT_TRUE(dir.Exists(".Quilvern-undo-ReportYear.txt"));
    const auto waiting = Snapshot(dir.Path());

    undo.Run(ClearCommand::Names);  // the next command ends the chance
    auto left = waiting;
    std::erase_if(left,
                  [](const auto& entry) { return entry.first.starts_with(".Quilvern-undo-"); });
    EXPECT_EQ(Snapshot(dir.Path()), left);
    EXPECT_LT(left.size(), waiting.size());
}

}  // namespace
}  // namespace quilvern::test
