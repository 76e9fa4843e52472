#pragma once
// The web link of the About panel: bold, with a hand pointer and the window-text
// colour while the pointer is over it; a left press opens the address in the browser.
#include <QLabel>
#include <QUrl>

namespace quilvern {

class LinkLabel : public QLabel {
    Q_OBJECT
  public:
    LinkLabel(const QString& text, QUrl target, QWidget* parent);

  protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

  private:
    void Colour(QColor colour);
    QUrl target_;
};

}  // namespace quilvern
