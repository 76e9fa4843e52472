#include "values/error_text.h"

#include "values/error.h"

namespace quilvern {

ErrorBoxParts ErrorBoxLayout(const std::exception& error) {
    const auto* ours = dynamic_cast<const Error*>(&error);
    if (ours == nullptr || ours->Path().empty())
        return {ErrorBoxText(error.what()), {}, {}};
    const std::string& message = ours->Message();
    const auto at = message.find("%s");
    if (at == std::string::npos)
        return {ErrorBoxText(message) + "\n", ours->Path(), {}};
    ErrorBoxParts parts{message.substr(0, at), ours->Path(), message.substr(at + 2)};
    const std::string_view last = parts.after.empty() ? parts.path : parts.after;
    if (static_cast<unsigned char>(last.back()) > '.')
        parts.after += '.';
    return parts;
}

}  // namespace quilvern
