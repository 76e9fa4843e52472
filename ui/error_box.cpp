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

// The path in the file system's encoding, the rest in Windows-1252.
QString BoxText(const std::exception& error) {
    const ErrorBoxParts parts = ErrorBoxLayout(error);
    return FromCp1252(parts.before) + QFile::decodeName(parts.path.c_str()) +
           FromCp1252(parts.after);
}

}  // namespace

void ShowErrorBox(const std::exception& error) {
    Show(BoxText(error));
}

void ShowNotice(QWidget& parent, const QString& name, const QString& lead,
                const std::exception& error) {
    auto* notice =
        new QMessageBox(QMessageBox::Warning, QStringLiteral("Quilvern"),
                        lead + QStringLiteral("\n\n") + BoxText(error), QMessageBox::Ok, &parent);
    notice->setObjectName(name);
    notice->setAttribute(Qt::WA_DeleteOnClose);
    notice->setWindowModality(Qt::NonModal);
    notice->show();
}

void ShowErrorBox(std::string_view message) {
    ShowErrorBox(std::runtime_error(std::string(message)));
}

void SilenceErrorBoxes() {
    silenced = true;
}

}  // namespace quilvern
