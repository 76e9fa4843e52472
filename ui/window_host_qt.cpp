#include "ui/window_host_qt.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <cmath>

#include "storage/window_placement.h"

namespace quilvern {
namespace {

WindowRect ToRect(const QRect& rect) {
    return {rect.left(), rect.top(), rect.left() + rect.width(), rect.top() + rect.height()};
}

QScreen* Primary() {
    return QGuiApplication::primaryScreen();
}

}  // namespace

// Watches the window's moves after its show for the moment its frame is known: before
// it, only the client area could be kept on the screen. While the window manager takes
// the window into its frame, Qt reports the client area at 0,0, inside the frame; the
// frame's own place comes with a later move.
class QtWindowHost::FrameWatch : public QObject {
  public:
    explicit FrameWatch(QtWindowHost& host) : host_(host) { host.window_.installEventFilter(this); }

    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Move && !done_ && host_.TitleBarHeight() > 0 &&
            host_.window_.geometry().topLeft() != QPoint(0, 0)) {
            done_ = true;
            host_.window_.removeEventFilter(this);
            KeepOnScreen(host_);
        }
        return false;
    }

  private:
    QtWindowHost& host_;
    bool done_ = false;
};

QtWindowHost::QtWindowHost(QWidget& window) : window_(window) {}

QtWindowHost::~QtWindowHost() = default;

void QtWindowHost::SetShown() {
    shown_ = true;
    frameWatch_ = std::make_unique<FrameWatch>(*this);
}

WindowPlacement QtWindowHost::Placement() const {
    WindowPlacement placement;
    placement.flags = 0;
    const Qt::WindowStates state = window_.windowState();
    placement.showCmd = state & Qt::WindowMinimized ? 2 : state & Qt::WindowMaximized ? 3 : 1;
    placement.minX = minX_;
    placement.minY = minY_;
    placement.maxX = maxX_;
    placement.maxY = maxY_;
    placement.normal = ToRect(NormalFrame());
    return placement;
}

void QtWindowHost::SetPlacement(const WindowPlacement& placement) {
    minX_ = placement.minX;
    minY_ = placement.minY;
    maxX_ = placement.maxX;
    maxY_ = placement.maxY;
    // The window has a fixed size: only its top-left corner moves.
    const QPoint corner(placement.normal.left, placement.normal.top);
    if (NormalFrame().topLeft() == corner)
        return;
    // Asked for as the frame's corner: a window manager that has not framed the window
    // yet would otherwise take it for the client area's corner and put the frame above
    // and left of it. The widget is moved first, because its show hands its own idea
    // of its place to the window again when the two differ.
    window_.move(corner);
    if (QWindow* handle = window_.windowHandle())
        handle->setFramePosition(corner);
}

bool QtWindowHost::IsVisible() const {
    return shown_ && window_.isVisible();
}

WindowRect QtWindowHost::Bounds() const {
    return ToRect(NormalFrame());
}

int QtWindowHost::TitleBarHeight() const {
    return FrameMargins().top();
}

// What the window system says, not what the widget last heard: a corner asked for is
// reported at once, before the window manager confirms it.
QMargins QtWindowHost::FrameMargins() const {
    const QWindow* handle = window_.windowHandle();
    return handle != nullptr ? handle->frameMargins() : QMargins();
}

QRect QtWindowHost::NormalFrame() const {
    const QMargins margins = FrameMargins();
    const QSize size = window_.size().grownBy(margins);
    if (window_.isMaximized() || window_.isFullScreen()) {
        const QPoint client = window_.normalGeometry().topLeft();
        return {client - QPoint(margins.left(), margins.top()), size};
    }
    const QWindow* handle = window_.windowHandle();
    return {handle != nullptr ? handle->framePosition() : window_.pos(), size};
}

WindowSize QtWindowHost::SystemBorder(BorderMetric) const {
    return {1, 1};
}

bool QtWindowHost::ApplicationMinimized() const {
    return window_.isMinimized();
}

WindowSize QtWindowHost::PrimaryScreenSize() const {
    if (Primary() == nullptr)
        return {};
    const QSize size = Primary()->geometry().size();
    return {size.width(), size.height()};
}

std::vector<WindowRect> QtWindowHost::ScreenAreas() const {
    std::vector<WindowRect> areas;
    if (Primary() != nullptr)
        areas.push_back(ToRect(Primary()->availableGeometry()));
    for (QScreen* screen : QGuiApplication::screens()) {
        if (screen != Primary())
            areas.push_back(ToRect(screen->availableGeometry()));
    }
    return areas;
}

int QtWindowHost::PixelsPerInch() const {
    if (Primary() == nullptr)
        return 96;
    return static_cast<int>(std::lround(Primary()->logicalDotsPerInch()));
}

// A Wayland client is never told where its window is: Qt reports the frame's corner at
// minus its own decoration's margins there.
bool QtWindowHost::ReportsPosition() const {
    return !QGuiApplication::platformName().startsWith(QStringLiteral("wayland"));
}

void QtWindowHost::SetWindowState(WindowState state) {
    Qt::WindowStates states = window_.windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized);
    if (state == WindowState::Maximized)
        states |= Qt::WindowMaximized;
    if (state == WindowState::Minimized)
        states |= Qt::WindowMinimized;
    window_.setWindowState(states);
}

void QtWindowHost::PostMinimize() {
    QPointer<QWidget> window(&window_);
    QTimer::singleShot(0, &window_, [window] {
        if (window)
            window->showMinimized();
    });
}

void QtWindowHost::Repaint() {
    window_.update();
}

}  // namespace quilvern
