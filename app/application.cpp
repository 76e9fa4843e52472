#include "app/application.h"

#include <QDir>
#include <QLibraryInfo>

#include "ui/error_box.h"
#include "ui/skin.h"

namespace quilvern {
namespace {

// Qt looks for plugins beside the executable too, where anyone who may write the program
// folder could put code that would run as the trader; so only Qt's own installed folder
// is searched. Set before the application exists, which loads the platform plugin, and
// again once it does, since making it adds the executable's folder back.
int& OnlyInstalledPlugins(int& argc) {
    QCoreApplication::setLibraryPaths({QLibraryInfo::path(QLibraryInfo::PluginsPath)});
    return argc;
}

}  // namespace

Application::Application(int& argc, char** argv) : QApplication(OnlyInstalledPlugins(argc), argv) {
    setLibraryPaths({QLibraryInfo::path(QLibraryInfo::PluginsPath)});
    setApplicationName(QStringLiteral("Quilvern"));
    setDesktopFileName(QStringLiteral("quilvern"));
    skin::Apply(*this);
}

bool Application::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        ShowErrorBox(error);
        return false;
    }
}

std::string ProgramDirectory() {
    return QDir(QCoreApplication::applicationDirPath()).canonicalPath().toStdString() + "/";
}

}  // namespace quilvern
