#include "app/application.h"
#include "app/polite_end.h"
#include "app/single_instance.h"
#include "core/crash_recovery.h"
#include "storage/data_directory.h"
#include "storage/ini_file.h"
#include "ui/main_window.h"

// The installed build (the package, "make install") is the same program built with
// QUILVERN_INSTALLED_COPY: it keeps each user's files in the user's data folder.
#ifdef QUILVERN_INSTALLED_COPY
constexpr quilvern::CopyKind kCopyKind = quilvern::CopyKind::Installed;
#else
constexpr quilvern::CopyKind kCopyKind = quilvern::CopyKind::SelfContained;
#endif

int main(int argc, char** argv) {
    quilvern::Application application(argc, argv);
    const std::string settingsFile = quilvern::SettingsFilePath();
    quilvern::SingleInstance instance(settingsFile);
    if (!instance.IsFirst())
        return 0;
    const std::string dataDirectory =
        quilvern::DataDirectory(kCopyKind, quilvern::ProgramDirectory());
    quilvern::CrashRecovery::RemoveLeftovers(dataDirectory, settingsFile);
    quilvern::TForm1 form(dataDirectory);
    instance.RaiseOnRequest(form);
    const quilvern::PoliteEnd politeEnd(form);
    form.show();
    return application.exec();
}
