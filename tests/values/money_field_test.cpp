#include "values/money_field.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "values/error.h"

namespace quilvern {
namespace {

// A price field as the sheet configures it, counting what it raises.
class PriceField : public ::testing::Test {
  protected:
    PriceField() {
        field.FormatOnEditing = true;
        field.OnChange.Add([this] {
            ++changes;
            textsSeen.push_back(field.Text());
        });
        field.OnBeep = [this] { ++beeps; };
    }
    void Type(std::string_view keys) {
        for (char c : keys)
            field.TypeChar(c);
    }
    void SelectAll() { field.Select(0, static_cast<int>(field.Text().size())); }

    MoneyField field;
    int changes = 0;
    int beeps = 0;
    std::vector<std::string> textsSeen;
};

TEST_F(PriceField, TypingGroupsAndRaisesOneChangePerKey) {
    field.FocusIn(FocusCause::Keyboard);
    Type("1234");
    EXPECT_EQ(textsSeen, (std::vector<std::string>{"1", "12", "123", "1,234"}));
    EXPECT_EQ(field.Caret(), 5);
    EXPECT_EQ(beeps, 0);
    EXPECT_EQ(field.Value(), 1234.0L);
}

TEST_F(PriceField, TypedCharacterRules) {
    struct Case {
        const char* rule;
        const char* keys;
        const char* text;
        int beeps;
    };
    for (auto [rule, keys, text, expectedBeeps] : std::initializer_list<Case>{
             {"third_decimal_refused", "1.234", "1.23", 1},
             {"exponent_accepted", "1.5E3", "1.5E3", 0},
             {"exponent_after_two_decimals", "12.34E5", "12.34E5", 0},
             {"minus_into_empty_accepted", "-", "-", 0},
             {"blank_becomes_zero", " ", "0", 0},
             {"comma_vanishes_at_regrouping", "1,", "1", 0},
             {"second_point_refused", "1..", "1.", 1},
             {"letters_refused", "1a$", "1", 2},
             {"leading_exponent_refused", "E", "", 1},
             {"out_of_range_refused", "1E4932", "1E493", 1},
             {"grouped_while_typing_negative", "-12345", "-12,345", 0},
         }) {
        MoneyField f;
        f.FormatOnEditing = true;
        int beeped = 0;
        f.OnBeep = [&] { ++beeped; };
        f.FocusIn(FocusCause::Keyboard);
        for (const char* k = keys; *k; ++k)
            f.TypeChar(*k);
        EXPECT_EQ(f.Text(), text) << rule;
        EXPECT_EQ(beeped, expectedBeeps) << rule;
    }
}

TEST_F(PriceField, ExponentTextReadsAsItsValue) {
    field.FocusIn(FocusCause::Keyboard);
    Type("1.5E3");
    EXPECT_EQ(field.Value(), 1500.0L);
}

TEST_F(PriceField, LoneMinusReadsNegativeZeroAndLeavesAnEmptyEditText) {
    field.FocusIn(FocusCause::Keyboard);
    Type("-");
    const Money value = field.Value();
    EXPECT_TRUE(value == 0 && std::signbit(value));
    field.FocusOut();
    EXPECT_EQ(field.Text(), "");
    EXPECT_EQ(field.ShownText(), "$0.00");
}

TEST_F(PriceField, LoneSeparatorReadsZero) {
    field.FocusIn(FocusCause::Keyboard);
    Type(".");
    EXPECT_EQ(field.Value(), 0.0L);
}

TEST_F(PriceField, ValueWritesRoundTheEditTextToTwoDecimals) {
    field.SetValue(1.005L);
    EXPECT_EQ(field.Text(), "1.01");
    EXPECT_EQ(field.FormattedText(), "$1.01");
    EXPECT_EQ(field.Value(), 1.01L);
    field.SetValue(7.125L);
    EXPECT_EQ(field.Value(), 7.13L);
    field.SetValue(0);
    EXPECT_EQ(field.Text(), "");
    EXPECT_EQ(field.FormattedText(), "$0.00");
    EXPECT_EQ(changes, 3);
}

TEST_F(PriceField, ChangeOnlyWhenTheEditTextChanges) {
    field.SetValue(5);
    field.SetValue(5);
    EXPECT_EQ(changes, 1);
    field.SetValue(1);
    field.SetValue(1.001L);  // shows 1 as well
    EXPECT_EQ(changes, 2);
    field.FocusIn(FocusCause::Keyboard);
    field.FocusOut();
    EXPECT_EQ(changes, 2);
}

TEST_F(PriceField, FocusShowsGroupedEditTextAndSelectsAll) {
    field.SetValue(1234.5L);
    EXPECT_EQ(field.ShownText(), "$1,234.50");
    field.FocusIn(FocusCause::Keyboard);
    EXPECT_EQ(field.ShownText(), "1,234.5");
    EXPECT_EQ(field.Anchor(), 0);
    EXPECT_EQ(field.Caret(), 7);
    field.FocusOut();
    EXPECT_EQ(field.Text(), "1234.5");
    EXPECT_EQ(field.Caret(), 0);
}

TEST_F(PriceField, MouseFocusDoesNotSelect) {
    field.SetValue(12);
    field.FocusIn(FocusCause::LeftMouse);
    EXPECT_EQ(field.Anchor(), field.Caret());
}

TEST_F(PriceField, ValueWriteWithFocusIsRegroupedBeforeTheHandlerRuns) {
    field.FocusIn(FocusCause::Keyboard);
    field.SetValue(1234567);
    EXPECT_EQ(textsSeen, (std::vector<std::string>{"1,234,567"}));
}

TEST_F(PriceField, PasteThatDoesNotParseIsUndone) {
    field.FocusIn(FocusCause::Keyboard);
    Type("7");
    changes = 0;
    SelectAll();
    field.Paste("$12");
    EXPECT_EQ(field.Text(), "7");
    EXPECT_EQ(field.Anchor(), 0);
    EXPECT_EQ(field.Caret(), 1);
    EXPECT_EQ(changes, 2);  // the paste and the putting back
    EXPECT_EQ(beeps, 1);
}

TEST_F(PriceField, PasteTakesDecimalsBeyondTheLimitUntilFocusLeaves) {
    field.FocusIn(FocusCause::Keyboard);
    field.Paste("1.234");
    EXPECT_EQ(field.Text(), "1.234");
    EXPECT_EQ(field.Value(), 1.234L);
    field.FocusOut();
    EXPECT_EQ(field.Text(), "1.23");
    EXPECT_EQ(beeps, 0);
}

TEST_F(PriceField, PasteOfThousandsOfDigitsIsUndone) {
    field.FocusIn(FocusCause::Keyboard);
    field.Paste(std::string(6000, '9'));
    EXPECT_EQ(field.Text(), "");
    EXPECT_EQ(beeps, 1);
}

TEST_F(PriceField, EscapeRestoresTheStoredValueAndSelectsAll) {
    field.FocusIn(FocusCause::Keyboard);
    Type("12.");
    field.Value();  // as the line handler does at every change
    changes = 0;
    field.PressEscape();
    EXPECT_EQ(field.Text(), "12");
    EXPECT_EQ(field.Anchor(), 0);
    EXPECT_EQ(field.Caret(), 2);
    EXPECT_EQ(changes, 1);
}

TEST_F(PriceField, CutRemovesTheSelection) {
    field.FocusIn(FocusCause::Keyboard);
    Type("1234");
    field.Select(0, 2);  // "1,"
    EXPECT_EQ(field.Cut(), "1,");
    EXPECT_EQ(field.Text(), "234");
    EXPECT_EQ(changes, 5);
}

TEST_F(PriceField, LeavingWithTextThatDoesNotParseKeepsTheFocus) {
    field.FocusIn(FocusCause::Keyboard);
    Type("1E5");
    field.Edit("E5", 0);             // the 1 deleted with Backspace
    EXPECT_EQ(field.Value(), 0.0L);  // absorbed: no message on reading
    try {
        field.FocusOut();
        FAIL() << "the focus left with text that does not parse";
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "'E5' is not a valid floating point value");
    }
    EXPECT_TRUE(field.Focused());
    EXPECT_EQ(field.Anchor(), 0);
    EXPECT_EQ(field.Caret(), 2);
}

TEST_F(PriceField, TextWriteThatDoesNotParseChangesNothing) {
    field.SetValue(3);
    try {
        field.SetText(" 12x ");
        FAIL();
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "'12x' is not a valid floating point value");
    }
    EXPECT_EQ(field.Text(), "3");
    field.SetText("1,234.5");
    EXPECT_EQ(field.StoredValue(), 1234.5L);
}

TEST_F(PriceField, ReadOnlyTotalIgnoresEditing) {
    field.ReadOnly = true;
    field.SetValue(1234.5L);
    changes = 0;
    field.FocusIn(FocusCause::LeftMouse);
    EXPECT_EQ(field.ShownText(), "1,234.5");
    Type("9");
    field.Paste("5");
    SelectAll();
    EXPECT_EQ(field.Cut(), "");
    field.Edit("", 0);
    EXPECT_EQ(field.Text(), "1,234.5");
    EXPECT_EQ(changes, 0);
}

TEST_F(PriceField, DisplayFormatChangeRaisesNothingWithoutFocus) {
    field.SetValue(1234.5L);
    changes = 0;
    field.SetDisplayFormat("\x80,0.00;-\x80,0.00");
    EXPECT_EQ(field.FormattedText(),
              "\x80"
              "1,234.50");
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(field.Value(), 1234.5L);
}

TEST_F(PriceField, EveryByteTypedKeepsTheTextANumber) {
    for (int c = 32; c < 256; ++c) {
        MoneyField f;
        f.FormatOnEditing = true;
        f.FocusIn(FocusCause::Keyboard);
        f.TypeChar('1');
        f.TypeChar(static_cast<char>(c));
        f.TypeChar(static_cast<char>(c));
        EXPECT_NO_THROW(f.FocusOut()) << c;
    }
}

TEST(MoneyFieldRange, ClampsOnlyWhenMinIsBelowMax) {
    MoneyField f;
    f.MinValue = 1;
    f.MaxValue = 10;
    f.SetValue(50);
    EXPECT_EQ(f.StoredValue(), 10.0L);
    f.MinValue = 5;
    f.MaxValue = 0;
    f.SetValue(2);
    EXPECT_EQ(f.StoredValue(), 5.0L);
}

}  // namespace
}  // namespace quilvern
