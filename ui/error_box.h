#pragma once
// The application's one report of a failure: a modal box captioned "Quilvern" with an
// error icon and an OK button. The program goes on after it.
#include <exception>
#include <string_view>
#include <utility>

namespace quilvern {

void ShowErrorBox(std::string_view message);

// Runs a handler and shows whatever error escapes it; Qt passes no exception through
// its event loop, so every entry from Qt into the program's logic goes through here.
template <typename Handler>
void Guarded(Handler&& handler) {
    try {
        std::forward<Handler>(handler)();
    } catch (const std::exception& error) {
        ShowErrorBox(error.what());
    }
}

}  // namespace quilvern
