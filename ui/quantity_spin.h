#pragma once
// The view of a quantity field: a field edit with two step buttons inside its right
// edge; its own keys are Up and Down, which step, and Enter, which is refused. The
// mouse wheel steps too.
#include <QTimer>

#include "ui/field_edit.h"
#include "values/quantity_field.h"

namespace quilvern {

class QuantitySpin;

// One of the two step buttons, with its auto-repeat.
class StepButton : public QWidget {
    Q_OBJECT
  public:
    enum class Direction { Up, Down };
    StepButton(Direction direction, QuantitySpin& spin);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    void Step();

    Direction direction_;
    QuantitySpin& spin_;
    StepRepeat repeat_;
    QTimer timer_;
};

class QuantitySpin : public FieldEdit {
    Q_OBJECT
  public:
    static constexpr int kButtonsWidth = 18;

    QuantitySpin(QuantityField& model, QWidget* parent);
    QuantityField& Model() { return model_; }

  protected:
    bool FieldKey(const QKeyEvent& event) override;
    void wheelEvent(QWheelEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    QuantityField& model_;
    StepButton up_;
    StepButton down_;
};

}  // namespace quilvern
