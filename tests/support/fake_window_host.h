#pragma once
// A main window as the placement logic sees it, without a toolkit: 1920 x 1080 pixels
// at 96 dots per inch, a fixed single border of one pixel, the window at its designed
// place 334,132 with an outer size of 530 x 440 of which 29 pixels are above the client
// area, not yet shown. Every request is noted.
#include <string>
#include <vector>

#include "storage/window_host.h"

namespace quilvern::test {

class FakeWindowHost : public WindowHost {
  public:
    WindowPlacement Placement() const override {
        WindowPlacement reported = placement;
        reported.showCmd = state == WindowState::Maximized ? 3 : 1;
        return reported;
    }
    void SetPlacement(const WindowPlacement& record) override {
        applied.push_back(record);
        log.push_back("SetPlacement");
        const int showCmd = placement.showCmd;
        placement = record;
        placement.showCmd = showCmd;
        if (record.showCmd != 0)
            visible = true;
    }
    bool IsVisible() const override { return visible; }
    WindowRect Bounds() const override { return placement.normal; }
    int TitleBarHeight() const override { return titleBar; }
    BorderStyle Border() const override { return border; }
    WindowSize SystemBorder(BorderMetric metric) const override {
        switch (metric) {
            case BorderMetric::ThinBorder:
                return thinBorder;
            case BorderMetric::SizingFrame:
                return sizingFrame;
            case BorderMetric::DialogFrame:
                return dialogFrame;
        }
        return {};
    }
    bool ApplicationMinimized() const override { return applicationMinimized; }
    WindowSize PrimaryScreenSize() const override { return screen; }
    std::vector<WindowRect> ScreenAreas() const override { return areas; }
    int PixelsPerInch() const override { return pixelsPerInch; }
    bool ReportsPosition() const override { return reportsPosition; }
    void SetWindowState(WindowState newState) override {
        state = newState;
        log.push_back(newState == WindowState::Maximized ? "SetWindowState Maximized"
                                                         : "SetWindowState Normal");
    }
    void MarkStateNormal() override {
        state = WindowState::Normal;
        log.push_back("MarkStateNormal");
    }
    void PostMinimize() override { log.push_back("PostMinimize"); }
    void Repaint() override { log.push_back("Repaint"); }

    WindowPlacement placement{0, 1, -1, -1, -1, -1, {334, 132, 864, 572}};
    WindowState state = WindowState::Normal;
    bool visible = false;
    bool applicationMinimized = false;
    BorderStyle border = BorderStyle::Single;
    WindowSize thinBorder{1, 1};
    WindowSize sizingFrame{4, 4};
    WindowSize dialogFrame{3, 3};
    int titleBar = 29;
    WindowSize screen{1920, 1080};
    std::vector<WindowRect> areas{{0, 0, 1920, 1040}};
    int pixelsPerInch = 96;
    bool reportsPosition = true;

    std::vector<WindowPlacement> applied;  // every record handed to SetPlacement
    std::vector<std::string> log;          // every request, in order
};

}  // namespace quilvern::test
