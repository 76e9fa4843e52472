#include <optional>

#include "app/application.h"
#include "app/polite_end.h"
#include "app/single_instance.h"
#include "core/crash_recovery.h"
#include "storage/ini_file.h"
#include "ui/error_box.h"
#include "ui/main_window.h"

int main(int argc, char** argv) {
    quilvern::Application application(argc, argv);
    quilvern::PoliteEnd politeEnd;
    const std::string settingsFile = quilvern::SettingsFilePath();
    const std::string programDirectory = quilvern::ProgramDirectory();
    std::optional<quilvern::SingleInstance> instance;
    try {
        instance.emplace(settingsFile, programDirectory);
    } catch (const std::exception& error) {
        quilvern::ShowErrorBox(error);
        return 1;
    }
    if (!instance->IsFirst())
        return 0;
    quilvern::CrashRecovery::RemoveLeftovers(programDirectory, settingsFile);
    quilvern::TForm1 form(programDirectory);
    if (politeEnd.Requested())
        return 0;
    instance->RaiseOnRequest(form);
    politeEnd.Attach(form);
    form.show();
    return application.exec();
}
