// Starts either the real window or a bare Qt window that only shows itself, and at the
// first paint of the window prints the wall-clock time (ns since the epoch) and the
// peak resident memory (KiB), then ends at once. bench/startup.sh compares the two.
#include <sys/resource.h>

#include <QApplication>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "app/application.h"
#include "app/polite_end.h"
#include "app/single_instance.h"
#include "storage/ini_file.h"
#include "ui/main_window.h"

namespace {

class FirstPaint : public QObject {
  public:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint || event->type() == QEvent::UpdateRequest) {
            const auto now = std::chrono::system_clock::now().time_since_epoch();
            rusage usage{};
            getrusage(RUSAGE_SELF, &usage);
            std::printf("%lld %ld\n",
                        static_cast<long long>(
                            std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()),
                        usage.ru_maxrss);
            std::fflush(stdout);
            std::quick_exit(0);
        }
        return false;
    }
};

}  // namespace

int main(int argc, char** argv) {
    const bool bare = argc > 1 && std::string(argv[1]) == "bare";
    FirstPaint probe;
    if (bare) {
        QApplication application(argc, argv);
        QWidget window;
        window.setFixedSize(524, 408);
        window.installEventFilter(&probe);
        window.show();
        return application.exec();
    }
    // As app/main.cpp starts: the signal handler, both locks and the socket, the window.
    quilvern::Application application(argc, argv);
    quilvern::PoliteEnd politeEnd;
    QTemporaryDir folder;
    qputenv("XDG_CONFIG_HOME", folder.path().toUtf8());
    const std::string programDirectory = folder.path().toStdString() + "/";
    quilvern::SingleInstance instance(quilvern::SettingsFilePath(), programDirectory);
    quilvern::TForm1 form(programDirectory);
    instance.RaiseOnRequest(form);
    politeEnd.Attach(form);
    form.installEventFilter(&probe);
    form.show();
    return application.exec();
}
