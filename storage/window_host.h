#pragma once
// What the window-placement logic needs from the main window, so that it stays free
// of any toolkit: the window's placement record, its visibility and border, the screen
// it lives on, and the few state changes the settings file can ask for. The window
// implements it; tests use a fake.
#include <cstdint>
#include <vector>

namespace quilvern {

// Edges in the platform's int coordinates; the extent in 64 bits, since the edges of a
// stored rectangle can lie anywhere in the int range.
struct WindowRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    std::int64_t Width() const { return std::int64_t{right} - left; }
    std::int64_t Height() const { return std::int64_t{bottom} - top; }
};

struct WindowSize {
    int width = 0;
    int height = 0;
};

// The record the settings file keeps in section "Main". showCmd is the platform show
// code: 1 normal, 2 minimized, 3 maximized; 0 when handed back means "hidden": move
// the window, but leave it unshown. Positions the platform has no notion of are kept
// as the last value set (-1, -1 when none was), so that they survive a round trip.
struct WindowPlacement {
    int flags = 0;
    int showCmd = 1;
    int minX = -1;
    int minY = -1;
    int maxX = -1;
    int maxY = -1;
    WindowRect normal;  // outer rectangle in the normal state, in screen pixels
};

enum class WindowState { Normal, Minimized, Maximized };

// The border styles, which decide what border metric the maximized position uses and
// whether a stored size may be applied at all.
enum class BorderStyle { None, Single, Sizeable, Dialog, ToolWindow, SizeToolWindow };

enum class BorderMetric { ThinBorder, SizingFrame, DialogFrame };

class WindowHost {
  public:
    virtual ~WindowHost() = default;

    virtual WindowPlacement Placement() const = 0;
    virtual void SetPlacement(const WindowPlacement& placement) = 0;
    virtual bool IsVisible() const = 0;
    // The window's present outer rectangle.
    virtual WindowRect Bounds() const = 0;
    // The height of the title bar that the window manager puts above the client area;
    // 0 when there is none or it is not known.
    virtual int TitleBarHeight() const = 0;
    virtual BorderStyle Border() const = 0;
    // The platform's width and height of that kind of border.
    virtual WindowSize SystemBorder(BorderMetric metric) const = 0;

    // True when this is the application's main window and the application is minimized.
    virtual bool ApplicationMinimized() const = 0;
    // In pixels, for the "(WxH)" suffix of the position keys.
    virtual WindowSize PrimaryScreenSize() const = 0;
    // The areas windows may occupy on each screen, the primary first, in the same
    // coordinates as the placement; empty when unknown.
    virtual std::vector<WindowRect> ScreenAreas() const = 0;
    virtual int PixelsPerInch() const = 0;
    // False where the platform never tells a window its place (Wayland): the normal
    // rectangle handed back is then no real position and must not be kept.
    virtual bool ReportsPosition() const { return true; }

    // Through the window's own state setter, with all its effects (Normal or Maximized).
    virtual void SetWindowState(WindowState state) = 0;
    // Notes the state as normal without showing, moving or resizing anything.
    virtual void MarkStateNormal() = 0;
    // Asks for the application to minimize once the current show has finished.
    virtual void PostMinimize() = 0;
    virtual void Repaint() = 0;
};

}  // namespace quilvern
