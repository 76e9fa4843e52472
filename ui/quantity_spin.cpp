#include "ui/quantity_spin.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>

#include "ui/error_box.h"

namespace quilvern {

StepButton::StepButton(Direction direction, QuantitySpin& spin)
    : QWidget(&spin), direction_(direction), spin_(spin) {
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::ArrowCursor);
    setAccessibleName(direction == Direction::Up ? QStringLiteral("Step up")
                                                 : QStringLiteral("Step down"));
    connect(&timer_, &QTimer::timeout, this, [this] {
        int next = 0;
        const bool held = QApplication::mouseButtons() & Qt::LeftButton;
        if (repeat_.Tick(held, &next))
            Step();
        timer_.setInterval(next);
    });
}

void StepButton::Step() {
    Guarded([this] {
        if (direction_ == Direction::Up) {
            spin_.Model().StepUp();
        } else {
            spin_.Model().StepDown();
        }
    });
}

void StepButton::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    if (spin_.focusPolicy() != Qt::NoFocus && !spin_.hasFocus())
        spin_.setFocus(Qt::MouseFocusReason);
    timer_.start(repeat_.Press());
    update();
}

void StepButton::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    timer_.stop();
    if (repeat_.Release(rect().contains(event->position().toPoint())))
        Step();
    update();
}

void StepButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF face = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    painter.setPen(QColor(0xA0, 0xA0, 0xA0));
    painter.setBrush(repeat_.Pressed() ? QColor(0xC8, 0xC8, 0xC8) : QColor(0xEE, 0xEE, 0xEE));
    painter.drawRect(face);
    const QPointF centre = face.center();
    const qreal half = 3.0;
    const qreal rise = direction_ == Direction::Up ? -1.5 : 1.5;
    QPainterPath arrow;
    arrow.moveTo(centre.x() - half, centre.y() - rise);
    arrow.lineTo(centre.x() + half, centre.y() - rise);
    arrow.lineTo(centre.x(), centre.y() + rise);
    arrow.closeSubpath();
    painter.setPen(Qt::NoPen);
    painter.setBrush(isEnabled() ? QColor(0x21, 0x21, 0x21) : QColor(0x9A, 0x9A, 0x9A));
    painter.drawPath(arrow);
}

QuantitySpin::QuantitySpin(QuantityField& model, QWidget* parent)
    : FieldEdit(model, parent),
      model_(model),
      up_(StepButton::Direction::Up, *this),
      down_(StepButton::Direction::Down, *this) {
    setTextMargins(0, 0, kButtonsWidth, 0);
}

bool QuantitySpin::FieldKey(const QKeyEvent& event) {
    switch (event.key()) {
        case Qt::Key_Up:
            model_.StepUp();
            return true;
        case Qt::Key_Down:
            model_.StepDown();
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            model_.TypeChar('\r');
            return true;
        default:
            return false;
    }
}

void QuantitySpin::wheelEvent(QWheelEvent* event) {
    Guarded([&] { model_.Wheel(event->angleDelta().y()); });
    event->accept();  // consumed: the page behind does not scroll
}

void QuantitySpin::resizeEvent(QResizeEvent* event) {
    QLineEdit::resizeEvent(event);
    const int x = width() - kButtonsWidth - 1;
    const int half = (height() - 2) / 2;
    up_.setGeometry(x, 1, kButtonsWidth, half);
    down_.setGeometry(x, 1 + half, kButtonsWidth, height() - 2 - half);
}

}  // namespace quilvern
