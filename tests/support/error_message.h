#pragma once
// The message of the Error an action throws, or "no error", for tables that compare
// what the user would see.
#include <string>
#include <utility>

#include "values/error.h"

namespace quilvern::test {

template <typename Action>
std::string ErrorMessage(Action&& action) {
    try {
        std::forward<Action>(action)();
    } catch (const Error& error) {
        return error.what();
    }
    return "no error";
}

}  // namespace quilvern::test
