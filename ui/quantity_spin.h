#pragma once
// The view of a quantity field: a line edit with two step buttons inside its right
// edge, the Up and Down keys and the mouse wheel, all forwarded to the model.
#include <QLineEdit>
#include <QTimer>

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

class QuantitySpin : public QLineEdit {
    Q_OBJECT
  public:
    static constexpr int kButtonsWidth = 18;

    QuantitySpin(QuantityField& model, QWidget* parent);
    QuantityField& Model() { return model_; }

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void Show();
    void TakeSelection();

    QuantityField& model_;
    StepButton up_;
    StepButton down_;
};

}  // namespace quilvern
