// The program's own run in a child process of the tests: `program_child` runs exactly
// what main() runs; once the window is shown it types a price, a quantity and notes into
// the real window, waits until the recovery copy holds them, says "ready" on its
// standard output and runs on until something ends it.
#include <QPlainTextEdit>
#include <QTest>
#include <cstdio>

#include "app/program.h"
#include "core/crash_recovery.h"
#include "storage/ini_file.h"
#include "support/type_into.h"
#include "ui/main_window.h"

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    return quilvern::RunProgram(
        argc, argv, quilvern::CopyKind::SelfContained, [](quilvern::TForm1& form) {
            quilvern::test::TypeInto(form, "P001Price", "3.25");
            quilvern::test::TypeInto(form, "P001Quantity", "2");
            form.NotesClick();
            auto* notes = form.findChild<QPlainTextEdit*>(QStringLiteral("NoteText"));
            notes->setFocus();
            QTest::keyClicks(notes, "typed before the end");
            const std::string settingsFile = quilvern::SettingsFilePath();
            while (quilvern::CrashRecovery::RestorableNotes(settingsFile) != "typed before the end")
                QTest::qWait(20);
            std::puts("ready");
            std::fflush(stdout);
        });
}
