#pragma once
// An image button with a word beside it that belongs to it, as in the month boxes: a
// click on the word is a click on the button, pointing at either shows both hovered
// (the button raised, the word underlined), and the word is enabled and disabled with
// the button. The button keeps its own place and size; the word is a label of the same
// parent, named after the button with "Caption" appended.
#include <QToolButton>

class QLabel;

namespace quilvern {

class CaptionedButton : public QToolButton {
    Q_OBJECT
  public:
    CaptionedButton(const QString& name, const QString& image, QRect geometry,
                    const QString& caption, QPoint captionAt, QWidget* parent);

    QLabel* Caption() const { return caption_; }
    bool Hovered() const;  // the pointer rests on the button or on its word

  protected:
    void initStyleOption(QStyleOptionToolButton* option) const override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void ShowHover();

    QLabel* caption_ = nullptr;
    bool buttonHovered_ = false;
    bool captionHovered_ = false;
};

}  // namespace quilvern
