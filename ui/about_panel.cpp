#include "ui/about_panel.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <algorithm>

#include "ui/accessible_names.h"
#include "ui/link_label.h"
#include "ui/skin.h"

namespace quilvern {
namespace {

const QString kAboutAddress = QStringLiteral("https://quilvern.org");

}  // namespace

AboutPanel::AboutPanel(std::function<void()> onOk, QWidget* parent)
    : QFrame(parent), onOk_(std::move(onOk)) {
    setObjectName(QStringLiteral("AboutPanel"));
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Raised);
    setAutoFillBackground(true);
    const int middle = parent->width() / 2;
    auto centred = [&](QLabel* label, int top, int height) {
        const int width = std::max(label->sizeHint().width(), 40);
        label->setGeometry(middle - width / 2, top, width, height);
        label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        skin::SetTextColour(*label, skin::kViewLabelText);
    };
    auto* heading = new QLabel(QStringLiteral("Quilvern"), this);
    heading->setFont(skin::WindowFont(19));
    centred(heading, 108, 24);
    centred(new QLabel(QStringLiteral("Version 1.2"), this), 134, 13);
    centred(new QLabel(QStringLiteral("Copyright \u00A9 2026 the Quilvern developers"), this), 160,
            13);
    centred(new QLabel(QStringLiteral("Get more FREE software from"), this), 188, 13);
    auto* link = new LinkLabel(QStringLiteral("quilvern.org"), QUrl(kAboutAddress), this);
    const int linkWidth = link->sizeHint().width();
    link->setGeometry(middle - linkWidth / 2, 205, linkWidth, 16);
    ok_ = new QPushButton(QStringLiteral("OK"), this);
    ok_->setObjectName(QStringLiteral("AboutCloseBtn"));
    ok_->setGeometry(222, 238, 75, 25);
    connect(ok_, &QPushButton::clicked, this, [this] { onOk_(); });
    NameForScreenReaders(*this);
    hide();
}

void AboutPanel::Open() {
    show();
    raise();
    ok_->setFocus(Qt::OtherFocusReason);
}

// The OK button leaves Enter and Escape to its parent, since it is no dialog's default.
void AboutPanel::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Escape:
            if (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier)
                return ok_->click();
            break;
        default:
            break;
    }
    QFrame::keyPressEvent(event);
}

}  // namespace quilvern
