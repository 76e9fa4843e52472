#pragma once
// A panel of the window: a flat background colour, optionally the raised inner and
// lowered outer bevel of the sheet's rows, and labels painted rather than built.
#include <QColor>
#include <QString>
#include <QWidget>
#include <vector>

namespace quilvern {

class BevelPanel : public QWidget {
    Q_OBJECT
  public:
    enum class Bevel { None, Row };
    BevelPanel(const QString& name, QColor background, Bevel bevel, QWidget* parent);

    // A fixed caption drawn at (left, top), as a label without a widget of its own.
    void AddCaption(int left, int top, const QString& text);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    struct Caption {
        int left;
        int top;
        QString text;
    };
    Bevel bevel_;
    std::vector<Caption> captions_;
};

}  // namespace quilvern
