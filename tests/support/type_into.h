#pragma once
// Typing into a line field of the real window by its name, as a user who tabbed into it
// and typed over what it held.
#include <QLineEdit>
#include <QTest>

#include "ui/main_window.h"

namespace quilvern::test {

inline void TypeInto(TForm1& form, const char* name, const char* keys) {
    auto* edit = form.findChild<QLineEdit*>(QString::fromLatin1(name));
    edit->setFocus(Qt::TabFocusReason);
    edit->selectAll();
    QTest::keyClicks(edit, keys);
}

}  // namespace quilvern::test
