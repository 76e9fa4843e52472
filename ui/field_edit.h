#pragma once
// The view of a field that takes text by its own rules (a price, a quantity): a line
// edit that shows the field's text and selection and hands the field every way text
// can come in (a typed key, an editing key, the input method, the clipboard, the X11
// primary selection, a drop, the context menu), so that none of them passes its rules.
// The line edit never keeps a text of its own: whatever it shows comes from the field.
#include <QClipboard>
#include <QLineEdit>
#include <string>

#include "values/editable_field.h"

namespace quilvern {

class FieldEdit : public QLineEdit {
    Q_OBJECT
  public:
    FieldEdit(EditableField& field, QWidget* parent);

  protected:
    // A key with a meaning of the field's own (Escape, Enter, the arrows): true when
    // it was handled.
    virtual bool FieldKey(const QKeyEvent& event) = 0;

    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

  private:
    void ShowModel();  // the field's text and, with the focus, its selection
    void TakeSelection();
    void EditKey(QKeyEvent* event);
    void TypeText(const std::string& text);
    void PasteFrom(QClipboard::Mode mode);
    void CutToClipboard();

    EditableField& field_;
    bool ownChange_ = false;  // the line edit changes its text knowingly
};

}  // namespace quilvern
