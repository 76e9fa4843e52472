// The window of a run that is about to crash: `recovery_child PROGRAM_DIRECTORY` types
// values and notes into the real window, waits until the recovery snapshot holds them,
// says "ready" on its standard output and keeps running until it is killed.
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <cstdio>

#include "core/crash_recovery.h"
#include "storage/ini_file.h"
#include "ui/main_window.h"
#include "ui/skin.h"

namespace {

void Type(quilvern::TForm1& form, const char* name, const char* keys) {
    auto* edit = form.findChild<QLineEdit*>(QString::fromLatin1(name));
    edit->setFocus(Qt::TabFocusReason);
    edit->selectAll();
    QTest::keyClicks(edit, keys);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2)
        return 2;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    quilvern::skin::Apply(application);
    quilvern::TForm1 form(argv[1]);
    form.show();
    Type(form, "P001Name", "Crash mug");
    Type(form, "P001Price", "3.25");
    Type(form, "P001Quantity", "7");
    form.SettingsClick();
    Type(form, "SetTitle", "After the crash");
    form.findChild<QComboBox*>("Currency")->setCurrentIndex(1);
    form.NotesClick();
    auto* notes = form.findChild<QPlainTextEdit*>("NoteText");
    notes->setFocus();
    QTest::keyClicks(notes, "typed before the crash");

    const std::string settingsFile = quilvern::SettingsFilePath();
    while (quilvern::CrashRecovery::RestorableNotes(settingsFile) != "typed before the crash")
        QTest::qWait(50);
    std::puts("ready");
    std::fflush(stdout);
    return application.exec();
}
