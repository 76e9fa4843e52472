#pragma once
// The view of a single-line text (a product name, the title text): a line edit that
// keeps the caret where it is on entry instead of selecting the text. What the user
// types, pastes or drops goes to the model, which turns control characters into
// blanks; the view then shows the model's text with the caret where it was.
#include <QLineEdit>

#include "values/text_field.h"

namespace quilvern {

class NameEdit : public QLineEdit {
    Q_OBJECT
  public:
    NameEdit(TextField& model, QWidget* parent);

  protected:
    void focusInEvent(QFocusEvent* event) override;

  private:
    void ShowModel();

    TextField& model_;
};

}  // namespace quilvern
