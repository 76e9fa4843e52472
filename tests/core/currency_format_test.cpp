#include <string>
#include <vector>

#include "form_data_fixture.h"

namespace quilvern::test {
namespace {

constexpr const char* kDollar = "$,0.00;-$,0.00";
constexpr const char* kPound = "\xA3,0.00;-\xA3,0.00";
constexpr const char* kEuro = "\x80,0.00;-\x80,0.00";

class CurrencyFormatTest : public FormDataTest {
  protected:
    // The 114 money fields by name, listed here on their own so that a field the
    // form's data forget, or set out of order, shows up.
    std::vector<std::pair<std::string, MoneyField*>> MoneyFields() {
        std::vector<std::pair<std::string, MoneyField*>> fields;
        for (int n = 1; n <= kLineCount; ++n) {
            fields.emplace_back("Price " + std::to_string(n), &Line(n).price);
        }
        for (int n = 1; n <= kLineCount; ++n) {
            fields.emplace_back("Total " + std::to_string(n), &Line(n).total);
        }
        fields.emplace_back("FinalTotal", &data.sheet.finalTotal);
        for (int m = 1; m <= kMonthCount; ++m) {
            fields.emplace_back(std::string(kMonths[m - 1].name), &Month(m).total);
        }
        fields.emplace_back("TotalYear", &data.ledger.totalYear);
        return fields;
    }
    void ExpectEveryPattern(const std::string& pattern) {
        for (auto& [name, field] : MoneyFields()) {
            EXPECT_EQ(field->DisplayFormat(), pattern) << name;
        }
    }
};

TEST_F(CurrencyFormatTest, PoundsThenEuroLeavesAll114InEuroWithValuesUnchanged) {
    ASSERT_EQ(MoneyFields().size(), 114u);
    Sell(1, "Tea", 2.5L, 4);
    data.ledger.Transfer(9);
    const auto before = Fields();

    data.currency.SetText("Pounds (\xA3)");
    ExpectEveryPattern(kPound);
    data.currency.SetText("Euro (\x80)");
    ExpectEveryPattern(kEuro);

    auto after = Fields();
    for (auto& [name, text] : after) {
        for (std::string::size_type at; (at = text.find('\x80')) != std::string::npos;) {
            text[at] = '$';
        }
    }
    EXPECT_EQ(after, before);
}

TEST_F(CurrencyFormatTest, PatternsAreSetInFieldOrder) {
    std::vector<std::string> repainted;
    for (auto& [name, field] : MoneyFields()) {
        field->OnRepaint.Add([&repainted, name = name] { repainted.push_back(name); });
    }
    std::vector<std::string> order;
    for (auto& [name, field] : MoneyFields())
        order.push_back(name);

    data.currency.SetText("Euro (\x80)");

    EXPECT_EQ(repainted, order);
}

TEST_F(CurrencyFormatTest, OnlyTheExactWholeNameChangesThePatterns) {
    data.currency.SetText("Pounds (\xA3)");
    const char* texts[] = {
        "Euro",         // the beginning of a name
        "euro (\x80)",  // other letter case
        "EURO (\x80)",
        " Euro (\x80)",  // blanks are not trimmed
        "Euro (\x80) ",
        "Euro (\xE2\x82\xAC)",  // the euro sign of another code page
        "Dollar",
        "",
    };
    for (const char* text : texts) {
        SCOPED_TRACE(text);
        data.currency.SetText(text);
        ExpectEveryPattern(kPound);
    }
    data.currency.SetText("Euro (\x80)");
    ExpectEveryPattern(kEuro);
}

TEST_F(CurrencyFormatTest, RegionalSeparatorsReachAll114Fields) {
    data.SetSeparators({.decimal = ',', .thousands = '.'});
    for (auto& [name, field] : MoneyFields()) {
        EXPECT_EQ(field->FormattedText(), "$0,00") << name;
    }
}

TEST_F(CurrencyFormatTest, RestoredTextNamingNoCurrencyKeepsTheDesignedDollar) {
    // The settings file restores the selector's text before the start-up applies it.
    data.currency.SetText("Yen (\xA5)");

    data.ApplyCurrencyFormat();

    ExpectEveryPattern(kDollar);
}

TEST_F(CurrencyFormatTest, StartUpAppliesTheSelectorsChoiceToEveryField) {
    data.currency.SetText("Pounds (\xA3)");
    data.ForEachMoneyField([](MoneyField& field) { field.SetDisplayFormat(kDollar); });

    data.ApplyCurrencyFormat();

    ExpectEveryPattern(kPound);
    EXPECT_EQ(data.ledger.totalYear.FormattedText(),
              "\xA3"
              "0.00");
}

}  // namespace
}  // namespace quilvern::test
