#include "values/money_field.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "values/error.h"
#include "values/money_text.h"

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

// Reading a field parses its edit text, which holds 15 significant digits, and no
// number of 1E4932 or more parses: a field only takes an amount it can read back.
TEST(MoneyFieldLimit, AmountsThatWouldNotReadBackAreRefused) {
    struct Case {
        const char* rule;
        Money amount;
        const char* text;  // nullptr: refused
    };
    constexpr Money kInfinity = std::numeric_limits<Money>::infinity();
    for (auto [rule, amount, text] : std::initializer_list<Case>{
             {"just_below_the_limit_taken", 9.9999999999999949E4931L, "9.99999999999999E4931"},
             {"negative_just_below_taken", -9.9999999999999949E4931L, "-9.99999999999999E4931"},
             {"rounding_up_to_the_limit_refused", 9.9999999999999951E4931L, nullptr},
             {"the_limit_refused", 1E4932L, nullptr},
             {"largest_extended_value_refused", std::numeric_limits<Money>::max(), nullptr},
             {"negative_largest_refused", -std::numeric_limits<Money>::max(), nullptr},
             {"infinity_refused", kInfinity, nullptr},
             {"negative_infinity_refused", -kInfinity, nullptr},
             {"not_a_number_refused", std::numeric_limits<Money>::quiet_NaN(), nullptr},
         }) {
        MoneyField f;
        f.SetValue(12);
        int changes = 0;
        f.OnChange.Add([&] { ++changes; });
        if (text != nullptr) {
            f.SetValue(amount);
            EXPECT_EQ(f.Text(), text) << rule;
            EXPECT_EQ(f.Value(), *ParseNumber(text)) << rule;
            continue;
        }
        try {
            f.SetValue(amount);
            ADD_FAILURE() << rule << ": stored";
        } catch (const Error& e) {
            EXPECT_STREQ(e.what(), "The total would be too large") << rule;
        }
        EXPECT_EQ(f.StoredValue(), 12.0L) << rule;
        EXPECT_EQ(f.Text(), "12") << rule;
        EXPECT_EQ(changes, 0) << rule;
    }
}

TEST_F(PriceField, ReadOnlyTotalNeverReadsItsTextBackOnLeaving) {
    field.ReadOnly = true;
    field.SetValue(1234567.5L);
    field.FocusIn(FocusCause::LeftMouse);
    ASSERT_EQ(field.Text(), "1,234,567.5");
    // The desktop's separators change meanwhile: the text shown reads as no number now,
    // but it is not the user's, so leaving is no reason for a message.
    field.SetSeparators({',', '.'});
    EXPECT_NO_THROW(field.FocusOut());
    EXPECT_EQ(field.StoredValue(), 1234567.5L);
    EXPECT_EQ(field.ShownText(), "$1.234.567,50");
    EXPECT_EQ(changes, 1);  // the value write
}

bool SameBits(Money a, Money b) {
    return std::memcmp(&a, &b, 10) == 0;
}

// A change handler that throws refuses the change, whatever input made it: the field
// is put back exactly as it was, text, stored value and selection, and the putting
// back raises no second change.
TEST(MoneyFieldRefusal, EveryInputIsPutBackExactly) {
    struct Case {
        const char* rule;
        std::function<void(MoneyField&)> input;
    };
    for (const auto& [rule, input] : std::initializer_list<Case>{
             {"typed_key", [](MoneyField& f) { f.TypeChar('9'); }},
             {"editing_key", [](MoneyField& f) { f.Edit("134.", 1); }},
             {"paste", [](MoneyField& f) { f.Paste("7"); }},
             {"cut", [](MoneyField& f) { f.Cut(); }},
             {"escape", [](MoneyField& f) { f.PressEscape(); }},
             {"value_write", [](MoneyField& f) { f.SetValue(5); }},
             {"text_write", [](MoneyField& f) { f.SetText("5"); }},
         }) {
        MoneyField f;
        f.FormatOnEditing = true;
        bool refuse = false;
        int changes = 0;
        f.OnChange.Add([&] {
            ++changes;
            f.Value();  // as the line handler reads it
            if (refuse)
                throw Error("refused");
        });
        f.FocusIn(FocusCause::Keyboard);
        for (char c : std::string("1234."))
            f.TypeChar(c);
        f.Select(1, 3);  // ",2" of "1,234."
        const MoneyField::State before = f.SaveState();
        refuse = true;
        changes = 0;
        EXPECT_THROW(input(f), Error) << rule;
        const MoneyField::State after = f.SaveState();
        EXPECT_EQ(after.text, "1,234.") << rule;
        EXPECT_TRUE(SameBits(after.value, before.value)) << rule;
        EXPECT_EQ(after.anchor, 1) << rule;
        EXPECT_EQ(after.caret, 3) << rule;
        EXPECT_EQ(changes, 1) << rule;
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
