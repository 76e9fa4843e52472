// Faults of the disk and hostile files, provoked for real through the window: each
// shows its message, and nothing that was saved is lost. The tests run as root in CI,
// so files are made unwritable or unreadable by their mode bits, which the program
// honours for everyone, and folders by putting a file where a folder should be.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "support/temp_dir.h"
#include "ui/error_box_watcher.h"
#include "ui/main_window.h"

namespace quilvern {
namespace {

namespace fs = std::filesystem;

class HostileFilesTest : public ::testing::Test {
  protected:
    HostileFilesTest() {
        qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(dir.File("config")));
    }
    enum class Views { AllBuilt, AsTheyAreShown };
    void Start(const std::string& programDirectory, Views views = Views::AllBuilt) {
        form = std::make_unique<TForm1>(programDirectory);
        form->show();
        if (views == Views::AsTheyAreShown)
            return;
        for (View view : {View::Transfer, View::Notes, View::Settings})
            form->ViewPanel(view);
    }
    void Start() { Start(dir.WithSeparator()); }
    void SellTea() {
        ProductLine& tea = form->Data().sheet.lines[0];
        tea.name.SetText("Tea");
        tea.price.SetValue(2.5L);
        tea.quantity.SetValue(4);
    }
    void Click(const char* name) {
        QTest::mouseClick(form->findChild<QWidget*>(QString::fromLatin1(name)), Qt::LeftButton);
        QTest::qWait(30);
    }
    bool Enabled(const char* name) {
        return form->findChild<QWidget*>(QString::fromLatin1(name))->isEnabled();
    }

    test::TempDir dir;
    test::ErrorBoxWatcher boxes;
    std::unique_ptr<TForm1> form;
};

TEST_F(HostileFilesTest, ProgramFolderThatCannotBeWritten) {
    dir.Write("not-a-folder", "");
    const std::string folder = dir.File("not-a-folder") + "/";
    Start(folder);
    SellTea();
    form->TransferClick();
    Click("TransferJan");
    ASSERT_EQ(boxes.texts.size(), 1u);
    EXPECT_EQ(boxes.texts[0], "Cannot create file " + folder + "Report01.txt.");
    EXPECT_EQ(form->Data().ledger.months[0].total.FormattedText(), "$10.00");
    EXPECT_FALSE(Enabled("ReportJan"));
}

TEST_F(HostileFilesTest, ReadOnlyReportKeepsItsText) {
    dir.Write("Report01.txt", "the old report\r\n");
    fs::permissions(dir.Path() / "Report01.txt", fs::perms::owner_read | fs::perms::group_read);
    Start();
    SellTea();
    form->TransferClick();
    Click("TransferJan");
    ASSERT_EQ(boxes.texts.size(), 1u);
    EXPECT_EQ(boxes.texts[0], "Cannot create file " + dir.File("Report01.txt") + ".");
    EXPECT_EQ(dir.Read("Report01.txt"), "the old report\r\n");
    EXPECT_FALSE(dir.Exists("Backup01.txt")) << "the transfer stops at the failing step";
}

TEST_F(HostileFilesTest, FolderBearingAReportsName) {
    fs::create_directory(dir.Path() / "Report02.txt");
    Start();
    EXPECT_FALSE(Enabled("ReportFeb")) << "a folder is no report file";
    SellTea();
    form->TransferClick();
    Click("TransferFeb");
    ASSERT_EQ(boxes.texts.size(), 1u);
    EXPECT_EQ(boxes.texts[0], "Cannot create file " + dir.File("Report02.txt") + ".");
    EXPECT_TRUE(fs::is_directory(dir.Path() / "Report02.txt"));
}

TEST_F(HostileFilesTest, NotesWithoutReadPermission) {
    dir.Write("Notes.txt", "private notes");
    fs::permissions(dir.Path() / "Notes.txt", fs::perms::none);
    Start();
    QTest::qWait(30);
    ASSERT_FALSE(boxes.texts.empty());
    EXPECT_EQ(boxes.texts[0], "Cannot open file " + dir.File("Notes.txt") + ".");
    EXPECT_EQ(form->Data().noteText.Text(), "");
    EXPECT_TRUE(form->close());
    fs::permissions(dir.Path() / "Notes.txt", fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(dir.Read("Notes.txt"), "private notes") << "not replaced by the empty notes area";
}

TEST_F(HostileFilesTest, AFolderNamedWithAccentsIsShownAsItIsNamed) {
    const std::string folder = dir.File("Kass\xC3\xA9") + "/";  // UTF-8, as the disk has it
    fs::create_directory(folder);
    std::ofstream(folder + "Notes.txt") << "private notes";
    fs::permissions(folder + "Notes.txt", fs::perms::none);
    Start(folder);
    QTest::qWait(30);
    ASSERT_FALSE(boxes.texts.empty());
    EXPECT_EQ(boxes.texts[0], "Cannot open file " + folder + "Notes.txt.");
}

TEST_F(HostileFilesTest, SettingsFileThatCannotBeReadIsToldAtStartAndNeverReplaced) {
    fs::create_directories(dir.Path() / "config");
    dir.Write("config/Quilvern.ini", "[Settings]\r\nSetTitle_Text=Mine\r\n");
    fs::permissions(dir.Path() / "config/Quilvern.ini", fs::perms::owner_write);
    Start();
    QTest::qWait(30);
    ASSERT_EQ(boxes.texts.size(), 1u);
    EXPECT_EQ(boxes.texts[0], "Cannot open file " + dir.File("config/Quilvern.ini") + ".");
    form->Data().sheet.lines[0].quantity.SetValue(3);
    form->close();
    form.reset();
    QTest::qWait(30);
    fs::permissions(dir.Path() / "config/Quilvern.ini", fs::perms::owner_read);
    EXPECT_EQ(dir.Read("config/Quilvern.ini"), "[Settings]\r\nSetTitle_Text=Mine\r\n");
    EXPECT_TRUE(dir.Exists("config/Quilvern.ini.recovery")) << "what could not be saved is kept";
}

TEST_F(HostileFilesTest, NotesTypedAfterAnUnreadableFileReplaceIt) {
    dir.Write("Notes.txt", "private notes");
    fs::permissions(dir.Path() / "Notes.txt", fs::perms::owner_write);
    Start();
    form->Data().noteText.SetText("new notes");
    EXPECT_TRUE(form->close());
    fs::permissions(dir.Path() / "Notes.txt", fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(dir.Read("Notes.txt"), "new notes");
}

TEST_F(HostileFilesTest, DiskFillingUpDuringAWrite) {
    dir.Write("Report01.txt", "the old report\r\n");
    Start();
    SellTea();
    for (int n = 1; n < 50; ++n) {  // a report of about two kilobytes
        form->Data().sheet.lines[n].quantity.SetValue(n);
    }
    form->TransferClick();
    // Files may grow to one kilobyte only, as on a disk that is full.
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 1024;
    setrlimit(RLIMIT_FSIZE, &small);
    Click("TransferJan");
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previous);
    ASSERT_EQ(boxes.texts.size(), 1u);
    EXPECT_EQ(boxes.texts[0], "Stream write error.\n" + dir.File("Report01.txt"));
    EXPECT_EQ(dir.Read("Report01.txt"), "the old report\r\n");
    // The snapshot after the transfer did not fit either: the user is told, once.
    EXPECT_EQ(boxes.notices.size(), 1u);
}

// No settings file the program writes comes near a megabyte: a larger one is refused
// at start with one box, before a byte of it is read, and is never replaced.
TEST_F(HostileFilesTest, SettingsFileOfTenMegabytesOfGarbage) {
    fs::create_directories(dir.Path() / "config");
    std::string garbage(10 << 20, '\0');
    for (std::size_t i = 0; i < garbage.size(); ++i)
        garbage[i] = static_cast<char>(i * 131 % 251);
    dir.Write("config/Quilvern.ini", garbage);
    Start();
    QTest::qWait(30);
    ASSERT_EQ(boxes.texts.size(), 1u);
    EXPECT_EQ(boxes.texts[0], "The settings file " + dir.File("config/Quilvern.ini") +
                                  " is larger than any Quilvern writes. It is kept as it is, and "
                                  "Quilvern starts from its designed values.");
    EXPECT_EQ(form->windowTitle(), "Quilvern");
    SellTea();
    form->close();
    form.reset();
    EXPECT_EQ(dir.Read("config/Quilvern.ini"), garbage);
    EXPECT_TRUE(dir.Exists("config/Quilvern.ini.recovery")) << "what could not be saved is kept";
}

// Line totals that no grand total can hold are refused at start-up with one message:
// the grand total keeps what was stored and the notes are read, so the close cannot
// write empty notes over them. (The quantities, of an older layout, are not read, so no
// line handler recomputes the totals.)
TEST_F(HostileFilesTest, SettingsFileWithLineTotalsTooLargeToAddUp) {
    fs::create_directories(dir.Path() / "config");
    dir.Write("config/Quilvern.ini",
              "[Quantity]\r\nFormVersion=-1\r\n[Total]\r\nFinalTotal_Value=5\r\n"
              "P001Total_Value=9E4931\r\nP002Total_Value=9E4931\r\n");
    dir.Write("Notes.txt", "my notes");
    Start();
    EXPECT_EQ(boxes.texts, std::vector<std::string>{"The total would be too large."});
    EXPECT_EQ(form->Data().sheet.finalTotal.FormattedText(), "$5.00");
    EXPECT_EQ(form->Data().noteText.Text(), "my notes");
    EXPECT_TRUE(form->close());
    EXPECT_EQ(dir.Read("Notes.txt"), "my notes");
}

TEST_F(HostileFilesTest, NotesFileOfFiftyMegabytes) {
    std::string notes;
    notes.reserve(50 << 20);
    while (notes.size() < (50u << 20))
        notes += "A long line of notes that goes on and on.\n";
    dir.Write("Notes.txt", notes);
    // The notes view is built when first opened; the file is kept whole either way.
    Start(dir.WithSeparator(), Views::AsTheyAreShown);
    EXPECT_EQ(form->Data().noteText.Text().size(), notes.size() + notes.size() / 42);
    EXPECT_TRUE(form->close());
    const std::string written = dir.Read("Notes.txt");
    EXPECT_EQ(written.size(), notes.size() + notes.size() / 42) << "every LF came back as CR LF";
    EXPECT_TRUE(boxes.texts.empty());
}

TEST_F(HostileFilesTest, ReportWithNulBytesAndCrOnlyBreaks) {
    dir.Write("Report03.txt", std::string("MARCH\rline with \0 a NUL\rend", 27));
    Start();
    form->TransferClick();
    Click("ReportMar");
    EXPECT_EQ(form->Data().reportText.Text(),
              std::string("MARCH\r\nline with \0 a NUL\r\nend", 29));
    Click("ReportClose");
    Click("YearReport");
    EXPECT_NE(dir.Read("ReportYear.txt").find(std::string("with \0 a NUL\r\nend\r\n\r\n", 21)),
              std::string::npos);
    EXPECT_TRUE(boxes.texts.empty());
}

TEST_F(HostileFilesTest, TextsTheCodePageCannotHold) {
    Start();
    auto* name = form->findChild<QLineEdit*>("P001Name");
    name->setFocus();
    name->selectAll();
    name->insert(QString::fromUtf8("Чай \U0001F375 \u00E9t\u00E9"));
    form->findChild<QPlainTextEdit*>("NoteText")->setPlainText(QString::fromUtf8("日本 ok"));
    form->Data().setTitle.SetText("\xE9t\xE9");
    EXPECT_TRUE(form->close());
    form.reset();
    EXPECT_EQ(dir.Read("Notes.txt"), "?? ok");
    Start();
    EXPECT_EQ(form->Data().sheet.lines[0].name.Text(), "??? ? \xE9t\xE9");
    EXPECT_EQ(form->windowTitle(), QString::fromUtf8("\u00E9t\u00E9"));
}

}  // namespace
}  // namespace quilvern
