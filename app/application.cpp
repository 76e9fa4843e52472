#include "app/application.h"

#include <QDir>

#include "ui/error_box.h"
#include "ui/skin.h"

namespace quilvern {

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {
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
