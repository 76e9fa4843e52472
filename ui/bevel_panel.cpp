#include "ui/bevel_panel.h"

#include <QPainter>

namespace quilvern {

BevelPanel::BevelPanel(const QString& name, QColor background, Bevel bevel, QWidget* parent)
    : QWidget(parent), bevel_(bevel) {
    setObjectName(name);
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, background);
    setPalette(palette);
}

void BevelPanel::AddCaption(int left, int top, const QString& text) {
    captions_.push_back({left, top, text});
}

void BevelPanel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (bevel_ == Bevel::Row) {
        const QColor light(0xFF, 0xFF, 0xFF);
        const QColor shadow(0xA0, 0xA0, 0xA0);
        const QRect outer = rect().adjusted(0, 0, -1, -1);
        const QRect inner = outer.adjusted(1, 1, -1, -1);
        // Lowered outer edge, raised inner edge.
        painter.setPen(shadow);
        painter.drawLine(outer.topLeft(), outer.topRight());
        painter.drawLine(outer.topLeft(), outer.bottomLeft());
        painter.setPen(light);
        painter.drawLine(outer.bottomLeft(), outer.bottomRight());
        painter.drawLine(outer.topRight(), outer.bottomRight());
        painter.drawLine(inner.topLeft(), inner.topRight());
        painter.drawLine(inner.topLeft(), inner.bottomLeft());
        painter.setPen(shadow);
        painter.drawLine(inner.bottomLeft(), inner.bottomRight());
        painter.drawLine(inner.topRight(), inner.bottomRight());
    }
    painter.setPen(palette().color(QPalette::WindowText));
    painter.setFont(font());
    const int ascent = painter.fontMetrics().ascent();
    for (const Caption& caption : captions_) {
        painter.drawText(caption.left, caption.top + ascent, caption.text);
    }
}

}  // namespace quilvern
