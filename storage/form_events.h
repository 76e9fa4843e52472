#pragma once
// The main window's show, close-query and destroy notifications as plain handlers.
// The settings storages wrap them, each around what was installed before it, so the
// window raises one handler and the whole chain runs in its nesting order.
#include <functional>

namespace quilvern {

struct FormEvents {
    std::function<void()> onShow;
    std::function<void(bool& canClose)> onCloseQuery;
    std::function<void()> onDestroy;
};

}  // namespace quilvern
