#pragma once
// Ctrl+Z, the key of "Undo Clear ...". A text field keeps the key for its own undo while
// it has typing of its own to undo; otherwise the key passes to the window's shortcut,
// so that right after a clear command it undoes the command wherever the focus is.
#include <QObject>
#include <functional>

class QWidget;

namespace quilvern {

class UndoKeyPassage : public QObject {
    Q_OBJECT
  public:
    // Watches the key for the widgets of `window` while `offered` says an undo waits.
    UndoKeyPassage(QWidget& window, std::function<bool()> offered);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QWidget& window_;
    std::function<bool()> offered_;
};

// Whether the widget is a text field with typing of its own to undo.
bool HasOwnUndo(const QWidget& widget);

}  // namespace quilvern
