#include <ostream>
#include <string>

#include "accounts_fixture.h"

namespace quilvern::test {
namespace {

TEST_F(AccountsTest, DesignedValuesBeforeStartUp) {
    Accounts fresh;
    EXPECT_EQ(fresh.dirLabel, "DirLabel");
    EXPECT_EQ(fresh.fileLabel, "FileLabel");
    EXPECT_EQ(fresh.setTitle.Text(), "Quilvern");
    EXPECT_EQ(fresh.currency.Text(), "Dollar ($)");
    EXPECT_EQ(fresh.noteText.Text(), "");
    EXPECT_EQ(fresh.reportText.Text(), "");
    for (const MonthSlot& month : fresh.ledger.months) {
        EXPECT_FALSE(month.report.Enabled());
        EXPECT_TRUE(month.total.ReadOnly);
        EXPECT_FALSE(month.total.AutoSelect);
    }
    EXPECT_FALSE(fresh.ledger.totalYear.AutoSelect);
}

TEST_F(AccountsTest, StartUpEnablesExactlyTheMonthsWhoseReportFileExists) {
    dir.Write("Report03.txt", "MARCH SALES\r\n");
    dir.Write("Backup04.txt", "APRIL SALES\r\n");
    std::filesystem::create_directory(dir.Path() / "Report05.txt");

    accounts.EnableExistingReports();

    for (int m = 1; m <= kMonthCount; ++m) {
        EXPECT_EQ(Month(m).report.Enabled(), m == 3) << m;
    }
}

TEST_F(AccountsTest, StartUpNeverDisablesAReportButton) {
    Month(1).report.SetEnabled(true);
    accounts.EnableExistingReports();
    EXPECT_TRUE(Month(1).report.Enabled());
}

struct NotesFileCase {
    const char* rule;
    bool present;
    std::string bytes;
    std::string notes;  // after loading over the notes "typed"
};
void PrintTo(const NotesFileCase& c, std::ostream* os) {
    *os << c.rule;
}

class LoadNotesTest : public AccountsTest, public ::testing::WithParamInterface<NotesFileCase> {};

TEST_P(LoadNotesTest, ReplacesTheNotesOnlyWhenTheFileExists) {
    if (GetParam().present)
        dir.Write("Notes.txt", GetParam().bytes);
    accounts.noteText.SetText("typed");

    accounts.LoadNotes();

    EXPECT_EQ(accounts.noteText.Text(), GetParam().notes);
}

INSTANTIATE_TEST_SUITE_P(
    NotesFiles, LoadNotesTest,
    ::testing::Values(NotesFileCase{"MissingFileKeepsNotes", false, "", "typed"},
                      NotesFileCase{"EmptyFileEmptiesNotes", true, "", ""},
                      NotesFileCase{"LfAndCrBreaksBecomeCrLf", true, "a\nb\rc", "a\r\nb\r\nc"}),
    [](const auto& info) { return std::string(info.param.rule); });

TEST_F(AccountsTest, UnreadableNotesFileThrowsAndKeepsTheNotes) {
    MakeUnreadable("Notes.txt", "secret");
    accounts.noteText.SetText("typed");

    EXPECT_EQ(ErrorMessage([&] { accounts.LoadNotes(); }), "Cannot open file " + Path("Notes.txt"));
    EXPECT_EQ(accounts.noteText.Text(), "typed");
}

TEST_F(AccountsTest, SaveNotesWritesTheTextAsItIsAlsoWhenEmpty) {
    for (const std::string notes : {"", "first\r\nsecond", "ends\r\n"}) {
        SCOPED_TRACE(notes);
        accounts.noteText.SetText(notes);
        accounts.SaveNotes();
        EXPECT_TRUE(dir.Exists("Notes.txt"));
        EXPECT_EQ(dir.Read("Notes.txt"), notes);
    }
}

TEST_F(AccountsTest, SaveNotesThatCannotBeWrittenThrowsWithThePath) {
    BlockFile("Notes.txt", Block::ReadOnlyFile);
    accounts.noteText.SetText("new");
    EXPECT_EQ(ErrorMessage([&] { accounts.SaveNotes(); }),
              "Cannot create file " + Path("Notes.txt"));
    EXPECT_EQ(dir.Read("Notes.txt"), "old text");
}

TEST_F(AccountsTest, OpeningAMonthShowsTheReportJustWritten) {
    Sell(1, "Tea", 2.5L, 4);
    accounts.ledger.Transfer(10);
    const std::string report = accounts.reportText.Text();
    accounts.reportText.SetText("something else");

    accounts.OpenMonthReport(10);

    EXPECT_EQ(accounts.reportText.Text(), report);
    EXPECT_EQ(viewerShown, 1);
}

TEST_F(AccountsTest, OpeningAMonthReadsItsFileWithCrLfBreaks) {
    dir.Write("Report02.txt", "FEBRUARY SALES\n\nFEBRUARY TOTAL = $0.00\n");
    accounts.OpenMonthReport(2);
    EXPECT_EQ(accounts.reportText.Text(), "FEBRUARY SALES\r\n\r\nFEBRUARY TOTAL = $0.00\r\n");
}

TEST_F(AccountsTest, OpeningAMonthWithoutFileShowsThePreviousText) {
    accounts.reportText.SetText("previous");
    accounts.OpenMonthReport(11);
    EXPECT_EQ(accounts.reportText.Text(), "previous");
    EXPECT_EQ(viewerShown, 1);
}

TEST_F(AccountsTest, OpeningAnUnreadableMonthThrowsBeforeTheViewer) {
    MakeUnreadable("Report11.txt", "NOVEMBER SALES\r\n");
    accounts.reportText.SetText("previous");

    EXPECT_EQ(ErrorMessage([&] { accounts.OpenMonthReport(11); }),
              "Cannot open file " + Path("Report11.txt"));
    EXPECT_EQ(accounts.reportText.Text(), "previous");
    EXPECT_EQ(viewerShown, 0);
}

}  // namespace
}  // namespace quilvern::test
