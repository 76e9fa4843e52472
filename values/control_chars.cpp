#include "values/control_chars.h"

namespace quilvern {

std::string BlankControlChars(std::string_view text) {
    std::string blanked(text);
    for (char& c : blanked) {
        if (IsControlChar(c))
            c = ' ';
    }
    return blanked;
}

}  // namespace quilvern
