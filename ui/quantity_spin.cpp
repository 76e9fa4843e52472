#include "ui/quantity_spin.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>

#include "ui/cp1252.h"
#include "ui/error_box.h"
#include "ui/focus_reason.h"

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
    : QLineEdit(parent),
      model_(model),
      up_(StepButton::Direction::Up, *this),
      down_(StepButton::Direction::Down, *this) {
    setAcceptDrops(false);
    setTextMargins(0, 0, kButtonsWidth, 0);
    model_.OnRepaint.Add([this] { Show(); });
    model_.OnBeep = [] { QApplication::beep(); };
    // Whatever the plain edit changes itself (Backspace, Delete, cut, paste) goes to
    // the model unvalidated; typed characters are judged by the model first.
    connect(this, &QLineEdit::textEdited, this, [this](const QString& text) {
        Guarded([&] { model_.Edit(ToCp1252(text), cursorPosition()); });
    });
    Show();
}

void QuantitySpin::Show() {
    const QString text = FromCp1252(model_.Text());
    if (text != QLineEdit::text())
        setText(text);
    if (!model_.Focused())
        return;
    if (model_.Anchor() == model_.Caret()) {
        setCursorPosition(model_.Caret());
    } else {
        setSelection(model_.Anchor(), model_.Caret() - model_.Anchor());
    }
}

void QuantitySpin::TakeSelection() {
    const int caret = cursorPosition();
    int anchor = caret;
    if (hasSelectedText()) {
        const int start = selectionStart();
        anchor = start == caret ? start + static_cast<int>(selectedText().size()) : start;
    }
    model_.Select(anchor, caret);
}

void QuantitySpin::keyPressEvent(QKeyEvent* event) {
    Guarded([&] {
        TakeSelection();
        switch (event->key()) {
            case Qt::Key_Up:
                return model_.StepUp();
            case Qt::Key_Down:
                return model_.StepDown();
            case Qt::Key_Return:
            case Qt::Key_Enter:
                return model_.TypeChar('\r');
            default:
                break;
        }
        const QString text = event->text();
        const bool typed = !text.isEmpty() && text[0].unicode() >= 32 &&
                           !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
        if (typed) {
            for (char c : ToCp1252(text))
                model_.TypeChar(c);
            return;
        }
        QLineEdit::keyPressEvent(event);
    });
}

void QuantitySpin::wheelEvent(QWheelEvent* event) {
    Guarded([&] { model_.Wheel(event->angleDelta().y()); });
    event->accept();  // consumed: the page behind does not scroll
}

void QuantitySpin::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    if (LeavesTheWindow(event) && model_.Focused())
        return;
    Guarded([this] { model_.FocusIn(); });
}

void QuantitySpin::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    if (LeavesTheWindow(event))
        return;
    Guarded([this] { model_.FocusOut(); });
}

void QuantitySpin::resizeEvent(QResizeEvent* event) {
    QLineEdit::resizeEvent(event);
    const int x = width() - kButtonsWidth - 1;
    const int half = (height() - 2) / 2;
    up_.setGeometry(x, 1, kButtonsWidth, half);
    down_.setGeometry(x, 1 + half, kButtonsWidth, height() - 2 - half);
}

}  // namespace quilvern
