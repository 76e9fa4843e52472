#include "ui/captioned_button.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QTest>

namespace quilvern {
namespace {

// A month box's "Transfer": the 22-pixel button at 9,44 and its word at 40,49.
class CaptionedButtonTest : public ::testing::Test {
  protected:
    CaptionedButtonTest() {
        window.resize(115, 97);
        button = new CaptionedButton("TransferJan", "transfer-month", {9, 44, 22, 22}, "Transfer",
                                     {40, 49}, &window);
        QObject::connect(button, &QToolButton::clicked, [this] { ++clicks; });
        window.show();
        QApplication::setActiveWindow(&window);
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
    }
    QLabel* Word() { return button->Caption(); }
    QPoint WordMiddle() { return Word()->rect().center(); }
    QImage ButtonPicture() { return button->grab().toImage(); }
    void PointAt(QWidget* widget) { QTest::mouseMove(widget, widget->rect().center()); }

    QWidget window;
    CaptionedButton* button = nullptr;
    int clicks = 0;
};

TEST_F(CaptionedButtonTest, KeepsItsPlaceAndPutsItsWordBesideIt) {
    EXPECT_EQ(button->geometry(), QRect(9, 44, 22, 22));
    EXPECT_EQ(Word()->objectName(), "TransferJanCaption");
    EXPECT_EQ(Word()->text(), "Transfer");
    EXPECT_EQ(Word()->pos(), QPoint(40, 49));
    EXPECT_GE(Word()->width(), Word()->sizeHint().width()) << "the whole word is the target";
    EXPECT_EQ(button->focusPolicy(), Qt::NoFocus);
}

TEST_F(CaptionedButtonTest, AClickOnTheWordIsAClickOnTheButton) {
    QTest::mouseClick(Word(), Qt::LeftButton, {}, WordMiddle());
    EXPECT_EQ(clicks, 1);
    QTest::mousePress(Word(), Qt::LeftButton, {}, WordMiddle());
    EXPECT_TRUE(button->isDown()) << "pressed on the word, the button shows pressed";
    QTest::mouseRelease(Word(), Qt::LeftButton, {}, Word()->rect().bottomRight() + QPoint(5, 5));
    EXPECT_FALSE(button->isDown());
    EXPECT_EQ(clicks, 1) << "released off the word, as off a button, nothing happens";
    QTest::mouseClick(Word(), Qt::RightButton, {}, WordMiddle());
    EXPECT_EQ(clicks, 1) << "only the left button clicks";
}

TEST_F(CaptionedButtonTest, ADisabledButtonDisablesItsWord) {
    button->setEnabled(false);
    EXPECT_FALSE(Word()->isEnabled());
    QTest::mouseClick(Word(), Qt::LeftButton, {}, WordMiddle());
    EXPECT_EQ(clicks, 0);
    button->setEnabled(true);
    EXPECT_TRUE(Word()->isEnabled());
}

TEST_F(CaptionedButtonTest, PointingAtEitherShowsBothHovered) {
    QTest::mouseMove(&window, {100, 5});
    const QImage resting = ButtonPicture();
    EXPECT_FALSE(Word()->font().underline());

    PointAt(button);
    ASSERT_TRUE(button->Hovered());
    const QImage overButton = ButtonPicture();
    EXPECT_TRUE(Word()->font().underline());
    EXPECT_NE(overButton, resting) << "the button draws its hover";

    PointAt(Word());
    ASSERT_TRUE(button->Hovered());
    EXPECT_EQ(ButtonPicture(), overButton) << "the word hovers the button as the button does";
    EXPECT_TRUE(Word()->font().underline());

    QTest::mouseMove(&window, {100, 5});
    EXPECT_FALSE(button->Hovered());
    EXPECT_EQ(ButtonPicture(), resting);
    EXPECT_FALSE(Word()->font().underline());
}

}  // namespace
}  // namespace quilvern
