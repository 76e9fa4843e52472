#include "values/error.h"

namespace quilvern {

Error::Error(std::string_view message, std::string path)
    : std::runtime_error(Format(message, path)), message_(message), path_(std::move(path)) {}

std::string Format(std::string_view message, std::string_view argument) {
    std::string text(message);
    if (auto at = text.find("%s"); at != std::string::npos) {
        text.replace(at, 2, argument);
    }
    return text;
}

}  // namespace quilvern
