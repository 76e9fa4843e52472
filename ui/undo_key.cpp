#include "ui/undo_key.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextDocument>

namespace quilvern {

UndoKeyPassage::UndoKeyPassage(QWidget& window, std::function<bool()> offered)
    : QObject(&window), window_(window), offered_(std::move(offered)) {
    qApp->installEventFilter(this);
}

// Before a key reaches the focus widget as a key press, the widget is asked whether it
// wants the key for itself (ShortcutOverride); a text field always says yes to Ctrl+Z.
// Stopping that question lets the window's shortcut have the key instead.
bool UndoKeyPassage::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::ShortcutOverride || !watched->isWidgetType())
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    const auto* widget = static_cast<QWidget*>(watched);
    if (key->keyCombination() != QKeyCombination(Qt::ControlModifier, Qt::Key_Z) ||
        widget->window() != &window_ || !offered_() || HasOwnUndo(*widget)) {
        return false;
    }
    event->ignore();
    return true;
}

bool HasOwnUndo(const QWidget& widget) {
    if (const auto* edit = qobject_cast<const QLineEdit*>(&widget))
        return !edit->isReadOnly() && edit->isUndoAvailable();
    if (const auto* text = qobject_cast<const QPlainTextEdit*>(&widget))
        return !text->isReadOnly() && text->document()->isUndoAvailable();
    if (const auto* combo = qobject_cast<const QComboBox*>(&widget))
        return combo->lineEdit() != nullptr && HasOwnUndo(*combo->lineEdit());
    return false;
}

}  // namespace quilvern
