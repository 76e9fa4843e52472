#include <ostream>
#include <string>

#include "form_data_fixture.h"

namespace quilvern::test {
namespace {

TEST_F(FormDataTest, DesignedValuesBeforeStartUp) {
    FormData fresh;
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

TEST_F(FormDataTest, StartUpEnablesExactlyTheMonthsWhoseReportFileExists) {
    dir.Write("Report03.txt", "MARCH SALES\r\n");
    dir.Write("Backup04.txt", "APRIL SALES\r\n");
    std::filesystem::create_directory(dir.Path() / "Report05.txt");

    data.EnableExistingReports();

    for (int m = 1; m <= kMonthCount; ++m) {
        EXPECT_EQ(Month(m).report.Enabled(), m == 3) << m;
    }
}

TEST_F(FormDataTest, StartUpNeverDisablesAReportButton) {
    Month(1).report.SetEnabled(true);
    data.EnableExistingReports();
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

class LoadNotesTest : public FormDataTest, public ::testing::WithParamInterface<NotesFileCase> {};

TEST_P(LoadNotesTest, ReplacesTheNotesOnlyWhenTheFileExists) {
    if (GetParam().present)
        dir.Write("Notes.txt", GetParam().bytes);
    data.noteText.SetText("typed");

    data.LoadNotes();

    EXPECT_EQ(data.noteText.Text(), GetParam().notes);
}

INSTANTIATE_TEST_SUITE_P(
    NotesFiles, LoadNotesTest,
    ::testing::Values(NotesFileCase{"MissingFileKeepsNotes", false, "", "typed"},
                      NotesFileCase{"EmptyFileEmptiesNotes", true, "", ""},
                      NotesFileCase{"LfAndCrBreaksBecomeCrLf", true, "a\nb\rc", "a\r\nb\r\nc"}),
    [](const auto& info) { return std::string(info.param.rule); });

TEST_F(FormDataTest, UnreadableNotesFileThrowsAndKeepsTheNotes) {
    MakeUnreadable("Notes.txt", "secret");
    data.noteText.SetText("typed");

    EXPECT_EQ(ErrorMessage([&] { data.LoadNotes(); }), "Cannot open file " + Path("Notes.txt"));
    EXPECT_EQ(data.noteText.Text(), "typed");
}

TEST_F(FormDataTest, SaveNotesWritesTheTextAsItIsAlsoWhenEmpty) {
    for (const std::string notes : {"", "first\r\nsecond", "ends\r\n"}) {
        SCOPED_TRACE(notes);
        data.noteText.SetText(notes);
        data.SaveNotes();
        EXPECT_TRUE(dir.Exists("Notes.txt"));
        EXPECT_EQ(dir.Read("Notes.txt"), notes);
    }
}

TEST_F(FormDataTest, SaveNotesThatCannotBeWrittenThrowsWithThePath) {
    BlockFile("Notes.txt", Block::ReadOnlyFile);
    data.noteText.SetText("new");
    EXPECT_EQ(ErrorMessage([&] { data.SaveNotes(); }), "Cannot create file " + Path("Notes.txt"));
    EXPECT_EQ(dir.Read("Notes.txt"), "old text");
}

TEST_F(FormDataTest, OpeningAMonthShowsTheReportJustWritten) {
    Sell(1, "Tea", 2.5L, 4);
    data.ledger.Transfer(10);
    const std::string report = data.reportText.Text();
    data.reportText.SetText("something else");

    data.OpenMonthReport(10);

    EXPECT_EQ(data.reportText.Text(), report);
    EXPECT_EQ(viewerShown, 1);
}

TEST_F(FormDataTest, OpeningAMonthReadsItsFileWithCrLfBreaks) {
    dir.Write("Report02.txt", "FEBRUARY SALES\n\nFEBRUARY TOTAL = $0.00\n");
    data.OpenMonthReport(2);
    EXPECT_EQ(data.reportText.Text(), "FEBRUARY SALES\r\n\r\nFEBRUARY TOTAL = $0.00\r\n");
}

TEST_F(FormDataTest, OpeningAMonthWithoutFileShowsThePreviousText) {
    data.reportText.SetText("previous");
    data.OpenMonthReport(11);
    EXPECT_EQ(data.reportText.Text(), "previous");
    EXPECT_EQ(viewerShown, 1);
}

TEST_F(FormDataTest, OpeningAnUnreadableMonthThrowsBeforeTheViewer) {
    MakeUnreadable("Report11.txt", "NOVEMBER SALES\r\n");
    data.reportText.SetText("previous");

    EXPECT_EQ(ErrorMessage([&] { data.OpenMonthReport(11); }),
              "Cannot open file " + Path("Report11.txt"));
    EXPECT_EQ(data.reportText.Text(), "previous");
    EXPECT_EQ(viewerShown, 0);
}

}  // namespace
}  // namespace quilvern::test
