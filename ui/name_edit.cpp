#include "ui/name_edit.h"

#include <QFocusEvent>

#include "ui/cp1252.h"
#include "ui/error_box.h"

namespace quilvern {

NameEdit::NameEdit(TextField& model, QWidget* parent) : QLineEdit(parent), model_(model) {
    // A keystroke past the end is refused here rather than cut off by the model.
    setMaxLength(static_cast<int>(TextField::kMaxLength));
    model_.OnRepaint.Add([this] { ShowModel(); });
    connect(this, &QLineEdit::textEdited, this, [this](const QString& text) {
        Guarded([&] { model_.SetText(ToCp1252(text)); });
        ShowModel();
    });
    ShowModel();
}

void NameEdit::ShowModel() {
    const QString text = FromCp1252(model_.Text());
    if (text == QLineEdit::text())
        return;
    // A blanked control character leaves the length as it was, so the caret of an edit
    // keeps its place; any other new text puts it at the end.
    const bool sameLength = text.size() == QLineEdit::text().size();
    const int caret = cursorPosition();
    setText(text);
    if (sameLength)
        setCursorPosition(caret);
}

void NameEdit::focusInEvent(QFocusEvent* event) {
    const int caret = cursorPosition();
    QLineEdit::focusInEvent(event);
    deselect();
    setCursorPosition(caret);
}

}  // namespace quilvern
