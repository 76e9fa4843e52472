#include "ui/captioned_button.h"

#include <QLabel>
#include <QMouseEvent>
#include <QStyleOptionToolButton>

#include "ui/image_button.h"

namespace quilvern {

CaptionedButton::CaptionedButton(const QString& name, const QString& image, QRect geometry,
                                 const QString& caption, QPoint captionAt, QWidget* parent)
    : QToolButton(parent) {
    SetUpImageButton(*this, name, image, geometry);
    caption_ = new QLabel(caption, parent);
    caption_->setObjectName(name + QStringLiteral("Caption"));
    caption_->setGeometry(QRect(captionAt, caption_->sizeHint()));
    caption_->installEventFilter(this);
}

bool CaptionedButton::Hovered() const {
    return isEnabled() && (buttonHovered_ || captionHovered_);
}

void CaptionedButton::initStyleOption(QStyleOptionToolButton* option) const {
    QToolButton::initStyleOption(option);
    if (Hovered())
        option->state |= QStyle::State_MouseOver;
}

bool CaptionedButton::event(QEvent* event) {
    switch (event->type()) {
        case QEvent::Enter:
        case QEvent::Leave:
            buttonHovered_ = event->type() == QEvent::Enter;
            ShowHover();
            break;
        case QEvent::EnabledChange:
            caption_->setEnabled(isEnabled());
            ShowHover();
            break;
        default:
            break;
    }
    return QToolButton::event(event);
}

// The word's mouse events, handled as the button handles its own: pressed while the
// left button is held over it, clicked when released over it.
bool CaptionedButton::eventFilter(QObject* watched, QEvent* event) {
    if (watched != caption_)
        return QToolButton::eventFilter(watched, event);
    switch (event->type()) {
        case QEvent::Enter:
        case QEvent::Leave:
            captionHovered_ = event->type() == QEvent::Enter;
            ShowHover();
            return false;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::MouseButtonRelease: {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            const bool over = caption_->rect().contains(mouse->position().toPoint());
            if (event->type() == QEvent::MouseButtonRelease) {
                if (mouse->button() != Qt::LeftButton || !isDown())
                    return true;
                setDown(false);
                if (over)
                    click();
            } else if (event->type() == QEvent::MouseMove) {
                if (mouse->buttons() & Qt::LeftButton)
                    setDown(over);
            } else if (mouse->button() == Qt::LeftButton) {
                setDown(true);
            }
            return true;
        }
        default:
            return false;
    }
}

void CaptionedButton::ShowHover() {
    QFont font = caption_->font();
    if (font.underline() != Hovered()) {
        font.setUnderline(Hovered());
        caption_->setFont(font);
    }
    update();
}

}  // namespace quilvern
