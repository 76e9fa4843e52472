#pragma once
// The flat image buttons of the window: they react to the mouse only, never take the
// keyboard focus, and draw a disabled image of their own when disabled.
#include <QIcon>
#include <QRect>
#include <QString>

class QToolButton;
class QWidget;

namespace quilvern {

// The icon ":/icons/<image>.svg", with ":/icons/<image>-disabled.svg" when there is one.
QIcon ImageIcon(const QString& image);

QToolButton* NewImageButton(const QString& name, const QString& image, QRect geometry,
                            QWidget* parent);

// Makes a tool button one of them, for subclasses that add to it.
void SetUpImageButton(QToolButton& button, const QString& name, const QString& image,
                      QRect geometry);

}  // namespace quilvern
