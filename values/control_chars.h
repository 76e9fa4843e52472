#pragma once
// The control characters of Windows-1252 text: the codes below 32 and DEL (127). A key
// whose character is one of them (Backspace, Enter, Escape, and Delete, which X11 sends
// as DEL) edits a field instead of typing into it; a single-line text holds none.
#include <string>
#include <string_view>

namespace quilvern {

inline bool IsControlChar(char c) {
    const auto code = static_cast<unsigned char>(c);
    return code < 32 || code == 127;
}

// The text with every control character replaced by one blank, so that no position
// in it moves.
std::string BlankControlChars(std::string_view text);

}  // namespace quilvern
