#pragma once
// Gives every control under a widget a name a screen reader can say: its caption, its
// tooltip, or else its name in the window, unless it already has one of its own (the
// fields of the sheet say which line they belong to).
class QWidget;

namespace quilvern {

void NameForScreenReaders(QWidget& root);

}  // namespace quilvern
