#include "app/program.h"

#include <QTimer>
#include <optional>

#include "app/application.h"
#include "app/polite_end.h"
#include "app/single_instance.h"
#include "core/crash_recovery.h"
#include "storage/ini_file.h"
#include "ui/error_box.h"
#include "ui/main_window.h"

namespace quilvern {

int RunProgram(int& argc, char** argv, CopyKind kind,
               const std::function<void(TForm1& form)>& shown) {
    Application application(argc, argv);
    PoliteEnd politeEnd;
    const std::string settingsFile = SettingsFilePath();
    // The folder of the reports and notes, and the one a running copy owns.
    const std::string programDirectory = DataDirectory(kind, ProgramDirectory());
    std::optional<SingleInstance> instance;
    try {
        instance.emplace(settingsFile, programDirectory);
    } catch (const std::exception& error) {
        ShowErrorBox(error);
        return 1;
    }
    if (!instance->IsFirst())
        return 0;
    CrashRecovery::RemoveLeftovers(programDirectory, settingsFile);
    TForm1 form(programDirectory);
    if (politeEnd.Requested())
        return 0;
    instance->RaiseOnRequest(form);
    politeEnd.Attach(form);
    form.show();
    if (shown)
        QTimer::singleShot(0, &form, [&form, &shown] { shown(form); });
    return application.exec();
}

}  // namespace quilvern
