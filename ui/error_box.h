#pragma once
// The application's one report of a failure: a modal box captioned "Quilvern" with an
// error icon and an OK button. The program goes on after it.
#include <QString>
#include <exception>
#include <string_view>
#include <utility>

class QWidget;

namespace quilvern {

void ShowErrorBox(const std::exception& error);
void ShowErrorBox(std::string_view message);

// A warning that does not stop the user: the lead, then the error as the box would show
// it, in a window of its own named `name` that closes with OK.
void ShowNotice(QWidget& parent, const QString& name, const QString& lead,
                const std::exception& error);

// While the program ends on a signal nobody may be there to press OK: from then on the
// messages go to the standard error instead of a box.
void SilenceErrorBoxes();

// Runs a handler and shows whatever error escapes it. Qt passes no exception through
// its event loop, so the window's handlers are called through here; what slips past
// reaches the application's own net (Application::notify).
template <typename Handler>
void Guarded(Handler&& handler) {
    try {
        std::forward<Handler>(handler)();
    } catch (const std::exception& error) {
        ShowErrorBox(error);
    }
}

}  // namespace quilvern
