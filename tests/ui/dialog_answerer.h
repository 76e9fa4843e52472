#pragma once
// Answers the next modal dialog of a given object name as the user would, by running
// an action on it once it is on screen, so tests can go through a dialog's real path.
#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <functional>

namespace quilvern::test {

template <typename Dialog = QDialog>
class DialogAnswerer {
  public:
    DialogAnswerer(const char* name, std::function<void(Dialog&)> answer)
        : name_(QString::fromLatin1(name)), answer_(std::move(answer)) {
        timer_.setInterval(10);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                auto* dialog = qobject_cast<Dialog*>(widget);
                if (dialog == nullptr || !dialog->isVisible() || dialog->objectName() != name_)
                    continue;
                timer_.stop();
                ++answered;
                answer_(*dialog);
                return;
            }
        });
        timer_.start();
    }

    int answered = 0;

  private:
    QString name_;
    std::function<void(Dialog&)> answer_;
    QTimer timer_;
};

}  // namespace quilvern::test
