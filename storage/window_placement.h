#pragma once
// The window keys of the settings file: where the main window was and in which show
// state, written when it closes and applied when it is first shown. Positions are kept
// per screen size and once more under a plain key, so that a window closed on another
// screen still reopens where it was last left.
#include <string_view>

#include "storage/ini_file.h"
#include "storage/window_host.h"

namespace quilvern {

// The state a stored "ShowCmd" asks for: 1, 5, 9 normal; 2, 6, 7 minimized; 3
// maximized; anything else normal.
WindowState StateOfShowCmd(int showCmd);

// Flags, ShowCmd, PixelsPerInch, MinMaxPos(WxH), MinMaxPos, NormPos(WxH), NormPos. Where
// the platform reports no position, the NormPos keys are not written, so that the file
// keeps the last position that was known.
void WriteWindowKeys(WindowHost& window, IniFile& file, std::string_view section);

// Applies what the keys hold. Only the stored top-left corner is used unless the
// border is resizable; a position stored at another resolution, or one whose rectangle
// does not fit the platform's int coordinates, is ignored; a position that would put
// the title bar out of reach (see KeepReachable) brings the window back onto a screen.
void ApplyWindowKeys(WindowHost& window, const IniFile& file, std::string_view section,
                     bool applyState, bool applyPosition);

// Moves the window wholly onto the work area of the screen it mostly lies on (the
// primary screen when it lies on none), by the least distance and without resizing it;
// a window larger than that area goes to the area's top-left corner. Run once the
// stored position is applied, and at a first start too: a scaled screen or a larger
// font can leave the designed place hanging over an edge. Before the window manager
// has framed the window only its client area is known: run it again once the frame is
// (QtWindowHost does). Nothing happens when the screen areas are unknown.
void KeepOnScreen(WindowHost& window);

// Puts the maximized position at minus the window's border metrics, so that a
// maximized window's border lies just outside the screen.
void SetMaximizedPosition(WindowHost& window);

}  // namespace quilvern
