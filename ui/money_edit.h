#pragma once
// The view of a money field: shows the model's text and caret, aligned right, and
// forwards keystrokes, paste, cut, Escape and focus changes to the model.
#include <QLineEdit>

#include "values/money_field.h"

namespace quilvern {

class MoneyEdit : public QLineEdit {
    Q_OBJECT
  public:
    MoneyEdit(MoneyField& model, QWidget* parent);
    MoneyField& Model() { return model_; }

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

  private:
    void Show();
    void TakeSelection();
    void PasteClipboard();
    void CutToClipboard();
    void TypeText(const QString& text);

    MoneyField& model_;
};

}  // namespace quilvern
