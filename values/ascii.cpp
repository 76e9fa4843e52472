#include "values/ascii.h"

namespace quilvern {
namespace {

template <typename Drop>
std::string_view TrimWhere(std::string_view text, Drop drop) {
    while (!text.empty() && drop(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && drop(text.back()))
        text.remove_suffix(1);
    return text;
}

}  // namespace

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (AsciiLower(a[i]) != AsciiLower(b[i]))
            return false;
    }
    return true;
}

std::string_view TrimBlanks(std::string_view text) {
    return TrimWhere(text, [](char c) { return c == ' '; });
}

std::string_view TrimBlanksAndTabs(std::string_view text) {
    return TrimWhere(text, [](char c) { return c == ' ' || c == '\t'; });
}

std::string_view TrimControls(std::string_view text) {
    return TrimWhere(text, [](char c) { return static_cast<unsigned char>(c) <= 32; });
}

}  // namespace quilvern
