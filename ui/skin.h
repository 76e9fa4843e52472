#pragma once
// The built-in skin: the window's colours and font, applied through a fixed widget
// style and palettes, so the look does not depend on the desktop's theme.
#include <QColor>
#include <QFont>

class QApplication;
class QWidget;

namespace quilvern::skin {

inline const QColor kWindow{0xE5, 0xE5, 0xE5};
inline const QColor kTopBar{0xCD, 0xCD, 0xCD};
inline const QColor kViewLabelText{0x21, 0x21, 0x21};

// "MS Sans Serif" at a character height of 11 pixels, else a sans-serif face.
QFont WindowFont(int pixelHeight = 11);

// The style and palette of the whole application; call once before any widget exists.
void Apply(QApplication& application);

// Sets the text colour of a label or a group of labels while enabled; disabled, they
// keep the skin's grey.
void SetTextColour(QWidget& widget, QColor colour);

}  // namespace quilvern::skin
