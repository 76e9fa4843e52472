#include "ui/money_edit.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>
#include <vector>

#include "ui/quantity_spin.h"

namespace quilvern {
namespace {

// A window with a price field and a field to move the focus to.
class MoneyEditTest : public ::testing::Test {
  protected:
    MoneyEditTest() {
        model.FormatOnEditing = true;
        edit = new MoneyEdit(model, &window);
        other = new QLineEdit(&window);
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(edit);
        layout->addWidget(other);
        model.OnChange.Add([this] { texts.push_back(edit->text().toStdString()); });
        model.OnBeep = [this] { ++beeps; };
        window.show();
        QApplication::setActiveWindow(&window);
        edit->setFocus(Qt::TabFocusReason);
    }

    QWidget window;
    MoneyField model;
    MoneyEdit* edit;
    QLineEdit* other;
    std::vector<std::string> texts;
    int beeps = 0;
};

TEST_F(MoneyEditTest, TypingShowsTheGroupedTextWithTheCaretAtTheEnd) {
    QTest::keyClicks(edit, "1234");
    EXPECT_EQ(texts, (std::vector<std::string>{"1", "12", "123", "1,234"}));
    EXPECT_EQ(edit->cursorPosition(), 5);
    EXPECT_TRUE(edit->alignment() & Qt::AlignRight);
}

TEST_F(MoneyEditTest, ThirdDecimalIsRefusedWithTheWarningSound) {
    QTest::keyClicks(edit, "1.234");
    EXPECT_EQ(edit->text(), "1.23");
    EXPECT_EQ(beeps, 1);
}

TEST_F(MoneyEditTest, LeavingShowsTheDisplayPattern) {
    QTest::keyClicks(edit, "1234.5");
    other->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(edit->text(), "$1,234.50");
    edit->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(edit->text(), "1,234.5");
    EXPECT_EQ(edit->selectedText(), "1,234.5");
}

TEST_F(MoneyEditTest, BackspaceGoesThroughTheModel) {
    QTest::keyClicks(edit, "1234");
    QTest::keyClick(edit, Qt::Key_Backspace);
    EXPECT_EQ(edit->text(), "123");
    EXPECT_EQ(model.Value(), 123.0L);
}

TEST_F(MoneyEditTest, EscapeRestoresTheStoredValue) {
    QTest::keyClicks(edit, "12.");
    model.Value();
    QTest::keyClick(edit, Qt::Key_Escape);
    EXPECT_EQ(edit->text(), "12");
    EXPECT_EQ(edit->selectedText(), "12");
}

TEST_F(MoneyEditTest, PasteThatDoesNotParseIsUndone) {
    QApplication::clipboard()->setText("$12");
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(edit->text(), "");
    EXPECT_EQ(beeps, 1);
    QApplication::clipboard()->setText("12");
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(edit->text(), "12");
}

TEST_F(MoneyEditTest, EnterIsSwallowedSilently) {
    QTest::keyClicks(edit, "5");
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(edit->text(), "5");
    EXPECT_EQ(beeps, 0);
}

TEST_F(MoneyEditTest, FocusLostWithABadTextGivesOneMessageAndKeepsTheFocus) {
    QTest::keyClicks(edit, "1E5");
    edit->setCursorPosition(1);
    QTest::keyClick(edit, Qt::Key_Backspace);  // leaves "E5"
    int boxes = 0;
    QTimer::singleShot(50, [&] {
        // The error box is modal: close it as the user would.
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w->objectName() == "ErrorBox" && w->isVisible()) {
                ++boxes;
                QTest::keyClick(w, Qt::Key_Return);
            }
        }
    });
    other->setFocus(Qt::TabFocusReason);
    QTest::qWait(200);
    EXPECT_EQ(boxes, 1);
    EXPECT_TRUE(model.Focused());
    EXPECT_EQ(edit->text(), "E5");
}

TEST(QuantitySpinTest, KeysWheelAndSteps) {
    QWidget window;
    QuantityField model;
    int beeps = 0;
    auto* spin = new QuantitySpin(model, &window);
    model.OnBeep = [&] { ++beeps; };
    spin->setGeometry(0, 0, 65, 21);
    window.show();
    QApplication::setActiveWindow(&window);
    spin->setFocus(Qt::TabFocusReason);
    QTest::keyClick(spin, Qt::Key_Up);
    EXPECT_EQ(spin->text(), "1");
    QTest::keyClicks(spin, "-a");
    EXPECT_EQ(beeps, 2);
    QTest::keyClick(spin, Qt::Key_Return);
    EXPECT_EQ(beeps, 3);
    QTest::keyClick(spin, Qt::Key_End);
    QTest::keyClicks(spin, "2");
    EXPECT_EQ(spin->text(), "12");
    QTest::keyClick(spin, Qt::Key_Down);
    EXPECT_EQ(model.Value(), 11);
}

}  // namespace
}  // namespace quilvern
