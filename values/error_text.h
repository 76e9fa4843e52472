#pragma once
// The text of the error box: the message, with a full stop appended when its last
// character has a higher character code than the full stop itself. A file named by
// the error is kept apart, so that the box can show it in the file system's encoding.
#include <exception>
#include <string>
#include <string_view>

namespace quilvern {

inline std::string ErrorBoxText(std::string_view message) {
    std::string text(message);
    if (!text.empty() && static_cast<unsigned char>(text.back()) > '.')
        text += '.';
    return text;
}

// The box's text as Windows-1252 text before and after the path of the file.
struct ErrorBoxParts {
    std::string before;
    std::string path;  // the file system's bytes; empty when no file is named
    std::string after;
};

// "Cannot open file %s" shows the path in its place; "Stream write error" shows it on
// a line of its own after the message's full stop.
ErrorBoxParts ErrorBoxLayout(const std::exception& error);

}  // namespace quilvern
