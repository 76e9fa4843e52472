#include "values/text_field.h"

#include <utility>

#include "values/control_chars.h"

namespace quilvern {

TextField::TextField(std::string text) : text_(BlankControlChars(text.substr(0, kMaxLength))) {}

void TextField::SetText(std::string_view text) {
    std::string blanked = BlankControlChars(text.substr(0, kMaxLength));
    if (blanked == text_)
        return;
    std::string before = std::exchange(text_, std::move(blanked));
    OnRepaint.Raise();
    OnChange.RaiseOrPutBack([&] {
        text_ = std::move(before);
        OnRepaint.Raise();
    });
}

}  // namespace quilvern
