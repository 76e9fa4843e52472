#pragma once
// The main window's caption, always exactly the title text: an empty text gives an
// empty caption, where Qt would show the application's name instead.
class QString;
class QWidget;

namespace quilvern {

void SetCaption(QWidget& window, const QString& text);

}  // namespace quilvern
