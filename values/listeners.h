#pragma once
// A notification that any number of handlers subscribe to. Raising it runs them at once,
// nested inside the call that raised it, in the order they subscribed. Handlers are only
// ever added: a later subscriber never replaces or wraps an earlier one.
#include <cstddef>
#include <functional>
#include <utility>
#include <vector>

namespace quilvern {

class Listeners {
  public:
    void Add(std::function<void()> listener) { listeners_.push_back(std::move(listener)); }

    // A handler that subscribes another while it runs does not run the new one this time.
    void Raise() const {
        const std::size_t count = listeners_.size();
        for (std::size_t i = 0; i < count; ++i)
            listeners_[i]();
    }

  private:
    std::vector<std::function<void()>> listeners_;
};

}  // namespace quilvern
