#include "ui/field_edit.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QPointer>
#include <QTimer>

#include "ui/cp1252.h"
#include "ui/error_box.h"
#include "ui/focus_reason.h"
#include "values/control_chars.h"

namespace quilvern {

FieldEdit::FieldEdit(EditableField& field, QWidget* parent) : QLineEdit(parent), field_(field) {
    setReadOnly(!field_.Editable());
    field_.OnRepaint.Add([this] { ShowModel(); });
    field_.OnBeep = [] { QApplication::beep(); };
    // Text that reached the line edit past the field (an accessibility client writing
    // it, say) gives way to the field's own.
    connect(this, &QLineEdit::textChanged, this, [this] {
        if (!ownChange_)
            ShowModel();
    });
    ShowModel();
}

void FieldEdit::ShowModel() {
    const QString text = FromCp1252(field_.ShownText());
    if (text != QLineEdit::text()) {
        ownChange_ = true;
        setText(text);
        ownChange_ = false;
    }
    if (!field_.Focused())
        return;
    if (field_.Anchor() == field_.Caret()) {
        setCursorPosition(field_.Caret());
    } else {
        setSelection(field_.Anchor(), field_.Caret() - field_.Anchor());
    }
}

// The view's caret and selection move with the mouse and the caret keys; the field
// needs them before each edit.
void FieldEdit::TakeSelection() {
    const int caret = cursorPosition();
    int anchor = caret;
    if (hasSelectedText()) {
        const int start = selectionStart();
        anchor = start == caret ? start + static_cast<int>(selectedText().size()) : start;
    }
    field_.Select(anchor, caret);
}

// A key types its text when that begins with a character that is no control character
// and neither Ctrl nor Alt is held; with them it is a chord, which types nothing. Every
// other key is an editing key: Delete, which X11 sends with the character DEL, deletes
// as Backspace does.
void FieldEdit::keyPressEvent(QKeyEvent* event) {
    Guarded([&] {
        TakeSelection();
        if (FieldKey(*event))
            return;
        if (event->matches(QKeySequence::Paste))
            return PasteFrom(QClipboard::Clipboard);
        if (event->matches(QKeySequence::Cut))
            return CutToClipboard();
        if (event->matches(QKeySequence::Undo) || event->matches(QKeySequence::Redo))
            return;  // the field keeps no history of its edits
        const std::string text = ToCp1252(event->text());
        const bool types = !text.empty() && !IsControlChar(text.front());
        const bool chord = event->modifiers() & (Qt::ControlModifier | Qt::AltModifier);
        if (types && chord)
            return event->ignore();
        if (types)
            return TypeText(text);
        EditKey(event);
    });
}

// What a plain line edit makes of an editing key (Backspace, Delete and their word
// forms, the caret keys, copying) goes to the field as an Edit when the text changed.
void FieldEdit::EditKey(QKeyEvent* event) {
    const QString before = text();
    ownChange_ = true;
    QLineEdit::keyPressEvent(event);
    ownChange_ = false;
    if (text() == before)
        return TakeSelection();
    field_.Edit(ToCp1252(text()), cursorPosition());
    ShowModel();
}

void FieldEdit::TypeText(const std::string& text) {
    for (char c : text)
        field_.TypeChar(c);
}

// The input method commits text as typed characters; what it composes is not shown.
void FieldEdit::inputMethodEvent(QInputMethodEvent* event) {
    Guarded([&] {
        TakeSelection();
        TypeText(ToCp1252(event->commitString()));
    });
    event->accept();
}

void FieldEdit::PasteFrom(QClipboard::Mode mode) {
    field_.Paste(ToCp1252(QApplication::clipboard()->text(mode)));
}

void FieldEdit::CutToClipboard() {
    const std::string removed = field_.Cut();
    if (!removed.empty())
        QApplication::clipboard()->setText(FromCp1252(removed));
}

// The middle button pastes the X11 primary selection where its press put the caret.
// Text from the mouse goes only to a field that has the focus: one without it holds
// the text of its stored value, not what it shows.
void FieldEdit::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::MiddleButton)
        return QLineEdit::mouseReleaseEvent(event);
    if (!QApplication::clipboard()->supportsSelection() || !field_.Focused())
        return;
    Guarded([this] {
        TakeSelection();
        field_.Select(field_.Caret(), field_.Caret());
        PasteFrom(QClipboard::Selection);
    });
}

void FieldEdit::dragEnterEvent(QDragEnterEvent* event) {
    if (field_.Editable() && event->mimeData()->hasText())
        return QLineEdit::dragEnterEvent(event);
    event->ignore();
}

void FieldEdit::dragMoveEvent(QDragMoveEvent* event) {
    if (field_.Editable() && event->mimeData()->hasText())
        return QLineEdit::dragMoveEvent(event);
    event->ignore();
}

// A drop is a paste where it falls. It takes the focus, as a click there would; while
// another window is active the focus cannot come, and the drop is refused.
void FieldEdit::dropEvent(QDropEvent* event) {
    if (!field_.Editable() || !event->mimeData()->hasText())
        return event->ignore();
    setFocus(Qt::MouseFocusReason);
    if (!field_.Focused())
        return event->ignore();
    event->acceptProposedAction();
    const int at = cursorPositionAt(event->position().toPoint());
    const std::string text = ToCp1252(event->mimeData()->text());
    Guarded([&] {
        field_.Select(at, at);
        field_.Paste(text);
    });
}

void FieldEdit::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    Guarded([&] {
        // Still focused after a failed focus change or a visit to another window.
        if (!field_.Focused()) {
            field_.FocusIn(event->reason() == Qt::MouseFocusReason ? FocusCause::LeftMouse
                                                                   : FocusCause::Keyboard);
        }
        ShowModel();
    });
}

void FieldEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    if (LeavesTheWindow(event))
        return;
    try {
        field_.FocusOut();
    } catch (const std::exception& error) {
        // Take the focus back first, then report: the box itself takes the focus from
        // another window, which the field ignores, so one failure gives one message.
        QPointer<FieldEdit> self(this);
        const std::string message = error.what();
        QTimer::singleShot(0, this, [self, message] {
            if (!self)
                return;
            self->setFocus(Qt::OtherFocusReason);
            self->ShowModel();
            ShowErrorBox(message);
        });
    }
}

void FieldEdit::contextMenuEvent(QContextMenuEvent* event) {
    TakeSelection();
    QMenu menu(this);
    const bool editable = field_.Editable();
    const bool selected = hasSelectedText();
    auto add = [&](const QString& text, bool enabled, auto action) {
        menu.addAction(text, this, [action] { Guarded(action); })->setEnabled(enabled);
    };
    add(tr("Cu&t"), editable && selected, [this] { CutToClipboard(); });
    add(tr("&Copy"), selected, [this] { copy(); });
    add(tr("&Paste"), editable && !QApplication::clipboard()->text().isEmpty(),
        [this] { PasteFrom(QClipboard::Clipboard); });
    add(tr("Delete"), editable && selected, [this] { field_.Cut(); });
    menu.addSeparator();
    add(tr("Select &All"), true, [this] {
        selectAll();
        TakeSelection();
    });
    menu.exec(event->globalPos());
}

}  // namespace quilvern
