#pragma once
// A notification that any number of handlers subscribe to. Raising it runs them at once,
// nested inside the call that raised it, in the order they subscribed. Handlers are only
// ever added: a later subscriber never replaces or wraps an earlier one.
//
// A field raises its change so that a handler may refuse it by throwing (a total that
// would overflow): the field then puts back what the change replaced, raising nothing,
// and the error goes on to its caller. Handlers that subscribed before the one that
// threw have already seen the change, so a handler that may refuse subscribes first and
// throws before it stores anything, or puts back what it stored.
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

    // Raises it; when a handler throws, runs `putBack` and rethrows.
    template <typename PutBack>
    void RaiseOrPutBack(PutBack&& putBack) const {
        try {
            Raise();
        } catch (...) {
            std::forward<PutBack>(putBack)();
            throw;
        }
    }

  private:
    std::vector<std::function<void()>> listeners_;
};

}  // namespace quilvern
