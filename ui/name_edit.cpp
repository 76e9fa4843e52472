#include "ui/name_edit.h"

#include <QFocusEvent>

#include "ui/cp1252.h"
#include "ui/error_box.h"

namespace quilvern {

NameEdit::NameEdit(TextField& model, QWidget* parent) : QLineEdit(parent), model_(model) {
    model_.OnRepaint.Add([this] { Show(); });
    connect(this, &QLineEdit::textEdited, this,
            [this](const QString& text) { Guarded([&] { model_.SetText(ToCp1252(text)); }); });
    Show();
}

void NameEdit::Show() {
    const QString text = FromCp1252(model_.Text());
    if (text != QLineEdit::text())
        setText(text);
}

void NameEdit::focusInEvent(QFocusEvent* event) {
    const int caret = cursorPosition();
    QLineEdit::focusInEvent(event);
    deselect();
    setCursorPosition(caret);
}

}  // namespace quilvern
