#pragma once
// A month's group box. The Tab key stops on it (the months keep their order), so the
// keyboard reaches the month's two image buttons, which never take the focus
// themselves: T or Enter presses "Transfer", R presses "Report".
#include <QGroupBox>

class QAbstractButton;

namespace quilvern {

class MonthBox : public QGroupBox {
    Q_OBJECT
  public:
    MonthBox(const QString& caption, QWidget* parent);
    void SetButtons(QAbstractButton* transfer, QAbstractButton* report);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    QAbstractButton* transfer_ = nullptr;
    QAbstractButton* report_ = nullptr;
};

}  // namespace quilvern
