#include "ui/month_box.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QPainter>

namespace quilvern {
namespace {

void Press(QAbstractButton* button) {
    if (button != nullptr && button->isEnabled())
        button->click();
}

}  // namespace

MonthBox::MonthBox(const QString& caption, QWidget* parent) : QGroupBox(caption, parent) {
    setFocusPolicy(Qt::TabFocus);
}

void MonthBox::SetButtons(QAbstractButton* transfer, QAbstractButton* report) {
    transfer_ = transfer;
    report_ = report;
}

void MonthBox::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_T:
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return Press(transfer_);
        case Qt::Key_R:
            return Press(report_);
        default:
            QGroupBox::keyPressEvent(event);
    }
}

void MonthBox::paintEvent(QPaintEvent* event) {
    QGroupBox::paintEvent(event);
    if (!hasFocus())
        return;
    QPainter painter(this);
    painter.setPen(QPen(palette().color(QPalette::Highlight), 1, Qt::DotLine));
    painter.drawRect(rect().adjusted(1, 1, -2, -2));
}

}  // namespace quilvern
