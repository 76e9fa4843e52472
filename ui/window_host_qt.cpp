#include "ui/window_host_qt.h"

#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <cmath>

namespace quilvern {
namespace {

WindowRect ToRect(const QRect& rect) {
    return {rect.left(), rect.top(), rect.left() + rect.width(), rect.top() + rect.height()};
}

QScreen* Primary() {
    return QGuiApplication::primaryScreen();
}

}  // namespace

WindowPlacement QtWindowHost::Placement() const {
    WindowPlacement placement;
    placement.flags = 0;
    const Qt::WindowStates state = window_.windowState();
    placement.showCmd = state & Qt::WindowMinimized ? 2 : state & Qt::WindowMaximized ? 3 : 1;
    placement.minX = minX_;
    placement.minY = minY_;
    placement.maxX = maxX_;
    placement.maxY = maxY_;
    // The frame around the normal geometry: its outer rectangle, wherever the window is now.
    const QRect frame = window_.frameGeometry();
    const QRect client = window_.geometry();
    const QRect normal = window_.normalGeometry().isValid() ? window_.normalGeometry() : client;
    placement.normal =
        ToRect(normal.adjusted(frame.left() - client.left(), frame.top() - client.top(),
                               frame.right() - client.right(), frame.bottom() - client.bottom()));
    return placement;
}

void QtWindowHost::SetPlacement(const WindowPlacement& placement) {
    minX_ = placement.minX;
    minY_ = placement.minY;
    maxX_ = placement.maxX;
    maxY_ = placement.maxY;
    // The window has a fixed size: only its top-left corner moves.
    if (window_.pos() != QPoint(placement.normal.left, placement.normal.top)) {
        window_.move(placement.normal.left, placement.normal.top);
    }
}

bool QtWindowHost::IsVisible() const {
    return shown_ && window_.isVisible();
}

WindowRect QtWindowHost::Bounds() const {
    return ToRect(window_.frameGeometry());
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
