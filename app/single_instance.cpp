#include "app/single_instance.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <QCryptographicHash>
#include <QWidget>
#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>

#include "values/error.h"

namespace quilvern {
namespace {

using Clock = std::chrono::steady_clock;

// Long enough for a first copy that is still starting, short enough to say so.
constexpr auto kAnswerTime = std::chrono::seconds(3);
constexpr auto kRetryPause = std::chrono::milliseconds(10);
constexpr char kShown[] = "shown\n";

Error NoAnswer() {
    return Error(
        "Quilvern is already running on this settings file, but it did not answer within " +
        std::to_string(kAnswerTime.count()) + " seconds");
}

// The same for every copy of this user on this settings file.
std::string SocketName(const std::string& settingsFile) {
    const QByteArray hash =
        QCryptographicHash::hash(QByteArray::fromStdString(settingsFile), QCryptographicHash::Sha1);
    return "quilvern-" + hash.toHex().left(24).toStdString() + ".socket";
}

sockaddr_un SocketAddress(const std::string& path, socklen_t& length) {
    sockaddr_un name{};
    name.sun_family = AF_UNIX;
    path.copy(name.sun_path, sizeof name.sun_path - 1);
    length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + path.size() + 1);
    return name;
}

bool SameUser(int socket) {
    ucred peer{};
    socklen_t size = sizeof peer;
    return ::getsockopt(socket, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 &&
           peer.uid == ::geteuid();
}

class Socket {
  public:
    Socket() : fd_(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0)) {}
    explicit Socket(int fd) : fd_(fd) {}
    ~Socket() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;
    int Get() const { return fd_; }

  private:
    int fd_;
};

// Connects to the running copy and waits for it to say its window is shown. A running
// copy that is still starting has not bound its socket yet, or has a full queue.
void AskFirstToShow(const std::string& settingsFile, const std::string& socketName) {
    const PrivateFolder folder = PrivateFolder::ForSettingsFile(settingsFile);
    socklen_t length = 0;
    const sockaddr_un name = SocketAddress(folder.Entry(socketName), length);
    const auto deadline = Clock::now() + kAnswerTime;
    for (;;) {
        const Socket connection;
        if (connection.Get() < 0)
            throw Error(std::string("Cannot make a socket: ") + std::strerror(errno));
        if (::connect(connection.Get(), reinterpret_cast<const sockaddr*>(&name), length) == 0) {
            if (!SameUser(connection.Get())) {
                throw Error(
                    "Quilvern is already running on this settings file, but its socket %s "
                    "belongs to another user",
                    folder.Path() + "/" + socketName);
            }
            pollfd answer{connection.Get(), POLLIN, 0};
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            char reply[sizeof kShown] = {};
            if (::poll(&answer, 1, static_cast<int>(std::max<long>(left.count(), 0))) == 1 &&
                ::read(connection.Get(), reply, sizeof reply - 1) > 0 &&
                std::strcmp(reply, kShown) == 0) {
                return;
            }
            throw NoAnswer();
        }
        const int failure = errno;
        if (failure != EAGAIN && failure != ENOENT && failure != ECONNREFUSED)
            throw Error(std::string("Cannot reach the running Quilvern: ") +
                        std::strerror(failure));
        if (Clock::now() + kRetryPause > deadline)
            throw NoAnswer();
        std::this_thread::sleep_for(kRetryPause);
    }
}

void BringToFront(QWidget& window) {
    window.setWindowState(window.windowState() & ~Qt::WindowMinimized);
    window.show();
    window.raise();
    window.activateWindow();
}

std::string WithoutSeparator(std::string directory) {
    while (directory.size() > 1 && directory.back() == '/')
        directory.pop_back();
    return directory;
}

}  // namespace

SingleInstance::SingleInstance(const std::string& settingsFile, const std::string& programDirectory)
    : socketName_(SocketName(settingsFile)),
      settingsLock_(InstanceLock::ForSettingsFile(settingsFile)) {
    switch (settingsLock_.Result()) {
        case InstanceLock::Claim::Unavailable:
            throw Error("Cannot lock file %s: " + settingsLock_.Reason(), settingsLock_.Path());
        case InstanceLock::Claim::HeldElsewhere:
            AskFirstToShow(settingsFile, socketName_);
            return;
        case InstanceLock::Claim::Held:
            break;
    }
    folderLock_.emplace(InstanceLock::ForFolder(WithoutSeparator(programDirectory)));
    switch (folderLock_->Result()) {
        case InstanceLock::Claim::Unavailable:
            throw Error("Cannot lock the program folder %s: " + folderLock_->Reason(),
                        folderLock_->Path());
        case InstanceLock::Claim::HeldElsewhere:
            throw Error(
                "The program folder %s is in use by Quilvern with another settings file, "
                "perhaps another user's",
                folderLock_->Path());
        case InstanceLock::Claim::Held:
            break;
    }
    Listen(settingsFile);
}

SingleInstance::~SingleInstance() {
    requests_.reset();
    if (listener_ >= 0) {
        ::close(listener_);
        ::unlink(folder_->Entry(socketName_).c_str());
    }
}

// Without a socket this copy still runs alone; later copies say they cannot reach it.
void SingleInstance::Listen(const std::string& settingsFile) {
    try {
        folder_.emplace(PrivateFolder::ForSettingsFile(settingsFile));
    } catch (const Error&) {
        return;
    }
    // A socket left by a copy that crashed; this copy holds the lock, so it is nobody's.
    const std::string path = folder_->Entry(socketName_);
    struct stat old {};
    if (::lstat(path.c_str(), &old) == 0 && S_ISSOCK(old.st_mode))
        ::unlink(path.c_str());
    socklen_t length = 0;
    const sockaddr_un name = SocketAddress(path, length);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return;
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&name), length) != 0 || ::listen(fd, 8) != 0) {
        ::close(fd);
        return;
    }
    listener_ = fd;
    requests_ = std::make_unique<QSocketNotifier>(listener_, QSocketNotifier::Read);
    QObject::connect(requests_.get(), &QSocketNotifier::activated, requests_.get(),
                     [this] { Answer(); });
}

void SingleInstance::Answer() {
    for (;;) {
        const Socket request(::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK));
        if (request.Get() < 0)
            return;
        if (!SameUser(request.Get()))
            continue;
        if (window_ != nullptr && window_->isVisible())
            BringToFront(*window_);
        [[maybe_unused]] const ssize_t sent =
            ::send(request.Get(), kShown, sizeof kShown - 1, MSG_NOSIGNAL);
    }
}

}  // namespace quilvern
