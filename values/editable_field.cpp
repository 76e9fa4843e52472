#include "values/editable_field.h"

#include <algorithm>

namespace quilvern {

std::string EditableField::Cut() {
    if (!Editable())
        return {};
    const int from = std::min(Anchor(), Caret());
    const int to = std::max(Anchor(), Caret());
    std::string rest = Text();
    std::string removed = rest.substr(from, to - from);
    rest.erase(from, to - from);
    Edit(std::move(rest), from);
    return removed;
}

std::string EditableField::WithPasted(std::string_view text, int& caret) const {
    text = text.substr(0, text.find_first_of("\r\n"));
    const int from = std::min(Anchor(), Caret());
    const int to = std::max(Anchor(), Caret());
    std::string pasted = Text();
    pasted.replace(from, to - from, text);
    caret = from + static_cast<int>(text.size());
    return pasted;
}

}  // namespace quilvern
