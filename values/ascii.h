#pragma once
// Byte rules shared by every reader of typed and stored text: ASCII digits and letter
// case, and the three ways a text is trimmed, which differ on purpose.
#include <string_view>

namespace quilvern {

constexpr bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Only A to Z change; every other byte, Windows-1252 letters included, stays.
constexpr char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b);

// Without leading and trailing blanks (' ') only: typed amounts, and the two halves of a
// stored item's name.
std::string_view TrimBlanks(std::string_view text);
// Without leading and trailing blanks and tabs: the lines of the settings file, as a
// hand-edited file may have them.
std::string_view TrimBlanksAndTabs(std::string_view text);
// Without leading and trailing bytes of code 0 to 32, blanks and control characters:
// the values the settings storages write and read.
std::string_view TrimControls(std::string_view text);

}  // namespace quilvern
