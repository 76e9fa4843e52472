#include "ui/error_box.h"

#include <QApplication>
#include <QMessageBox>

#include "ui/cp1252.h"
#include "values/error_text.h"

namespace quilvern {

void ShowErrorBox(std::string_view message) {
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Quilvern"),
                    FromCp1252(ErrorBoxText(message)), QMessageBox::Ok,
                    QApplication::activeWindow());
    box.setObjectName(QStringLiteral("ErrorBox"));
    box.exec();
}

}  // namespace quilvern
