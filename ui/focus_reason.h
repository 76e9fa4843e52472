#pragma once
// Focus moving to another window (the error box, a menu, another application) leaves
// the field focused inside its own window; only moves within the window count.
#include <QFocusEvent>

namespace quilvern {

inline bool LeavesTheWindow(const QFocusEvent* event) {
    return event->reason() == Qt::ActiveWindowFocusReason ||
           event->reason() == Qt::PopupFocusReason;
}

}  // namespace quilvern
