#pragma once
// The report viewer's context menu: the text view's own entries (undo, copy, select
// all, ...) and, after a separator, the viewer's commands.
#include <QList>

class QAction;
class QPlainTextEdit;

namespace quilvern {

void ExtendContextMenu(QPlainTextEdit& view, const QList<QAction*>& entries);

}  // namespace quilvern
