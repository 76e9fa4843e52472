#include "app/polite_end.h"

#include <fcntl.h>
#include <unistd.h>

#include <QCoreApplication>
#include <array>
#include <csignal>
#include <cstdlib>
#include <thread>

#include "ui/error_box.h"
#include "ui/main_window.h"

namespace quilvern {
namespace {

constexpr std::array<int, 3> kPoliteSignals = {SIGTERM, SIGHUP, SIGINT};

int signalPipe[2] = {-1, -1};
TForm1* runningForm = nullptr;
std::thread::id eventThread;

void OnSignal(int) {
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &byte, 1);
    errno = saved;
}

// Qt ends the process with exit() when the display connection breaks. Only the event
// thread may touch the window, and only while it still exists.
void OnExit() {
    if (runningForm != nullptr && std::this_thread::get_id() == eventThread)
        runningForm->KeepRecoverySnapshot();
}

}  // namespace

PoliteEnd::PoliteEnd() {
    if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    signals_ = std::make_unique<QSocketNotifier>(signalPipe[0], QSocketNotifier::Read);
    QObject::connect(signals_.get(), &QSocketNotifier::activated, signals_.get(), [this] {
        char bytes[16];
        while (::read(signalPipe[0], bytes, sizeof bytes) > 0) {
        }
        End();
    });
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : kPoliteSignals)
        ::sigaction(signal, &action, nullptr);
    // A file-size limit must fail the one write that meets it, as a full disk does, not
    // end the program with everything unsaved.
    std::signal(SIGXFSZ, SIG_IGN);
}

void PoliteEnd::Attach(TForm1& form) {
    form_ = &form;
    runningForm = &form;
    eventThread = std::this_thread::get_id();
    static const bool registered = std::atexit(OnExit) == 0;
    (void)registered;
}

PoliteEnd::~PoliteEnd() {
    runningForm = nullptr;
    for (int signal : kPoliteSignals)
        std::signal(signal, SIG_DFL);
    signals_.reset();
    for (int& fd : signalPipe) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
}

// A close without anybody to answer a box: the settings and the notes are saved as at a
// close, and whatever could not be saved is kept in the snapshot for the next start.
// Before the window is attached, exit() ends the loop of whatever box is open.
void PoliteEnd::End() {
    SilenceErrorBoxes();
    if (form_ == nullptr)
        requested_ = true;
    else if (!form_->close())
        form_->KeepRecoverySnapshot();
    QCoreApplication::exit(0);
}

}  // namespace quilvern
