#pragma once
// The one error type of the program: it carries the message the user sees in the
// error box. Thrown where a failure happens; caught only where events are dispatched.
#include <stdexcept>
#include <string>
#include <string_view>

namespace quilvern {

class Error : public std::runtime_error {
  public:
    explicit Error(const std::string& message) : std::runtime_error(message), message_(message) {}

    // A failure about a file. The path keeps the file system's own bytes, which need not
    // be Windows-1252 text, so the box shows it as a file name. It takes the place of
    // "%s" in the message, or follows the message on a line of its own when the message
    // has no "%s" (what() is then the message alone).
    Error(std::string_view message, std::string path);

    const std::string& Message() const { return message_; }  // with "%s", without the path
    const std::string& Path() const { return path_; }        // empty when no file is named

  private:
    std::string message_;
    std::string path_;
};

// The message with its first "%s" replaced by argument.
std::string Format(std::string_view message, std::string_view argument);

}  // namespace quilvern
