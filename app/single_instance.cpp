#include "app/single_instance.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QCryptographicHash>
#include <QWidget>
#include <chrono>
#include <thread>

namespace quilvern {
namespace {

constexpr int kAttempts = 60;  // 3 s in all: a first copy may still be starting
constexpr auto kPause = std::chrono::milliseconds(50);

// A name in Linux's abstract namespace: no file to leave behind, gone with its owner.
// The same for every copy of this user on this settings file.
std::string Address(const std::string& settingsFile) {
    const QByteArray key =
        QByteArray::fromStdString(settingsFile) + '\0' + QByteArray::number(::getuid());
    return std::string(1, '\0') + "quilvern-" +
           QCryptographicHash::hash(key, QCryptographicHash::Sha1).toHex().toStdString();
}

sockaddr_un SocketAddress(const std::string& address, socklen_t& length) {
    sockaddr_un name{};
    name.sun_family = AF_UNIX;
    address.copy(name.sun_path, sizeof name.sun_path);
    length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + address.size());
    return name;
}

void AskFirstToShow(const std::string& address) {
    socklen_t length = 0;
    const sockaddr_un name = SocketAddress(address, length);
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        const bool connected =
            fd >= 0 && ::connect(fd, reinterpret_cast<const sockaddr*>(&name), length) == 0;
        if (connected) {
            [[maybe_unused]] const ssize_t sent = ::send(fd, "show\n", 5, MSG_NOSIGNAL);
        }
        if (fd >= 0)
            ::close(fd);
        if (connected)
            return;
        std::this_thread::sleep_for(kPause);
    }
}

void BringToFront(QWidget& window) {
    window.setWindowState(window.windowState() & ~Qt::WindowMinimized);
    window.show();
    window.raise();
    window.activateWindow();
}

}  // namespace

SingleInstance::SingleInstance(const std::string& settingsFile)
    : lock_(settingsFile), address_(Address(settingsFile)) {
    if (!IsFirst())
        AskFirstToShow(address_);
}

SingleInstance::~SingleInstance() {
    requests_.reset();
    if (listener_ >= 0)
        ::close(listener_);
}

void SingleInstance::RaiseOnRequest(QWidget& window) {
    listener_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    socklen_t length = 0;
    const sockaddr_un name = SocketAddress(address_, length);
    if (listener_ < 0 || ::bind(listener_, reinterpret_cast<const sockaddr*>(&name), length) != 0 ||
        ::listen(listener_, 4) != 0) {
        return;  // later copies still end at once; they only cannot bring this one up
    }
    requests_ = std::make_unique<QSocketNotifier>(listener_, QSocketNotifier::Read);
    QObject::connect(requests_.get(), &QSocketNotifier::activated, &window, [this, &window] {
        while (true) {
            const int request = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
            if (request < 0)
                break;
            ::close(request);
            BringToFront(window);
        }
    });
}

}  // namespace quilvern
