#include "storage/window_placement.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "values/whole_number.h"

namespace quilvern {
namespace {

// The four numbers of a position key: two corners, or two x, y pairs.
using PositionNumbers = std::array<int, 4>;

std::string ScreenSuffix(const WindowHost& window) {
    const WindowSize screen = window.PrimaryScreenSize();
    return "(" + std::to_string(screen.width) + "x" + std::to_string(screen.height) + ")";
}

std::string PositionText(const PositionNumbers& numbers) {
    std::string text;
    for (int number : numbers) {
        if (!text.empty())
            text += ',';
        text += std::to_string(number);
    }
    return text;
}

// The key for the present screen size when it holds anything, else the plain key.
std::string ReadForScreen(const IniFile& file, std::string_view section, const std::string& key,
                          const std::string& suffix) {
    std::string text = file.ReadString(section, key + suffix, "");
    if (text.empty())
        text = file.ReadString(section, key, "");
    return text;
}

// The first four words of the text, split at blanks and commas with a run of them
// counting as one; a missing or unreadable word keeps its default.
PositionNumbers ReadPositionNumbers(std::string_view text, PositionNumbers numbers) {
    std::size_t index = 0;
    std::size_t at = 0;
    while (index < numbers.size()) {
        at = text.find_first_not_of(" ,", at);
        if (at == std::string_view::npos)
            break;
        const std::size_t end = std::min(text.find_first_of(" ,", at), text.size());
        if (const auto number = ParseIniInteger(text.substr(at, end - at)))
            numbers[index] = *number;
        ++index;
        at = end;
    }
    return numbers;
}

bool Resizable(BorderStyle border) {
    return border == BorderStyle::Sizeable || border == BorderStyle::SizeToolWindow;
}

// Rectangles are worked out in 64 bits: a stored corner near the end of the int range
// plus the window's size must not overflow. A result that does not fit an int is not
// applied.
struct Rect64 {
    std::int64_t left, top, right, bottom;
    std::int64_t Width() const { return right - left; }
    std::int64_t Height() const { return bottom - top; }
};

Rect64 Widen(const WindowRect& r) {
    return {r.left, r.top, r.right, r.bottom};
}

std::optional<WindowRect> Narrow(const Rect64& r) {
    const auto fits = [](std::int64_t n) {
        return n >= std::numeric_limits<int>::min() && n <= std::numeric_limits<int>::max();
    };
    if (!fits(r.left) || !fits(r.top) || !fits(r.right) || !fits(r.bottom))
        return std::nullopt;
    return WindowRect{static_cast<int>(r.left), static_cast<int>(r.top), static_cast<int>(r.right),
                      static_cast<int>(r.bottom)};
}

// A title bar is within reach when a grip of it, kGripWidth pixels wide (or the whole
// bar when narrower) and at least half its height, lies on one screen area. Before the
// window manager has framed the window its title bar is not known yet: it is taken to
// be kUsualTitleBar high then, which also keeps a frameless window's top edge in reach.
constexpr std::int64_t kGripWidth = 40;
constexpr std::int64_t kUsualTitleBar = 20;

bool TitleBarReachable(const Rect64& rect, std::int64_t titleBarHeight,
                       const std::vector<WindowRect>& areas) {
    const std::int64_t barHeight = titleBarHeight > 0 ? titleBarHeight : kUsualTitleBar;
    const std::int64_t gripHeight = (barHeight + 1) / 2;
    const std::int64_t gripWidth = std::min(kGripWidth, rect.Width());
    return std::any_of(areas.begin(), areas.end(), [&](const WindowRect& area) {
        const std::int64_t width = std::min<std::int64_t>(rect.right, area.right) -
                                   std::max<std::int64_t>(rect.left, area.left);
        const std::int64_t height = std::min<std::int64_t>(rect.top + barHeight, area.bottom) -
                                    std::max<std::int64_t>(rect.top, area.top);
        return width >= gripWidth && height >= gripHeight;
    });
}

// A file carried over from another set of screens, or a window dragged up until its
// title bar left the screen, must not open the window where nobody can take hold of
// it: it then keeps its present place when that is within reach, or goes to the
// primary screen's top-left corner. Its size stays as stored.
void KeepReachable(const WindowHost& window, Rect64& rect) {
    const std::vector<WindowRect> areas = window.ScreenAreas();
    const int titleBar = window.TitleBarHeight();
    if (areas.empty() || TitleBarReachable(rect, titleBar, areas))
        return;
    const Rect64 present = Widen(window.Bounds());
    const bool presentReachable = TitleBarReachable(present, titleBar, areas);
    const std::int64_t left = presentReachable ? present.left : areas.front().left;
    const std::int64_t top = presentReachable ? present.top : areas.front().top;
    rect = {left, top, left + rect.Width(), top + rect.Height()};
}

// The rectangle to apply for a stored one: a fixed border keeps the window's own size
// at the stored corner, and a window out of reach comes back. None when the right edge
// is not right of the left edge or the rectangle does not fit the platform's ints.
std::optional<WindowRect> RectangleToApply(const WindowHost& window, const WindowRect& stored) {
    Rect64 rect = Widen(stored);
    if (!Resizable(window.Border())) {
        const WindowRect present = window.Bounds();
        rect.right = rect.left + present.Width();
        rect.bottom = rect.top + present.Height();
    }
    if (rect.right <= rect.left || !Narrow(rect))
        return std::nullopt;
    KeepReachable(window, rect);
    return Narrow(rect);
}

std::int64_t Overlap(const Rect64& rect, const WindowRect& area) {
    const std::int64_t width = std::min<std::int64_t>(rect.right, area.right) -
                               std::max<std::int64_t>(rect.left, area.left);
    const std::int64_t height = std::min<std::int64_t>(rect.bottom, area.bottom) -
                                std::max<std::int64_t>(rect.top, area.top);
    return width > 0 && height > 0 ? width * height : 0;
}

// Where the left (or top) edge goes for an extent to lie between low and high.
std::int64_t Within(std::int64_t start, std::int64_t extent, std::int64_t low, std::int64_t high) {
    return std::max(low, std::min(start, high - extent));
}

WindowSize BorderOf(const WindowHost& window) {
    switch (window.Border()) {
        case BorderStyle::Single:
        case BorderStyle::ToolWindow:
            return window.SystemBorder(BorderMetric::ThinBorder);
        case BorderStyle::Sizeable:
        case BorderStyle::SizeToolWindow:
            return window.SystemBorder(BorderMetric::SizingFrame);
        case BorderStyle::Dialog:
            return window.SystemBorder(BorderMetric::DialogFrame);
        case BorderStyle::None:
            break;
    }
    return {};
}

// Applying a record to a window not yet shown must not show it.
WindowPlacement PresentPlacement(const WindowHost& window) {
    WindowPlacement placement = window.Placement();
    if (!window.IsVisible())
        placement.showCmd = 0;
    return placement;
}

}  // namespace

WindowState StateOfShowCmd(int showCmd) {
    switch (showCmd) {
        case 2:
        case 6:
        case 7:
            return WindowState::Minimized;
        case 3:
            return WindowState::Maximized;
        default:
            return WindowState::Normal;
    }
}

void WriteWindowKeys(WindowHost& window, IniFile& file, std::string_view section) {
    WindowPlacement placement = window.Placement();
    if (window.ApplicationMinimized())
        placement.showCmd = 2;
    file.WriteInteger(section, "Flags", placement.flags);
    file.WriteInteger(section, "ShowCmd", placement.showCmd);
    file.WriteInteger(section, "PixelsPerInch", window.PixelsPerInch());
    const std::string suffix = ScreenSuffix(window);
    const std::string minMax =
        PositionText({placement.minX, placement.minY, placement.maxX, placement.maxY});
    file.WriteString(section, "MinMaxPos" + suffix, minMax);
    file.WriteString(section, "MinMaxPos", minMax);
    if (!window.ReportsPosition())
        return;
    const WindowRect& normal = placement.normal;
    const std::string norm = PositionText({normal.left, normal.top, normal.right, normal.bottom});
    file.WriteString(section, "NormPos" + suffix, norm);
    file.WriteString(section, "NormPos", norm);
}

void ApplyWindowKeys(WindowHost& window, const IniFile& file, std::string_view section,
                     bool applyState, bool applyPosition) {
    if (!applyState && !applyPosition)
        return;
    WindowPlacement placement = PresentPlacement(window);
    if (applyPosition) {
        placement.flags = file.ReadInteger(section, "Flags", placement.flags);
        const std::string suffix = ScreenSuffix(window);
        bool found = false;
        if (const std::string text = ReadForScreen(file, section, "MinMaxPos", suffix);
            !text.empty()) {
            found = true;
            const PositionNumbers n = ReadPositionNumbers(text, {0, 0, 0, 0});
            placement.minX = n[0];
            placement.minY = n[1];
            placement.maxX = n[2];
            placement.maxY = n[3];
        }
        const WindowRect present = window.Bounds();
        if (const std::string text = ReadForScreen(file, section, "NormPos", suffix);
            !text.empty()) {
            found = true;
            const PositionNumbers n = ReadPositionNumbers(
                text, {present.left, present.top, present.right, present.bottom});
            placement.normal = {n[0], n[1], n[2], n[3]};
        }
        // Pixels stored at another resolution would put the window somewhere else.
        const int pixelsPerInch = window.PixelsPerInch();
        if (file.ReadInteger(section, "PixelsPerInch", pixelsPerInch) != pixelsPerInch) {
            found = false;
        }
        if (found) {
            if (const auto normal = RectangleToApply(window, placement.normal)) {
                placement.normal = *normal;
                window.SetPlacement(placement);
            }
        }
    }
    if (applyState) {
        const WindowState state = StateOfShowCmd(file.ReadInteger(section, "ShowCmd", 0));
        if (state == WindowState::Minimized) {
            // Minimizing during the show would be undone by the show itself.
            window.MarkStateNormal();
            window.PostMinimize();
            return;
        }
        window.SetWindowState(state);
    }
    window.Repaint();
}

void KeepOnScreen(WindowHost& window) {
    const std::vector<WindowRect> areas = window.ScreenAreas();
    if (areas.empty())
        return;
    WindowPlacement placement = PresentPlacement(window);
    const Rect64 frame = Widen(placement.normal);
    const WindowRect* area = &areas.front();
    for (const WindowRect& candidate : areas) {
        if (Overlap(frame, candidate) > Overlap(frame, *area))
            area = &candidate;
    }
    std::int64_t left = area->left;
    std::int64_t top = area->top;
    if (frame.Width() <= area->Width() && frame.Height() <= area->Height()) {
        left = Within(frame.left, frame.Width(), area->left, area->right);
        top = Within(frame.top, frame.Height(), area->top, area->bottom);
    }
    if (left == frame.left && top == frame.top)
        return;
    const auto moved = Narrow({left, top, left + frame.Width(), top + frame.Height()});
    if (!moved)
        return;
    placement.normal = *moved;
    window.SetPlacement(placement);
}

void SetMaximizedPosition(WindowHost& window) {
    WindowPlacement placement = PresentPlacement(window);
    const WindowSize border = BorderOf(window);
    placement.maxX = -border.width;
    placement.maxY = -border.height;
    window.SetPlacement(placement);
}

}  // namespace quilvern
