#include "ui/money_edit.h"

#include <QKeyEvent>

namespace quilvern {

MoneyEdit::MoneyEdit(MoneyField& model, QWidget* parent) : FieldEdit(model, parent), model_(model) {
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
}

bool MoneyEdit::FieldKey(const QKeyEvent& event) {
    switch (event.key()) {
        case Qt::Key_Escape:
            model_.PressEscape();
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return true;  // offered to the window, which has no default button
        default:
            return false;
    }
}

}  // namespace quilvern
