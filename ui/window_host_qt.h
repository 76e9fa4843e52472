#pragma once
// The main window's placement as the settings file keeps it, on Qt. Qt has no
// placement flags and no minimized or maximized positions of its own: "Flags" is
// always 0, and the two positions are kept as they were last set (-1,-1 at first,
// then minus the thin border for the maximized one), so they survive a round trip.
// The normal rectangle is the frame's outer rectangle on the screen, in the window's
// device-independent pixels: its corner is the frame's corner, and its size the fixed
// client size plus the frame. Applying it puts the frame's corner there, so that a
// window closed where it opened is written with the same rectangle again.
#include <QMargins>
#include <QRect>
#include <memory>

#include "storage/window_host.h"

class QWidget;

namespace quilvern {

class QtWindowHost : public WindowHost {
  public:
    explicit QtWindowHost(QWidget& window);
    ~QtWindowHost() override;

    // The window counts as visible only once its first show has finished, so that a
    // position applied during that show moves it without showing it early. From then
    // on the host waits for the window manager's frame, and once it is known keeps the
    // framed window on the screen (KeepOnScreen) once more.
    void SetShown();

    WindowPlacement Placement() const override;
    void SetPlacement(const WindowPlacement& placement) override;
    bool IsVisible() const override;
    WindowRect Bounds() const override;
    int TitleBarHeight() const override;
    BorderStyle Border() const override { return BorderStyle::Single; }
    WindowSize SystemBorder(BorderMetric metric) const override;
    bool ApplicationMinimized() const override;
    WindowSize PrimaryScreenSize() const override;
    std::vector<WindowRect> ScreenAreas() const override;
    int PixelsPerInch() const override;
    bool ReportsPosition() const override;
    void SetWindowState(WindowState state) override;
    void MarkStateNormal() override {}
    void PostMinimize() override;
    void Repaint() override;

  private:
    class FrameWatch;

    QMargins FrameMargins() const;
    QRect NormalFrame() const;

    QWidget& window_;
    bool shown_ = false;
    std::unique_ptr<FrameWatch> frameWatch_;
    int minX_ = -1;
    int minY_ = -1;
    int maxX_ = -1;
    int maxY_ = -1;
};

}  // namespace quilvern
