#pragma once
// The view of a money field: a field edit aligned right, whose own keys are Escape,
// which puts back the stored amount, and Enter, which does nothing.
#include "ui/field_edit.h"
#include "values/money_field.h"

namespace quilvern {

class MoneyEdit : public FieldEdit {
    Q_OBJECT
  public:
    MoneyEdit(MoneyField& model, QWidget* parent);
    MoneyField& Model() { return model_; }

  protected:
    bool FieldKey(const QKeyEvent& event) override;

  private:
    MoneyField& model_;
};

}  // namespace quilvern
