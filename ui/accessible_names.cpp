#include "ui/accessible_names.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QWidget>

namespace quilvern {
namespace {

QString SpokenName(const QWidget& widget) {
    if (const auto* button = qobject_cast<const QAbstractButton*>(&widget)) {
        if (!button->text().isEmpty())
            return button->text();
        if (!button->toolTip().isEmpty())
            return button->toolTip();
    } else if (const auto* label = qobject_cast<const QLabel*>(&widget)) {
        return label->text();
    } else if (const auto* box = qobject_cast<const QGroupBox*>(&widget)) {
        return box->title().trimmed();
    }
    return widget.objectName();
}

}  // namespace

void NameForScreenReaders(QWidget& root) {
    if (root.accessibleName().isEmpty())
        root.setAccessibleName(SpokenName(root));
    for (QWidget* child : root.findChildren<QWidget*>()) {
        if (child->accessibleName().isEmpty())
            child->setAccessibleName(SpokenName(*child));
    }
}

}  // namespace quilvern
