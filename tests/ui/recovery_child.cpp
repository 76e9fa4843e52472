// The window of a run that is about to crash: `recovery_child PROGRAM_DIRECTORY` types
// values and notes into the real window, waits until the recovery snapshot holds them,
// says "ready" on its standard output and keeps running until it is killed.
#include <QApplication>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QTest>
#include <cstdio>

#include "core/crash_recovery.h"
#include "storage/ini_file.h"
#include "support/type_into.h"
#include "ui/main_window.h"
#include "ui/skin.h"

int main(int argc, char** argv) {
    if (argc < 2)
        return 2;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    quilvern::skin::Apply(application);
    quilvern::TForm1 form(argv[1]);
    form.show();
    quilvern::test::TypeInto(form, "P001Name", "Crash mug");
    quilvern::test::TypeInto(form, "P001Price", "3.25");
    quilvern::test::TypeInto(form, "P001Quantity", "7");
    form.SettingsClick();
    quilvern::test::TypeInto(form, "SetTitle", "After the crash");
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
