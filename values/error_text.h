#pragma once
// The text of the error box: the message, with a full stop appended when its last
// character has a higher character code than the full stop itself.
#include <string>
#include <string_view>

namespace quilvern {

inline std::string ErrorBoxText(std::string_view message) {
    std::string text(message);
    if (!text.empty() && static_cast<unsigned char>(text.back()) > '.')
        text += '.';
    return text;
}

}  // namespace quilvern
