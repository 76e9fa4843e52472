// A run that ends without a clean close (a crash, a kill, a power cut) loses nothing
// that was typed more than a few seconds before it ended.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <cstdio>
#include <memory>

#include "support/temp_dir.h"
#include "ui/main_window.h"

namespace quilvern {
namespace {

class CrashRecoveryTest : public ::testing::Test {
  protected:
    CrashRecoveryTest() {
        qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(dir.File("config")));
    }
    void Start() {
        form = std::make_unique<TForm1>(dir.WithSeparator());
        form->show();
        for (View view : {View::Transfer, View::Notes, View::Settings})
            form->ViewPanel(view);
    }
    QString Text(const char* name) {
        return form->findChild<QLineEdit*>(QString::fromLatin1(name))->text();
    }
    bool SnapshotExists() const { return dir.Exists("config/Quilvern.ini.recovery"); }

    test::TempDir dir;
    std::unique_ptr<TForm1> form;
};

// Runs the child until its snapshot is written, then kills it.
void RunAndKill(const std::string& programDirectory) {
    int out[2];
    ASSERT_EQ(pipe(out), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        dup2(out[1], STDOUT_FILENO);
        close(out[0]);
        execl(QUILVERN_RECOVERY_CHILD, QUILVERN_RECOVERY_CHILD, programDirectory.c_str(), nullptr);
        _exit(127);
    }
    close(out[1]);
    FILE* said = fdopen(out[0], "r");
    char line[16] = {};
    const bool ready = std::fgets(line, sizeof line, said) != nullptr;
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    std::fclose(said);
    ASSERT_TRUE(ready && std::string(line) == "ready\n") << "the child ended before its snapshot";
    ASSERT_TRUE(WIFSIGNALED(status));
}

TEST_F(CrashRecoveryTest, EverythingTypedComesBackAfterAKill) {
    RunAndKill(dir.WithSeparator());
    EXPECT_FALSE(dir.Exists("config/Quilvern.ini")) << "the settings file is written only at close";
    Start();
    const QString pound = QString::fromUtf8("\u00A3");
    EXPECT_EQ(Text("P001Name"), "Crash mug");
    EXPECT_EQ(Text("P001Price"), pound + "3.25");
    EXPECT_EQ(Text("P001Quantity"), "7");
    EXPECT_EQ(Text("P001Total"), pound + "22.75");
    EXPECT_EQ(Text("FinalTotal"), pound + "22.75");
    EXPECT_EQ(form->windowTitle(), "After the crash");
    EXPECT_EQ(form->Data().noteText.Text(), "typed before the crash");
}

TEST_F(CrashRecoveryTest, ACleanCloseLeavesNoSnapshot) {
    Start();
    form->Data().sheet.lines[2].quantity.SetValue(5);
    for (int wait = 0; wait < 100 && !SnapshotExists(); ++wait)
        QTest::qWait(50);
    ASSERT_TRUE(SnapshotExists());
    EXPECT_TRUE(form->close());
    EXPECT_FALSE(SnapshotExists());
    EXPECT_FALSE(dir.Exists("config/Quilvern.ini.notes.recovery"));
    EXPECT_TRUE(dir.Exists("config/Quilvern.ini"));
}

TEST_F(CrashRecoveryTest, NoChangeNoSnapshot) {
    Start();
    QTest::qWait(2500);
    EXPECT_FALSE(SnapshotExists());
}

TEST_F(CrashRecoveryTest, ADamagedSnapshotFallsBackToTheSettingsFile) {
    std::filesystem::create_directories(dir.Path() / "config");
    dir.Write("config/Quilvern.ini", "[Settings]\r\nSetTitle_Text=From the settings\r\n");
    std::string garbage;
    for (int i = 0; i < 4096; ++i)
        garbage += static_cast<char>((i * 7919) % 256);
    dir.Write("config/Quilvern.ini.recovery", garbage);
    Start();
    EXPECT_EQ(form->windowTitle(), "From the settings");
}

TEST_F(CrashRecoveryTest, ASnapshotTakesTheNotesButNeverTheViewersEdits) {
    Start();
    form->TransferClick();
    form->YearReportClick();
    const std::string report = form->Data().reportText.Text();
    auto* viewer = form->findChild<QPlainTextEdit*>(QStringLiteral("ReportText"));
    viewer->setFocus();
    QTest::keyClicks(viewer, "typed into the viewer");
    auto* notes = form->findChild<QPlainTextEdit*>(QStringLiteral("NoteText"));
    QTest::keyClicks(notes, "typed notes");

    form->KeepRecoverySnapshot();

    EXPECT_EQ(CrashRecovery::RestorableNotes(dir.File("config/Quilvern.ini")), "typed notes");
    EXPECT_EQ(form->Data().reportText.Text(), report);
}

}  // namespace
}  // namespace quilvern
