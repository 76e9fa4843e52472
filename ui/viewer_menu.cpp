#include "ui/viewer_menu.h"

#include <QMenu>
#include <QPlainTextEdit>

namespace quilvern {

void ExtendContextMenu(QPlainTextEdit& view, const QList<QAction*>& entries) {
    view.setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(&view, &QWidget::customContextMenuRequested, &view,
                     [&view, entries](const QPoint& at) {
                         QMenu* menu = view.createStandardContextMenu(at);
                         menu->setObjectName(QStringLiteral("ReportTextMenu"));
                         menu->setAttribute(Qt::WA_DeleteOnClose);
                         menu->addSeparator();
                         menu->addActions(entries);
                         menu->popup(view.viewport()->mapToGlobal(at));
                     });
}

}  // namespace quilvern
