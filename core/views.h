#pragma once
// Which view the window shows: the eight view buttons each disable themselves, show
// their own panel and hide the seven others. Widgets apply these states in order.
#include <array>

namespace quilvern {

enum class View { Page1, Page2, Page3, Page4, Page5, Transfer, Settings, Notes };
inline constexpr int kViewCount = 8;
inline constexpr int kPageCount = 5;
inline constexpr int kLinesPerPage = 10;

struct ViewStates {
    std::array<bool, kViewCount> buttonEnabled{};  // Page01 ... Page05, Transfer, Settings, Notes
    std::array<bool, kViewCount> panelVisible{};   // Page01Panel ... NotePanel
    bool noteTextVisible = false;
    bool totalsVisible = false;  // "TOTAL", "=" and FinalTotal in the top bar
};

constexpr ViewStates StatesFor(View view) {
    ViewStates states;
    const auto shown = static_cast<std::size_t>(view);
    for (std::size_t i = 0; i < kViewCount; ++i) {
        states.buttonEnabled[i] = i != shown;
        states.panelVisible[i] = i == shown;
    }
    states.noteTextVisible = view == View::Notes;
    states.totalsVisible = shown < kPageCount;
    return states;
}

// The page that shows line n (1 ... 50).
constexpr View PageOfLine(int line) {
    return static_cast<View>((line - 1) / kLinesPerPage);
}

}  // namespace quilvern
