#pragma once
// Answers every error box that opens while it lives, as the user would with OK, and
// keeps the texts shown, so tests can run the window's modal error path. The notice of
// a recovery copy that could not be written is kept apart.
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <string>
#include <vector>

namespace quilvern::test {

class ErrorBoxWatcher {
  public:
    ErrorBoxWatcher() {
        timer_.setInterval(10);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                auto* box = qobject_cast<QMessageBox*>(widget);
                if (box == nullptr || !box->isVisible())
                    continue;
                if (box->objectName() == QStringLiteral("RecoveryNotice")) {
                    notices.push_back(box->text().toStdString());
                } else {
                    texts.push_back(box->text().toStdString());
                    captions.push_back(box->windowTitle().toStdString());
                }
                box->accept();
            }
        });
        timer_.start();
    }

    std::vector<std::string> texts;
    std::vector<std::string> captions;
    std::vector<std::string> notices;

  private:
    QTimer timer_;
};

}  // namespace quilvern::test
