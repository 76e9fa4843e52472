#pragma once
// The application object: titled "Quilvern", skinned, and the last net for errors that
// reach the event loop, which it shows in the error box before going on.
#include <QApplication>

namespace quilvern {

class Application : public QApplication {
    Q_OBJECT
  public:
    Application(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

// The directory that holds the executable, resolved from its real path, with its
// trailing separator.
std::string ProgramDirectory();

}  // namespace quilvern
