#include "ui/image_button.h"

#include <QFile>
#include <QToolButton>

namespace quilvern {

QIcon ImageIcon(const QString& image) {
    QIcon icon;
    const QString base = QStringLiteral(":/icons/") + image;
    icon.addFile(base + QStringLiteral(".svg"), QSize(16, 16), QIcon::Normal);
    const QString disabled = base + QStringLiteral("-disabled.svg");
    if (QFile::exists(disabled))
        icon.addFile(disabled, QSize(16, 16), QIcon::Disabled);
    return icon;
}

QToolButton* NewImageButton(const QString& name, const QString& image, QRect geometry,
                            QWidget* parent) {
    auto* button = new QToolButton(parent);
    SetUpImageButton(*button, name, image, geometry);
    return button;
}

void SetUpImageButton(QToolButton& button, const QString& name, const QString& image,
                      QRect geometry) {
    button.setObjectName(name);
    button.setGeometry(geometry);
    button.setAutoRaise(true);
    button.setFocusPolicy(Qt::NoFocus);
    button.setIcon(ImageIcon(image));
    button.setIconSize(QSize(16, 16));
}

}  // namespace quilvern
