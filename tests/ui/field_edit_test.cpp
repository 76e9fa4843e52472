#include "ui/field_edit.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QDropEvent>
#include <QInputMethodEvent>
#include <QMenu>
#include <QMimeData>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>
#include <memory>
#include <string>
#include <vector>

#include "core/sales_sheet.h"
#include "ui/error_box_watcher.h"
#include "ui/money_edit.h"
#include "ui/quantity_spin.h"

namespace quilvern {
namespace {

enum class Kind { Price, Quantity };

// One product line in a window: its price, quantity and total, and a field to move the
// focus to. Counts what the edited field raises.
class LineWindow {
  public:
    explicit LineWindow(Kind kind) : kind_(kind) {
        ProductLine& line = sheet.lines[0];
        auto* layout = new QVBoxLayout(&window);
        price = new MoneyEdit(line.price, &window);
        quantity = new QuantitySpin(line.quantity, &window);
        total = new MoneyEdit(line.total, &window);
        other = new QLineEdit(&window);
        for (QWidget* w : {static_cast<QWidget*>(price), static_cast<QWidget*>(quantity),
                           static_cast<QWidget*>(total), static_cast<QWidget*>(other)}) {
            layout->addWidget(w);
        }
        Field().OnChange.Add([this] { ++changes; });
        Field().OnBeep = [this] { ++beeps; };
        window.show();
        QApplication::setActiveWindow(&window);
    }

    EditableField& Field() {
        ProductLine& line = sheet.lines[0];
        return kind_ == Kind::Price ? static_cast<EditableField&>(line.price) : line.quantity;
    }
    FieldEdit* Edit() { return kind_ == Kind::Price ? static_cast<FieldEdit*>(price) : quantity; }
    // Focused, holding `text`, the counts cleared.
    void Hold(const char* text) {
        Edit()->setFocus(Qt::TabFocusReason);
        QTest::keyClicks(Edit(), text);
        changes = 0;
        beeps = 0;
    }
    // A key as X11 delivers it, with its text.
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers, const QString& text) {
        QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
        QApplication::sendEvent(Edit(), &press);
        QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
        QApplication::sendEvent(Edit(), &release);
    }
    std::string Shown() { return Edit()->text().toStdString(); }
    // The edited field empty, the other one set so that the line total shows what
    // arrives: a price against quantity 2, a quantity against price 5.
    void EmptyAgainstTheOther() {
        ProductLine& line = sheet.lines[0];
        if (kind_ == Kind::Price) {
            line.quantity.SetValue(2);
        } else {
            line.price.SetValue(5);
            line.quantity.SetText("");
        }
    }

    SalesSheet sheet;
    QWidget window;
    MoneyEdit* price;
    QuantitySpin* quantity;
    MoneyEdit* total;
    QLineEdit* other;
    int changes = 0;
    int beeps = 0;

  private:
    Kind kind_;
};

std::string Clipboard(QClipboard::Mode mode = QClipboard::Clipboard) {
    return QApplication::clipboard()->text(mode).toStdString();
}

// Every editing key, with the text X11 sends, either goes through the field's rules or
// does nothing, alike in a price and a quantity. Each field holds "123" first.
TEST(FieldEditKeys, EditingKeysAsX11SendsThem) {
    struct Case {
        const char* rule;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        const char* text;
        int anchor, caret;      // the view's selection before the key
        const char* clipboard;  // before the key
        const char* shown;      // in both fields
        int changes;
        const char* clipboardAfter;
    };
    const Qt::KeyboardModifiers none = Qt::NoModifier;
    const Qt::KeyboardModifiers ctrl = Qt::ControlModifier;
    const Qt::KeyboardModifiers shift = Qt::ShiftModifier;
    const Qt::KeyboardModifiers alt = Qt::AltModifier;
    for (const Case& c : std::initializer_list<Case>{
             {"delete_with_del_deletes_forward", Qt::Key_Delete, none, "\x7f", 0, 0, "", "23", 1,
              ""},
             {"delete_takes_the_selection", Qt::Key_Delete, none, "\x7f", 0, 2, "", "3", 1, ""},
             {"backspace_deletes_back", Qt::Key_Backspace, none, "\b", 3, 3, "", "12", 1, ""},
             {"ctrl_delete_deletes_the_word", Qt::Key_Delete, ctrl, "\x7f", 0, 0, "", "", 1, ""},
             {"ctrl_backspace_deletes_the_word", Qt::Key_Backspace, ctrl, "\b", 3, 3, "", "", 1,
              ""},
             {"shift_delete_cuts", Qt::Key_Delete, shift, "\x7f", 0, 2, "", "3", 1, "12"},
             {"ctrl_x_cuts", Qt::Key_X, ctrl, "\x18", 0, 2, "", "3", 1, "12"},
             {"ctrl_insert_copies", Qt::Key_Insert, ctrl, "", 0, 2, "", "123", 0, "12"},
             {"shift_insert_pastes", Qt::Key_Insert, shift, "", 3, 3, "45", "12,345", 1, "45"},
             {"ctrl_z_does_nothing", Qt::Key_Z, ctrl, "\x1a", 3, 3, "", "123", 0, ""},
             {"alt_digit_types_nothing", Qt::Key_7, alt, "7", 3, 3, "", "123", 0, ""},
         }) {
        for (Kind kind : {Kind::Price, Kind::Quantity}) {
            const std::string rule =
                std::string(c.rule) + (kind == Kind::Price ? " in a price" : " in a quantity");
            QApplication::clipboard()->setText(QString::fromLatin1(c.clipboard));
            LineWindow w(kind);
            w.Hold("123");
            w.Edit()->setSelection(c.anchor, c.caret - c.anchor);
            w.Key(c.key, c.modifiers, QString::fromLatin1(c.text));
            std::string shown = c.shown;
            if (kind == Kind::Quantity)
                std::erase(shown, ',');
            EXPECT_EQ(w.Shown(), shown) << rule;
            EXPECT_EQ(w.Field().ShownText(), shown) << rule;
            EXPECT_EQ(w.changes, c.changes) << rule;
            EXPECT_EQ(w.beeps, 0) << rule;
            EXPECT_EQ(Clipboard(), c.clipboardAfter) << rule;
        }
    }
}

TEST(FieldEditKeys, DeleteRecomputesTheLineAsBackspaceDoes) {
    for (Qt::Key key : {Qt::Key_Delete, Qt::Key_Backspace}) {
        LineWindow w(Kind::Price);
        w.sheet.lines[0].quantity.SetValue(2);
        w.Hold("123");
        w.Edit()->setCursorPosition(key == Qt::Key_Delete ? 2 : 3);
        w.Key(key, Qt::NoModifier, key == Qt::Key_Delete ? "\x7f" : "\b");
        EXPECT_EQ(w.Shown(), "12") << key;
        EXPECT_EQ(w.total->text(), "$24.00") << key;  // 12 x 2
    }
}

// The rules that differ: a price takes only text that parses, a quantity any text.
TEST(FieldEditPaste, EachFieldByItsOwnRules) {
    struct Case {
        const char* rule;
        Kind kind;
        const char* pasted;
        const char* shown;
        int changes;
        int beeps;
    };
    for (auto [rule, kind, pasted, shown, changes, beeps] : std::initializer_list<Case>{
             {"price_takes_a_number", Kind::Price, "45", "12,345", 1, 0},
             {"price_undoes_letters", Kind::Price, "abc", "123", 2, 1},
             {"price_takes_up_to_the_line_break", Kind::Price, "4\n5", "1,234", 1, 0},
             {"quantity_takes_letters", Kind::Quantity, "abc", "123abc", 1, 0},
             {"quantity_takes_up_to_the_line_break", Kind::Quantity, "4\n5", "1234", 1, 0},
         }) {
        QApplication::clipboard()->setText(QString::fromLatin1(pasted));
        LineWindow w(kind);
        w.Hold("123");
        QTest::keyClick(w.Edit(), Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(w.Shown(), shown) << rule;
        EXPECT_EQ(w.changes, changes) << rule;
        EXPECT_EQ(w.beeps, beeps) << rule;
    }
}

// The X11 primary selection: a middle click pastes it at the click, by the paste rule.
TEST(FieldEditPaste, MiddleClickPastesThePrimarySelectionByThePasteRule) {
    if (!QApplication::clipboard()->supportsSelection())
        GTEST_SKIP() << "this platform has no primary selection";
    struct Case {
        Kind kind;
        const char* selection;
        const char* shown;
        const char* total;
    };
    for (auto [kind, selection, shown, total] : std::initializer_list<Case>{
             {Kind::Price, "12", "12", "$24.00"},
             {Kind::Price, "abc", "", "$0.00"},
             {Kind::Quantity, "12", "12", "$60.00"},
             {Kind::Quantity, "abc", "abc", "$0.00"},
         }) {
        LineWindow w(kind);
        w.EmptyAgainstTheOther();
        w.Hold("");
        QApplication::clipboard()->setText(QString::fromLatin1(selection), QClipboard::Selection);
        QTest::mouseClick(w.Edit(), Qt::MiddleButton, Qt::NoModifier, QPoint(5, 5));
        EXPECT_EQ(w.Shown(), shown) << selection;
        EXPECT_EQ(w.total->text().toStdString(), total) << selection;
    }
}

// A drag that enters the field and is dropped there, as Qt delivers one.
void Drop(QWidget* target, const QString& text) {
    QMimeData data;
    data.setText(text);
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
}

TEST(FieldEditDrop, DroppedTextIsPastedByTheFieldsRules) {
    struct Case {
        Kind kind;
        const char* dropped;
        const char* shown;  // after the focus has left
        const char* total;
        int beeps;
    };
    for (auto [kind, dropped, shown, total, beeps] : std::initializer_list<Case>{
             {Kind::Price, "12", "$12.00", "$24.00", 0},
             {Kind::Price, "abc", "$0.00", "$0.00", 1},
             {Kind::Quantity, "3", "3", "$15.00", 0},
             {Kind::Quantity, "abc", "abc", "$0.00", 0},
         }) {
        LineWindow w(kind);
        w.EmptyAgainstTheOther();
        Drop(w.Edit(), QString::fromLatin1(dropped));
        EXPECT_TRUE(w.Edit()->hasFocus()) << dropped;
        w.other->setFocus(Qt::TabFocusReason);
        EXPECT_EQ(w.Shown(), shown) << dropped;
        EXPECT_EQ(w.total->text().toStdString(), total) << dropped;
        EXPECT_EQ(w.beeps, beeps) << dropped;
    }
}

TEST(FieldEditDrop, ReadOnlyTotalTakesNoDrop) {
    LineWindow w(Kind::Price);
    w.sheet.lines[0].total.SetValue(7);
    Drop(w.total, QStringLiteral("12"));
    EXPECT_EQ(w.total->text(), "$7.00");
}

TEST(FieldEditInputMethod, CommittedTextIsTyped) {
    for (Kind kind : {Kind::Price, Kind::Quantity}) {
        LineWindow w(kind);
        w.Hold("");
        QInputMethodEvent commit;
        commit.setCommitString(QStringLiteral("1a2"));
        QApplication::sendEvent(w.Edit(), &commit);
        EXPECT_EQ(w.Shown(), "12");
        EXPECT_EQ(w.changes, 2);
        EXPECT_EQ(w.beeps, 1) << "the letter is refused";
    }
}

// The context menu's actions go to the field; the menu is answered as the user would.
TEST(FieldEditMenu, PasteAndDeleteGoThroughTheField) {
    struct Case {
        const char* action;
        Kind kind;
        const char* shown;
        int beeps;
    };
    for (auto [action, kind, shown, beeps] : std::initializer_list<Case>{
             {"&Paste", Kind::Price, "123", 1},
             {"&Paste", Kind::Quantity, "x", 0},
             {"Delete", Kind::Price, "", 0},
             {"Delete", Kind::Quantity, "", 0},
         }) {
        QApplication::clipboard()->setText(QStringLiteral("x"));
        LineWindow w(kind);
        w.Hold("123");
        w.Edit()->selectAll();
        QTimer::singleShot(0, [action] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            ASSERT_NE(menu, nullptr);
            for (QAction* item : menu->actions()) {
                if (item->text() == QString::fromLatin1(action))
                    item->trigger();
            }
            menu->close();
        });
        QContextMenuEvent event(QContextMenuEvent::Keyboard, QPoint(5, 5),
                                w.Edit()->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(w.Edit(), &event);
        EXPECT_EQ(w.Shown(), shown) << action;
        EXPECT_EQ(w.beeps, beeps) << action;
    }
}

TEST(FieldEditView, TextWrittenPastTheFieldGivesWay) {
    LineWindow w(Kind::Price);
    w.Hold("12");
    w.Edit()->setText(QStringLiteral("abc"));  // as an accessibility client might
    EXPECT_EQ(w.Shown(), "12");
}

// A keystroke that would make a total too large is refused with the error box, and the
// price shows exactly what it showed before, caret included.
TEST(FieldEditRefusal, KeystrokeThatOverflowsShowsTheBoxAndPutsThePriceBack) {
    test::ErrorBoxWatcher boxes;
    LineWindow w(Kind::Price);
    w.sheet.lines[0].quantity.SetValue(100);
    w.Hold("1E493");
    w.Edit()->setCursorPosition(5);
    QTest::keyClick(w.Edit(), Qt::Key_1);  // 1E4931 x 100 is past the extended range
    EXPECT_EQ(boxes.texts, std::vector<std::string>{"The total would be too large."});
    EXPECT_EQ(w.Shown(), "1E493");
    EXPECT_EQ(w.Edit()->cursorPosition(), 5);
    EXPECT_EQ(w.total->text(), "1E495");
}

// A read-only total's text is never the user's: leaving it never reads it back, even
// when the desktop's separators changed while it had the focus.
TEST(FieldEditFocus, LeavingAReadOnlyTotalNeverShowsAnErrorBox) {
    test::ErrorBoxWatcher boxes;
    LineWindow w(Kind::Price);
    w.sheet.lines[0].total.SetValue(1234567.5L);
    QTest::mouseClick(w.total, Qt::LeftButton);
    ASSERT_TRUE(w.total->hasFocus());
    EXPECT_EQ(w.total->text(), "1,234,567.5");
    w.sheet.lines[0].total.SetSeparators({',', '.'});
    QTest::mouseClick(w.other, Qt::LeftButton);
    QTest::mouseClick(w.total, Qt::LeftButton);
    QTest::mouseClick(w.other, Qt::LeftButton);
    QApplication::processEvents();
    EXPECT_TRUE(boxes.texts.empty());
    EXPECT_TRUE(w.other->hasFocus());
    EXPECT_EQ(w.total->text(), "$1.234.567,50");
}

}  // namespace
}  // namespace quilvern
