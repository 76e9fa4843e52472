#include "ui/link_label.h"

#include <QDesktopServices>
#include <QMouseEvent>

#include "ui/skin.h"

namespace quilvern {

LinkLabel::LinkLabel(const QString& text, QUrl target, QWidget* parent)
    : QLabel(text, parent), target_(std::move(target)) {
    QFont bold = font();
    bold.setBold(true);
    bold.setPixelSize(13);
    setFont(bold);
    setCursor(Qt::PointingHandCursor);
    Colour(skin::kViewLabelText);
}

void LinkLabel::Colour(QColor colour) {
    QPalette palette = this->palette();
    palette.setColor(QPalette::WindowText, colour);
    setPalette(palette);
}

void LinkLabel::enterEvent(QEnterEvent* event) {
    Colour(palette().color(QPalette::Active, QPalette::Text));
    QLabel::enterEvent(event);
}

void LinkLabel::leaveEvent(QEvent* event) {
    Colour(skin::kViewLabelText);
    QLabel::leaveEvent(event);
}

void LinkLabel::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        QDesktopServices::openUrl(target_);
}

}  // namespace quilvern
