// The settings file with the real sheet and ledger behind the storages: the values come
// back through the fields' setters, so the line and year recomputations run as they do
// in the window.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "core/form_data.h"
#include "core/stored_components.h"
#include "program_fixture.h"
#include "storage/settings_storages.h"
#include "support/temp_dir.h"
#include "values/currency.h"

namespace quilvern {
namespace {

using test::Program;
using test::TempDir;

std::string Lines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines)
        text.append(line).append("\r\n");
    return text;
}

std::string LineKey(int n, const std::string& field) {
    char number[16];
    std::snprintf(number, sizeof number, "P%03d", n);
    return number + field;
}

class SettingsFile : public testing::Test {
  protected:
    std::string SettingsPath() const { return settingsDir.File("Quilvern.ini"); }
    std::string Written() const { return settingsDir.Read("Quilvern.ini"); }
    void WriteSettings(const std::vector<std::string>& lines) const {
        settingsDir.Write("Quilvern.ini", Lines(lines));
    }

    TempDir programDir;
    TempDir settingsDir;
};

TEST_F(SettingsFile, WrittenFromNothingItHoldsEveryKeyInItsPlace) {
    Program program(programDir, SettingsPath());
    program.Show();
    program.Line(1).name.SetText("Blue mug");
    program.Line(1).price.SetValue(4.5L);
    program.Line(1).quantity.SetValue(12);
    program.data.ledger.Transfer(1);
    program.Close();

    std::vector<std::string> expected = {"[Main]",
                                         "FormVersion=0",
                                         "Flags=0",
                                         "ShowCmd=1",
                                         "PixelsPerInch=96",
                                         "MinMaxPos(1920x1080)=-1,-1,-1,-1",
                                         "MinMaxPos=-1,-1,-1,-1",
                                         "NormPos(1920x1080)=334,132,864,572",
                                         "NormPos=334,132,864,572",
                                         "Visible=0",
                                         "[Name]",
                                         "FormVersion=0",
                                         "P001Name_Text=Blue mug"};
    for (int n = 2; n <= 50; ++n) {
        expected.push_back(LineKey(n, "Name_Text=Product ") + std::to_string(n));
    }
    expected.insert(expected.end(), {"[Price]", "FormVersion=0", "P001Price_Value=4.5"});
    for (int n = 2; n <= 50; ++n)
        expected.push_back(LineKey(n, "Price_Value=0"));
    expected.insert(expected.end(), {"[Quantity]", "FormVersion=0", "P001Quantity_Value=12"});
    for (int n = 2; n <= 50; ++n)
        expected.push_back(LineKey(n, "Quantity_Value=0"));
    expected.insert(expected.end(),
                    {"[Total]", "FormVersion=0", "FinalTotal_Value=54", "P001Total_Value=54"});
    for (int n = 2; n <= 50; ++n)
        expected.push_back(LineKey(n, "Total_Value=0"));
    expected.insert(expected.end(), {"[Transfer]", "FormVersion=0", "TotalJanuary_Value=54"});
    for (int m = 1; m < 12; ++m) {
        expected.push_back("Total" + std::string(kMonths[m].name) + "_Value=0");
    }
    expected.insert(expected.end(), {"TotalYear_Value=54", "[Settings]", "FormVersion=0",
                                     "SetTitle_Text=Quilvern", "Currency_Text=Dollar ($)"});
    EXPECT_EQ(Written(), Lines(expected));
    EXPECT_TRUE(program.reports.empty());
}

TEST_F(SettingsFile, NextStartBringsEveryValueBack) {
    std::vector<std::string> before;
    {
        Program program(programDir, SettingsPath());
        program.Show();
        program.data.currency.SetText("Pounds (\xA3)");
        program.data.setTitle.SetText("  My shop  ");
        program.Line(1).name.SetText("\"Blue\" mug");
        program.Line(1).price.SetValue(4.5L);
        program.Line(1).quantity.SetValue(12);
        program.Line(50).name.SetText("'Tea'");
        program.Line(50).price.SetValue(-7.25L);
        program.Line(50).quantity.SetValue(-3);
        program.data.ledger.Transfer(3);
        program.Line(2).price.SetValue(1234.56L);
        program.Line(2).quantity.SetValue(1);
        program.data.ledger.Transfer(12);
        before = program.StoredTexts();
        program.Close();
    }
    Program program(programDir, SettingsPath());
    program.Show();
    EXPECT_EQ(program.StoredTexts(), before);
    EXPECT_EQ(program.data.setTitle.Text(), "My shop");
    EXPECT_EQ(program.Line(1).name.Text(), "\"Blue\" mug");
    EXPECT_EQ(program.data.ledger.totalYear.FormattedText(),
              "\xA3"
              "1,386.06");
    EXPECT_TRUE(program.reports.empty());
}

TEST_F(SettingsFile, YearTotalShowsAsStoredUntilAMonthChanges) {
    WriteSettings(
        {"[Transfer]", "TotalJanuary_Value=10", "TotalFebruary_Value=20", "TotalYear_Value=99"});
    Program program(programDir, SettingsPath());
    program.Show();
    EXPECT_EQ(program.data.ledger.totalYear.StoredValue(), 99.0L);
    program.data.ledger.months[2].total.SetValue(5.0L);
    EXPECT_EQ(program.data.ledger.totalYear.StoredValue(), 35.0L);
}

TEST_F(SettingsFile, RestoredQuantitiesThenPricesRecomputeTheLineTotals) {
    WriteSettings({"[Price]", "P001Price_Value=4.5", "[Quantity]", "P001Quantity_Value=12",
                   "[Total]", "FinalTotal_Value=999", "P001Total_Value=999"});
    Program program(programDir, SettingsPath());
    std::vector<std::string> lineTotal;
    std::vector<std::string> grandTotal;
    program.Line(1).total.OnChange.Add([&] { lineTotal.push_back(program.Line(1).total.Text()); });
    program.data.sheet.finalTotal.OnChange.Add(
        [&] { grandTotal.push_back(program.data.sheet.finalTotal.Text()); });
    program.Show();
    // Restored from "Total", then the quantity with the designed price, then the price.
    EXPECT_EQ(lineTotal, (std::vector<std::string>{"999", "", "54"}));
    EXPECT_EQ(grandTotal, (std::vector<std::string>{"999", "", "54"}));
    EXPECT_EQ(program.data.sheet.finalTotal.StoredValue(), 54.0L);
}

TEST_F(SettingsFile, UnreadableQuantityIsZeroAndUnreadablePriceKeepsThePrice) {
    WriteSettings({"[Price]", "P003Price_Value=abc", "P004Price_Value=2.5",
                   "P005Price_Value=", "[Quantity]", "P003Quantity_Value=7",
                   "P004Quantity_Value=abc", "P005Quantity_Value=2"});
    Program program(programDir, SettingsPath());
    program.Line(5).price.SetValue(3.0L);  // as if typed before the show
    program.Show();
    EXPECT_EQ(program.Line(3).price.StoredValue(), 0.0L);
    EXPECT_EQ(program.Line(3).quantity.Value(), 7);
    EXPECT_EQ(program.Line(4).quantity.Text(), "0");
    EXPECT_EQ(program.Line(4).total.StoredValue(), 0.0L);
    EXPECT_EQ(program.Line(5).price.StoredValue(), 3.0L);
    EXPECT_EQ(program.Line(5).total.StoredValue(), 6.0L);
    EXPECT_TRUE(program.reports.empty());
}

TEST_F(SettingsFile, RestoredCurrencyGivesEveryMoneyFieldItsPattern) {
    WriteSettings({"[Settings]", "Currency_Text=Euro (\x80)", "[Price]", "P001Price_Value=1234.5"});
    Program program(programDir, SettingsPath());
    program.Show();
    EXPECT_EQ(program.Line(1).price.DisplayFormat(), *CurrencyPattern("Euro (\x80)"));
    EXPECT_EQ(program.Line(1).price.FormattedText(),
              "\x80"
              "1,234.50");
    EXPECT_EQ(program.data.ledger.totalYear.DisplayFormat(), *CurrencyPattern("Euro (\x80)"));
}

TEST_F(SettingsFile, CurrencyTextNamingNoCurrencyLeavesTheDollarPattern) {
    WriteSettings({"[Settings]", "Currency_Text=Yen"});
    Program program(programDir, SettingsPath());
    program.Show();
    EXPECT_EQ(program.data.currency.Text(), "Yen");
    EXPECT_EQ(program.Line(1).price.DisplayFormat(), "$,0.00;-$,0.00");
}

TEST_F(SettingsFile, RunThatEndsWithoutClosingLeavesTheFileAsItWas) {
    WriteSettings({"[Name]", "P001Name_Text=Mug"});
    const std::string before = Written();
    {
        Program program(programDir, SettingsPath());
        program.Show();
        program.Line(1).name.SetText("Cup");
    }
    EXPECT_EQ(Written(), before);
}

}  // namespace
}  // namespace quilvern
