#pragma once
// The window's data over a fresh program directory, and what the core tests share:
// reaching lines and months by their numbers, selling on a line, blocking a file, and
// a record of every field as the window would show it.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <string_view>

#include "core/form_data.h"
#include "support/error_message.h"
#include "support/temp_dir.h"
#include "values/error.h"

namespace quilvern::test {

// Ways of making a file impossible to replace, for the failure paths.
enum class Block { Directory, ReadOnlyFile };

inline std::string BlockName(Block block) {
    return block == Block::Directory ? "directory" : "read-only file";
}

class FormDataTest : public ::testing::Test {
  protected:
    FormDataTest() {
        data.dirLabel = dir.WithSeparator();
        data.ShowViewer = [this] { ++viewerShown; };
    }

    ProductLine& Line(int n) { return data.sheet.lines.at(n - 1); }
    MonthSlot& Month(int m) { return data.ledger.months.at(m - 1); }
    std::string Path(std::string_view name) const { return dir.File(std::string(name)); }

    // What the user does to fill line n: name, price, quantity, in the field order.
    void Sell(int n, std::string_view name, Money price, int quantity) {
        Line(n).name.SetText(name);
        Line(n).price.SetValue(price);
        Line(n).quantity.SetValue(quantity);
    }

    // A sheet with a sold line on each page edge, a negative line and an unsold price.
    void FillSheet() {
        Sell(1, "Tea", 2.5L, 4);
        Sell(10, "Jam", 1.25L, 2);
        Sell(33, "Refund", 3, -1);
        Sell(50, "Milk", 0.9L, 0);
    }

    void BlockFile(std::string_view name, Block block) const {
        if (block == Block::Directory) {
            std::filesystem::create_directory(dir.Path() / name);
        } else {
            dir.Write(std::string(name), "old text");
            std::filesystem::permissions(dir.Path() / name, std::filesystem::perms::owner_read);
        }
    }
    // No read bit for anybody: the storage refuses it also to root.
    void MakeUnreadable(std::string_view name, const std::string& bytes) const {
        dir.Write(std::string(name), bytes);
        std::filesystem::permissions(dir.Path() / name, std::filesystem::perms::none);
    }

    // Every field of the sheet and the ledger by its control name, as edit text and
    // formatted text; reading them changes nothing.
    std::map<std::string, std::string> Fields() {
        std::map<std::string, std::string> fields;
        const auto money = [](const MoneyField& field) {
            return field.Text() + " | " + field.FormattedText() + " | " + field.DisplayFormat();
        };
        for (int n = 1; n <= kLineCount; ++n) {
            std::string number = std::to_string(n);
            std::string prefix = "P" + std::string(3 - number.size(), '0') + number;
            fields[prefix + "Name"] = Line(n).name.Text();
            fields[prefix + "Price"] = money(Line(n).price);
            fields[prefix + "Quantity"] = Line(n).quantity.Text();
            fields[prefix + "Total"] = money(Line(n).total);
        }
        fields["FinalTotal"] = money(data.sheet.finalTotal);
        for (int m = 1; m <= kMonthCount; ++m) {
            fields["Total" + std::string(kMonths[m - 1].name)] = money(Month(m).total);
            fields["Report" + std::string(kMonths[m - 1].name)] =
                Month(m).report.Enabled() ? "enabled" : "disabled";
        }
        fields["TotalYear"] = money(data.ledger.totalYear);
        return fields;
    }

    // Fields() and beyond it what a refused change must leave exactly as it was: every
    // stored amount to the last bit, the selections, the report buffer and FileLabel.
    std::map<std::string, std::string> Everything() {
        std::map<std::string, std::string> everything = Fields();
        const auto exact = [](const MoneyField& field) {
            char bits[64];
            std::snprintf(bits, sizeof bits, "%La", field.StoredValue());
            return std::string(bits) + " | " + Selection(field);
        };
        int n = 0;
        for (ProductLine& line : data.sheet.lines) {
            const std::string number = std::to_string(++n);
            everything["exact price " + number] = exact(line.price);
            everything["exact total " + number] = exact(line.total);
            everything["quantity selection " + number] = Selection(line.quantity);
        }
        everything["exact FinalTotal"] = exact(data.sheet.finalTotal);
        for (int m = 1; m <= kMonthCount; ++m)
            everything["exact month " + std::to_string(m)] = exact(Month(m).total);
        everything["exact TotalYear"] = exact(data.ledger.totalYear);
        everything["ReportText"] = data.reportText.Text();
        everything["FileLabel"] = data.fileLabel;
        return everything;
    }
    static std::string Selection(const EditableField& field) {
        return std::to_string(field.Anchor()) + ".." + std::to_string(field.Caret());
    }

    TempDir dir;
    FormData data;
    int viewerShown = 0;
};

}  // namespace quilvern::test
