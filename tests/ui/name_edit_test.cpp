#include "ui/name_edit.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QTest>
#include <functional>

namespace quilvern {
namespace {

// Text with a line break, pasted or dropped into a name, arrives with a blank in its
// place, in the model and on screen, and the caret stays right after what came in.
TEST(NameEditTest, LineBreakThatComesInBecomesABlank) {
    struct Case {
        const char* rule;
        const char* before;  // the caret after its first character
        std::function<void(NameEdit&)> bringIn;
        const char* after;
        int caret;
    };
    for (const auto& [rule, before, bringIn, after, caret] : std::initializer_list<Case>{
             {"pasted", "AB",
              [](NameEdit& edit) {
                  QApplication::clipboard()->setText(QStringLiteral("x\ny"));
                  QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
              },
              "Ax yB", 4},
             {"dropped", "A",
              [](NameEdit& edit) {
                  QMimeData data;
                  data.setText(QStringLiteral("x\ny"));
                  const QPoint at(edit.width() - 2, edit.height() / 2);  // after the text
                  QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
                  QApplication::sendEvent(&edit, &enter);
                  QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
                  QApplication::sendEvent(&edit, &drop);
              },
              "Ax y", 4},
         }) {
        QWidget window;
        TextField model(before);
        auto* edit = new NameEdit(model, &window);
        window.show();
        QApplication::setActiveWindow(&window);
        edit->setFocus();
        edit->setCursorPosition(1);
        bringIn(*edit);
        EXPECT_EQ(model.Text(), after) << rule;
        EXPECT_EQ(edit->text().toStdString(), after) << rule;
        EXPECT_EQ(edit->cursorPosition(), caret) << rule;
    }
}

}  // namespace
}  // namespace quilvern
