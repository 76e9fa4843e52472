#pragma once
// The one error type of the program: it carries the message the user sees in the
// error box. Thrown where a failure happens; caught only where events are dispatched.
#include <stdexcept>
#include <string>
#include <string_view>

namespace quilvern {

class Error : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The message with its first "%s" replaced by argument.
std::string Format(std::string_view message, std::string_view argument);

}  // namespace quilvern
