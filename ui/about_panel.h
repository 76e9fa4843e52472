#pragma once
// The About panel that lies over the view area. It closes as a dialog does: with its
// OK button, with Enter and with Escape; its OK button takes the focus when it opens.
// What closing does is the window's (onOk).
#include <QFrame>
#include <functional>

class QPushButton;

namespace quilvern {

class AboutPanel : public QFrame {
    Q_OBJECT
  public:
    AboutPanel(std::function<void()> onOk, QWidget* parent);

    void Open();  // shows it above every view, with the focus on OK

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    std::function<void()> onOk_;
    QPushButton* ok_ = nullptr;
};

}  // namespace quilvern
