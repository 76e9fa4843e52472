#include "ui/error_box.h"

#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <cstdio>
#include <stdexcept>
#include <string>

#include "ui/cp1252.h"
#include "values/error_text.h"

namespace quilvern {
namespace {

bool silenced = false;

void Show(const QString& text) {
    if (silenced) {
        std::fprintf(stderr, "Quilvern: %s\n", qPrintable(text));
        return;
    }
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Quilvern"), text, QMessageBox::Ok,
                    QApplication::activeWindow());
    box.setObjectName(QStringLiteral("ErrorBox"));
    box.exec();
}

}  // namespace

void ShowErrorBox(const std::exception& error) {
    const ErrorBoxParts parts = ErrorBoxLayout(error);
    Show(FromCp1252(parts.before) + QFile::decodeName(parts.path.c_str()) +
         FromCp1252(parts.after));
}

void ShowErrorBox(std::string_view message) {
    ShowErrorBox(std::runtime_error(std::string(message)));
}

void SilenceErrorBoxes() {
    silenced = true;
}

}  // namespace quilvern
