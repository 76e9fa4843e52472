#include "ui/money_edit.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QPointer>
#include <QTimer>

#include "ui/cp1252.h"
#include "ui/error_box.h"
#include "ui/focus_reason.h"

namespace quilvern {

MoneyEdit::MoneyEdit(MoneyField& model, QWidget* parent) : QLineEdit(parent), model_(model) {
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setReadOnly(model_.ReadOnly);
    setAcceptDrops(false);
    model_.OnRepaint.Add([this] { Show(); });
    model_.OnBeep = [] { QApplication::beep(); };
    Show();
}

void MoneyEdit::Show() {
    const QString text = FromCp1252(model_.ShownText());
    if (text != QLineEdit::text())
        setText(text);
    if (!model_.Focused())
        return;
    if (model_.Anchor() == model_.Caret()) {
        setCursorPosition(model_.Caret());
    } else {
        setSelection(model_.Anchor(), model_.Caret() - model_.Anchor());
    }
}

// The view's caret and selection move with the mouse and the arrow keys; the model
// needs them before each edit.
void MoneyEdit::TakeSelection() {
    const int caret = cursorPosition();
    int anchor = caret;
    if (hasSelectedText()) {
        const int start = selectionStart();
        anchor = start == caret ? start + static_cast<int>(selectedText().size()) : start;
    }
    model_.Select(anchor, caret);
}

void MoneyEdit::keyPressEvent(QKeyEvent* event) {
    Guarded([&] {
        TakeSelection();
        if (event->matches(QKeySequence::Paste))
            return PasteClipboard();
        if (event->matches(QKeySequence::Cut))
            return CutToClipboard();
        if (event->matches(QKeySequence::Undo) || event->matches(QKeySequence::Redo))
            return;
        switch (event->key()) {
            case Qt::Key_Escape:
                return model_.PressEscape();
            case Qt::Key_Return:
            case Qt::Key_Enter:
                return;  // offered to the window, which has no default button
            default:
                break;
        }
        const QString text = event->text();
        const bool typed = !text.isEmpty() && text[0].unicode() >= 32 &&
                           !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
        if (typed)
            return TypeText(text);
        const QString before = QLineEdit::text();
        QLineEdit::keyPressEvent(event);
        if (QLineEdit::text() != before) {
            model_.Edit(ToCp1252(QLineEdit::text()), cursorPosition());
        } else {
            TakeSelection();
        }
    });
}

void MoneyEdit::inputMethodEvent(QInputMethodEvent* event) {
    Guarded([&] {
        TakeSelection();
        TypeText(event->commitString());
    });
    event->accept();
}

void MoneyEdit::TypeText(const QString& text) {
    for (char c : ToCp1252(text))
        model_.TypeChar(c);
}

void MoneyEdit::PasteClipboard() {
    model_.Paste(ToCp1252(QApplication::clipboard()->text()));
}

void MoneyEdit::CutToClipboard() {
    if (model_.ReadOnly || !hasSelectedText())
        return;
    QApplication::clipboard()->setText(selectedText());
    model_.Cut();
}

void MoneyEdit::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    Guarded([&] {
        // Still focused after a failed focus change or a visit to another window.
        if (!model_.Focused()) {
            model_.FocusIn(event->reason() == Qt::MouseFocusReason ? FocusCause::LeftMouse
                                                                   : FocusCause::Keyboard);
        }
        Show();
    });
}

void MoneyEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    if (LeavesTheWindow(event))
        return;
    try {
        model_.FocusOut();
    } catch (const std::exception& error) {
        // Take the focus back first, then report: the box itself takes the focus from
        // another window, which the model ignores, so one failure gives one message.
        QPointer<MoneyEdit> self(this);
        const std::string message = error.what();
        QTimer::singleShot(0, this, [self, message] {
            if (!self)
                return;
            self->setFocus(Qt::OtherFocusReason);
            self->Show();
            ShowErrorBox(message);
        });
    }
}

void MoneyEdit::contextMenuEvent(QContextMenuEvent* event) {
    TakeSelection();
    QMenu menu(this);
    const bool editable = !model_.ReadOnly;
    menu.addAction(tr("Cu&t"), this, [this] { Guarded([this] { CutToClipboard(); }); })
        ->setEnabled(editable && hasSelectedText());
    menu.addAction(tr("&Copy"), this, [this] { copy(); })->setEnabled(hasSelectedText());
    menu.addAction(tr("&Paste"), this, [this] { Guarded([this] { PasteClipboard(); }); })
        ->setEnabled(editable && !QApplication::clipboard()->text().isEmpty());
    menu.addSeparator();
    menu.addAction(tr("Select &All"), this, [this] {
        selectAll();
        TakeSelection();
    });
    menu.exec(event->globalPos());
}

}  // namespace quilvern
