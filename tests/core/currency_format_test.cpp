#include <string>
#include <vector>

#include "accounts_fixture.h"

namespace quilvern::test {
namespace {

constexpr const char* kDollar = "$,0.00;-$,0.00";
constexpr const char* kPound = "\xA3,0.00;-\xA3,0.00";
constexpr const char* kEuro = "\x80,0.00;-\x80,0.00";

class CurrencyFormatTest : public AccountsTest {
  protected:
    // The 114 money fields by name, listed here on their own so that a field the
    // accounts forget, or set out of order, shows up.
    std::vector<std::pair<std::string, MoneyField*>> MoneyFields() {
        std::vector<std::pair<std::string, MoneyField*>> fields;
        for (int n = 1; n <= kLineCount; ++n) {
            fields.emplace_back("Price " + std::to_string(n), &Line(n).price);
        }
        for (int n = 1; n <= kLineCount; ++n) {
            fields.emplace_back("Total " + std::to_string(n), &Line(n).total);
        }
        fields.emplace_back("FinalTotal", &accounts.sheet.finalTotal);
        for (int m = 1; m <= kMonthCount; ++m) {
            fields.emplace_back(std::string(kMonths[m - 1].name), &Month(m).total);
        }
        fields.emplace_back("TotalYear", &accounts.ledger.totalYear);
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
    accounts.ledger.Transfer(9);
    const auto before = Fields();

    accounts.currency.SetText("Pounds (\xA3)");
    ExpectEveryPattern(kPound);
    accounts.currency.SetText("Euro (\x80)");
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

    accounts.currency.SetText("Euro (\x80)");

    EXPECT_EQ(repainted, order);
}

TEST_F(CurrencyFormatTest, OnlyTheExactWholeNameChangesThePatterns) {
    accounts.currency.SetText("Pounds (\xA3)");
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
        accounts.currency.SetText(text);
        ExpectEveryPattern(kPound);
    }
    accounts.currency.SetText("Euro (\x80)");
    ExpectEveryPattern(kEuro);
}

TEST_F(CurrencyFormatTest, RegionalSeparatorsReachAll114Fields) {
    accounts.SetSeparators({.decimal = ',', .thousands = '.'});
    for (auto& [name, field] : MoneyFields()) {
        EXPECT_EQ(field->FormattedText(), "$0,00") << name;
    }
}

TEST_F(CurrencyFormatTest, RestoredTextNamingNoCurrencyKeepsTheDesignedDollar) {
    // The settings file restores the selector's text before the start-up applies it.
    accounts.currency.SetText("Yen (\xA5)");

    accounts.ApplyCurrencyFormat();

    ExpectEveryPattern(kDollar);
}

TEST_F(CurrencyFormatTest, StartUpAppliesTheSelectorsChoiceToEveryField) {
    accounts.currency.SetText("Pounds (\xA3)");
    accounts.ForEachMoneyField([](MoneyField& field) { field.SetDisplayFormat(kDollar); });

    accounts.ApplyCurrencyFormat();

    ExpectEveryPattern(kPound);
    EXPECT_EQ(accounts.ledger.totalYear.FormattedText(),
              "\xA3"
              "0.00");
}

}  // namespace
}  // namespace quilvern::test
