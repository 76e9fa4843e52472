#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "form_data_fixture.h"

namespace quilvern::test {
namespace {

using SalesSheetTest = FormDataTest;

TEST_F(SalesSheetTest, FreshSheetHasDefaultNamesAndZeroEverywhere) {
    for (int n = 1; n <= kLineCount; ++n) {
        SCOPED_TRACE(n);
        EXPECT_EQ(Line(n).name.Text(), "Product " + std::to_string(n));
        EXPECT_EQ(Line(n).price.FormattedText(), "$0.00");
        EXPECT_EQ(Line(n).quantity.Value(), 0);
        EXPECT_EQ(Line(n).total.FormattedText(), "$0.00");
        EXPECT_FALSE(Line(n).price.ReadOnly);
        EXPECT_TRUE(Line(n).total.ReadOnly);
        EXPECT_TRUE(Line(n).price.FormatOnEditing);
        EXPECT_TRUE(Line(n).total.FormatOnEditing);
    }
    EXPECT_EQ(data.sheet.finalTotal.FormattedText(), "$0.00");
    EXPECT_TRUE(data.sheet.finalTotal.ReadOnly);
}

// Each way of entering line 17 ends at price 12.5 and quantity 3.
struct EntryCase {
    const char* rule;
    std::function<void(ProductLine&)> before;
    std::function<void(ProductLine&)> enter;
};
void PrintTo(const EntryCase& c, std::ostream* os) {
    *os << c.rule;
}

void TypeInto(EditableField& field, std::string_view keys) {
    field.FocusIn(FocusCause::Keyboard);
    for (char key : keys)
        field.TypeChar(key);
}

const EntryCase kEntryCases[] = {
    {"PriceWrittenAsValue", [](ProductLine& l) { l.quantity.SetValue(3); },
     [](ProductLine& l) { l.price.SetValue(12.5L); }},
    {"PriceWrittenAsText", [](ProductLine& l) { l.quantity.SetValue(3); },
     [](ProductLine& l) { l.price.SetText("12.5"); }},
    {"PriceTypedKeyByKey", [](ProductLine& l) { l.quantity.SetValue(3); },
     [](ProductLine& l) { TypeInto(l.price, "12.5"); }},
    {"QuantityTyped", [](ProductLine& l) { l.price.SetValue(12.5L); },
     [](ProductLine& l) {
         l.quantity.FocusIn(FocusCause::Keyboard);
         l.quantity.TypeChar('3');
     }},
    {"QuantityWrittenAsValue", [](ProductLine& l) { l.price.SetValue(12.5L); },
     [](ProductLine& l) { l.quantity.SetValue(3); }},
};

class LineEntryTest : public FormDataTest, public ::testing::WithParamInterface<EntryCase> {};

TEST_P(LineEntryTest, ChangesOnlyItsLineTotalAndTheGrandTotal) {
    Sell(3, "Tea", 2, 5);
    Sell(42, "Milk", 1.25L, 4);
    GetParam().before(Line(17));
    ASSERT_EQ(data.sheet.finalTotal.FormattedText(), "$15.00");
    auto expected = Fields();

    GetParam().enter(Line(17));

    EXPECT_EQ(Line(17).total.FormattedText(), "$37.50");
    EXPECT_EQ(data.sheet.finalTotal.FormattedText(), "$52.50");
    auto actual = Fields();
    for (const char* entered : {"P017Price", "P017Quantity", "P017Total", "FinalTotal"}) {
        expected.erase(entered);
        actual.erase(entered);
    }
    EXPECT_EQ(actual, expected);
}

INSTANTIATE_TEST_SUITE_P(Entries, LineEntryTest, ::testing::ValuesIn(kEntryCases),
                         [](const auto& info) { return std::string(info.param.rule); });

TEST_F(SalesSheetTest, QuantityZeroGivesZeroTotalWhateverThePrice) {
    Sell(9, "Tea", 999.99L, 2);
    Line(9).quantity.SetValue(0);
    EXPECT_EQ(Line(9).total.FormattedText(), "$0.00");
    EXPECT_EQ(data.sheet.finalTotal.FormattedText(), "$0.00");
}

TEST_F(SalesSheetTest, NegativeQuantityGivesNegativeTotalAndLowersGrandTotal) {
    Sell(6, "Tea", 10, 1);
    Sell(5, "Refund", 4, 0);
    Line(5).quantity.StepDown();
    Line(5).quantity.StepDown();

    EXPECT_EQ(Line(5).quantity.Text(), "-2");
    EXPECT_EQ(Line(5).total.FormattedText(), "-$8.00");
    EXPECT_EQ(data.sheet.finalTotal.FormattedText(), "$2.00");
}

TEST_F(SalesSheetTest, GrandTotalAddsLineTotalsAtTheirTwoDecimalsNotTheRawProducts) {
    // Pasted with the focus, a price keeps its third decimal until the focus leaves.
    for (int n : {1, 2}) {
        Line(n).price.FocusIn(FocusCause::Keyboard);
        Line(n).price.Paste("0.125");
    }
    Line(1).quantity.SetValue(3);  // 0.375
    Line(2).quantity.SetValue(1);  // 0.125

    EXPECT_EQ(Line(1).total.FormattedText(), "$0.38");
    EXPECT_EQ(Line(2).total.FormattedText(), "$0.13");
    // The raw products add up to 0.50.
    EXPECT_EQ(data.sheet.finalTotal.FormattedText(), "$0.51");
}

TEST_F(SalesSheetTest, GrandTotalIsALeftToRightFoldInExtendedPrecision) {
    Sell(1, "Bulk", 1e17L, 1);
    for (int n = 2; n <= kLineCount; ++n)
        Sell(n, "Small", 0.01L, 1);

    // Next to 1e17 one unit in the last place is 2^-7, and each 0.01 added one at a time
    // rounds to exactly one such unit. Adding the small ones first, or in double
    // precision, gives another sum.
    EXPECT_EQ(data.sheet.finalTotal.StoredValue(), 1e17L + 49 * 0.0078125L);
}

TEST_F(SalesSheetTest, GrandTotalFollowsLineTotalsOnPagesNotShown) {
    Sell(1, "A", 1, 1);
    Sell(25, "B", 2, 1);
    Sell(50, "C", 3, 1);
    EXPECT_EQ(data.sheet.finalTotal.FormattedText(), "$6.00");
}

TEST_F(SalesSheetTest, RecomputeGrandTotalTakesTotalsRestoredWithoutTheirHandler) {
    // The settings file restores line totals directly; the line handlers do not run.
    Line(4).total.SetValue(7.25L);
    Line(30).total.SetValue(-1);
    EXPECT_EQ(data.sheet.finalTotal.FormattedText(), "$0.00");

    data.RecomputeGrandTotal();

    EXPECT_EQ(data.sheet.finalTotal.FormattedText(), "$6.25");
}

TEST_F(SalesSheetTest, LaterListenersAddToTheRecomputeAndSeeItsResult) {
    // A watcher subscribed after the sheet must neither replace its recompute nor run
    // before it: it sees the totals the change produced.
    std::vector<std::string> seen;
    Line(3).price.OnChange.Add([&] { seen.push_back(data.sheet.finalTotal.Text()); });
    Line(3).price.OnChange.Add([&] { seen.push_back("second"); });

    Line(3).quantity.SetValue(4);
    Line(3).price.SetValue(2.5L);  // 2.5 x 4 = 10.00

    EXPECT_EQ(data.sheet.finalTotal.FormattedText(), "$10.00");
    EXPECT_EQ(seen, (std::vector<std::string>{"10", "second"}));
}

// A total that its field could not read back (beyond the extended range, or 1E4932 and
// more once rounded to the 15 digits it shows) is never stored: the change that leads
// there is refused with "The total would be too large", and everything, down to the
// caret of the field being edited, stays as it was.
struct OverflowCase {
    const char* rule;
    std::function<void(SalesSheet&)> before;
    std::function<void(SalesSheet&)> refused;
};
void PrintTo(const OverflowCase& c, std::ostream* os) {
    *os << c.rule;
}

const OverflowCase kOverflowCases[] = {
    // 1E4931 x 100 = 1E4933, past the extended range.
    {"price_keystroke",
     [](SalesSheet& s) {
         s.lines[0].quantity.SetValue(100);
         TypeInto(s.lines[0].price, "1E493");
     },
     [](SalesSheet& s) { s.lines[0].price.TypeChar('1'); }},
    {"price_paste",
     [](SalesSheet& s) {
         s.lines[0].quantity.SetValue(100);
         TypeInto(s.lines[0].price, "");
     },
     [](SalesSheet& s) { s.lines[0].price.Paste("1E4931"); }},
    // 1.1E4930 x 20 with the point deleted: 11E4930 x 20 = 2.2E4932.
    {"price_editing_key",
     [](SalesSheet& s) {
         s.lines[0].quantity.SetValue(20);
         TypeInto(s.lines[0].price, "1.1E4930");
     },
     [](SalesSheet& s) { s.lines[0].price.Edit("11E4930", 1); }},
    {"price_restored", [](SalesSheet& s) { s.lines[0].quantity.SetValue(100); },
     [](SalesSheet& s) { s.lines[0].price.SetValue(1E4931L); }},
    // 1E4931 x 10 = 1E4932: in the extended range, but no amount its field can read.
    {"quantity_keystroke",
     [](SalesSheet& s) {
         s.lines[0].price.SetValue(1E4931L);
         TypeInto(s.lines[0].quantity, "1");
     },
     [](SalesSheet& s) { s.lines[0].quantity.TypeChar('0'); }},
    {"quantity_step",
     [](SalesSheet& s) {
         s.lines[0].price.SetValue(1E4931L);
         s.lines[0].quantity.SetValue(9);
     },
     [](SalesSheet& s) { s.lines[0].quantity.StepUp(); }},
    {"quantity_wheel",
     [](SalesSheet& s) {
         s.lines[0].price.SetValue(1E4931L);
         s.lines[0].quantity.SetValue(9);
         s.lines[0].quantity.FocusIn(FocusCause::LeftMouse);
     },
     [](SalesSheet& s) { s.lines[0].quantity.Wheel(120); }},
    // Line 2's total alone is fine, 5E4931, but 5E4931 + 5E4931 = 1E4932: the line
    // total already stored is put back.
    {"grand_total",
     [](SalesSheet& s) {
         s.lines[0].quantity.SetValue(1);
         s.lines[0].price.SetValue(5E4931L);
         s.lines[1].quantity.SetValue(1);
         TypeInto(s.lines[1].price, "5E493");
     },
     [](SalesSheet& s) { s.lines[1].price.TypeChar('1'); }},
};

class OverflowTest : public FormDataTest, public ::testing::WithParamInterface<OverflowCase> {};

TEST_P(OverflowTest, ChangeIsRefusedAndNothingMoves) {
    GetParam().before(data.sheet);
    const auto before = Everything();
    EXPECT_EQ(ErrorMessage([&] { GetParam().refused(data.sheet); }),
              "The total would be too large");
    EXPECT_EQ(Everything(), before);
}

INSTANTIATE_TEST_SUITE_P(Totals, OverflowTest, ::testing::ValuesIn(kOverflowCases),
                         [](const auto& info) { return std::string(info.param.rule); });

}  // namespace
}  // namespace quilvern::test
