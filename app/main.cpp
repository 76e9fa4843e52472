#include "app/application.h"
#include "app/polite_end.h"
#include "app/single_instance.h"
#include "core/crash_recovery.h"
#include "storage/ini_file.h"
#include "ui/main_window.h"

int main(int argc, char** argv) {
    quilvern::Application application(argc, argv);
    const std::string settingsFile = quilvern::SettingsFilePath();
    quilvern::SingleInstance instance(settingsFile);
    if (!instance.IsFirst())
        return 0;
    const std::string programDirectory = quilvern::ProgramDirectory();
    quilvern::CrashRecovery::RemoveLeftovers(programDirectory, settingsFile);
    quilvern::TForm1 form(programDirectory);
    instance.RaiseOnRequest(form);
    const quilvern::PoliteEnd politeEnd(form);
    form.show();
    return application.exec();
}
