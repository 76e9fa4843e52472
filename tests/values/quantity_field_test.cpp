#include "values/quantity_field.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <string>

#include "values/error.h"

namespace quilvern {
namespace {

class Quantity : public ::testing::Test {
  protected:
    Quantity() {
        field.OnChange.Add([this] { ++changes; });
        field.OnBeep = [this] { ++beeps; };
    }
    QuantityField field;
    int changes = 0;
    int beeps = 0;
};

TEST_F(Quantity, TypedDigitsAreKeptAsTyped) {
    field.TypeChar('1');
    field.TypeChar('2');
    EXPECT_EQ(field.Text(), "12");
    EXPECT_EQ(field.Value(), 12);
    EXPECT_EQ(changes, 2);
}

TEST_F(Quantity, NonDigitsAreRefusedWithTheWarningSound) {
    for (char c : {'-', '+', ' ', 'a', '.', '\r'})
        field.TypeChar(c);
    EXPECT_EQ(field.Text(), "");
    EXPECT_EQ(beeps, 6);
    EXPECT_EQ(changes, 0);
}

TEST_F(Quantity, StepsAndKeys) {
    field.StepUp();
    EXPECT_EQ(field.Text(), "1");  // an empty text steps from 0
    field.SetText("007");
    EXPECT_EQ(field.Value(), 7);
    field.FocusIn(FocusCause::Keyboard);
    field.FocusOut();
    EXPECT_EQ(field.Text(), "007");
    field.StepUp();
    EXPECT_EQ(field.Text(), "8");
    field.SetText("abc");
    EXPECT_EQ(field.Value(), 0);
    field.StepUp();
    EXPECT_EQ(field.Text(), "1");
    field.SetValue(0);
    field.StepDown();
    EXPECT_EQ(field.Text(), "-1");
}

TEST_F(Quantity, StepsStopAtThe32BitLimits) {
    field.SetValue(std::numeric_limits<std::int32_t>::max());
    field.StepUp();
    EXPECT_EQ(field.Value(), std::numeric_limits<std::int32_t>::max());
    field.SetValue(std::numeric_limits<std::int32_t>::min());
    field.StepDown();
    EXPECT_EQ(field.Value(), std::numeric_limits<std::int32_t>::min());
}

TEST_F(Quantity, WheelNotches) {
    field.Wheel(120);
    EXPECT_EQ(field.Text(), "") << "the wheel needs the focus";
    field.FocusIn(FocusCause::Keyboard);
    field.Wheel(120);
    EXPECT_EQ(field.Value(), 1);
    field.Wheel(60);
    EXPECT_EQ(field.Value(), 1);
    field.Wheel(-240);
    EXPECT_EQ(field.Value(), -1);
}

TEST_F(Quantity, ValueWritesRaiseChangeOnlyForANewText) {
    field.SetText("5");
    changes = 0;
    field.SetValue(5);
    EXPECT_EQ(changes, 0);
    field.SetText("05");
    field.SetValue(5);
    EXPECT_EQ(field.Text(), "5");
    EXPECT_EQ(changes, 2);
}

TEST_F(Quantity, ReadOnlyStepBeepsAndChangesNothing) {
    field.ReadOnly = true;
    field.FocusIn(FocusCause::Keyboard);
    field.StepUp();
    field.Wheel(120);
    EXPECT_EQ(field.Text(), "");
    EXPECT_EQ(beeps, 1);
}

TEST_F(Quantity, FocusSelectsAll) {
    field.SetText("123");
    field.FocusIn(FocusCause::Keyboard);
    EXPECT_EQ(field.Anchor(), 0);
    EXPECT_EQ(field.Caret(), 3);
    field.TypeChar('4');
    EXPECT_EQ(field.Text(), "4");
}

TEST_F(Quantity, PasteTakesTheTextUpToItsLineBreakUnchecked) {
    field.SetText("12");
    field.FocusIn(FocusCause::Keyboard);
    field.Select(1, 1);
    changes = 0;
    field.Paste("ab\n99");
    EXPECT_EQ(field.Text(), "1ab2");
    EXPECT_EQ(field.Caret(), 3);
    EXPECT_EQ(field.Value(), 0);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(beeps, 0);
}

TEST_F(Quantity, CutRemovesTheSelection) {
    field.SetText("1234");
    field.Select(3, 1);
    changes = 0;
    EXPECT_EQ(field.Cut(), "23");
    EXPECT_EQ(field.Text(), "14");
    EXPECT_EQ(field.Caret(), 1);
    EXPECT_EQ(changes, 1);
}

// A change handler that throws refuses the change, whatever made it: the text and
// the selection are put back, and the putting back raises no second change.
TEST(QuantityFieldRefusal, EveryInputIsPutBackExactly) {
    struct Case {
        const char* rule;
        std::function<void(QuantityField&)> input;
    };
    for (const auto& [rule, input] : std::initializer_list<Case>{
             {"typed_digit", [](QuantityField& f) { f.TypeChar('9'); }},
             {"editing_key", [](QuantityField& f) { f.Edit("14", 1); }},
             {"paste", [](QuantityField& f) { f.Paste("7"); }},
             {"cut", [](QuantityField& f) { f.Cut(); }},
             {"step_up", [](QuantityField& f) { f.StepUp(); }},
             {"step_down", [](QuantityField& f) { f.StepDown(); }},
             {"wheel", [](QuantityField& f) { f.Wheel(120); }},
             {"value_write", [](QuantityField& f) { f.SetValue(5); }},
             {"text_write", [](QuantityField& f) { f.SetText("5"); }},
         }) {
        QuantityField f;
        bool refuse = false;
        int changes = 0;
        f.OnChange.Add([&] {
            ++changes;
            if (refuse)
                throw Error("refused");
        });
        f.SetText("1234");
        f.FocusIn(FocusCause::Keyboard);
        f.Select(1, 3);
        refuse = true;
        changes = 0;
        EXPECT_THROW(input(f), Error) << rule;
        EXPECT_EQ(f.Text(), "1234") << rule;
        EXPECT_EQ(f.Anchor(), 1) << rule;
        EXPECT_EQ(f.Caret(), 3) << rule;
        EXPECT_EQ(changes, 1) << rule;
    }
}

TEST(StepRepeat, ClickHoldAndRelease) {
    StepRepeat repeat;
    EXPECT_EQ(repeat.Press(), 400);
    EXPECT_TRUE(repeat.Release(true)) << "a short click steps once, at the release";
    EXPECT_FALSE(repeat.Release(true));

    int next = 0;
    repeat.Press();
    EXPECT_TRUE(repeat.Tick(true, &next));
    EXPECT_EQ(next, 100);
    EXPECT_FALSE(repeat.Tick(false, &next)) << "no step once the button is let go";
    EXPECT_FALSE(repeat.Release(false)) << "no step at a release away from the button";
}

}  // namespace
}  // namespace quilvern
