#include "core/stored_components.h"

#include <gtest/gtest.h>

#include <cctype>
#include <set>
#include <string>

#include "storage/settings_storages.h"

namespace quilvern {
namespace {

std::string Lowered(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

int FieldsSet(const StoredComponent& component) {
    return (component.text != nullptr) + (component.money != nullptr) +
           (component.quantity != nullptr);
}

TEST(StoredComponents, AreTheWindowsDataFieldsUnderTheirControlNames) {
    FormData data;
    const std::vector<StoredComponent> components = StoredComponents(data);
    ASSERT_EQ(components.size(), 4u * 50u + 1u + 12u + 1u + 2u);
    std::set<std::string> names;
    for (const StoredComponent& component : components) {
        EXPECT_EQ(FieldsSet(component), 1) << component.name;
        EXPECT_TRUE(names.insert(Lowered(component.name)).second)
            << component.name << " is named twice";
    }
    EXPECT_EQ(components[0].name, "P001Name");
    EXPECT_EQ(components[0].text, &data.sheet.lines[0].name);
    EXPECT_EQ(components[4 * 16 + 2].name, "P017Quantity");
    EXPECT_EQ(components[4 * 16 + 2].quantity, &data.sheet.lines[16].quantity);
    EXPECT_EQ(components[4 * 49 + 1].name, "P050Price");
    EXPECT_EQ(components[4 * 49 + 1].money, &data.sheet.lines[49].price);
    EXPECT_EQ(components[4 * 49 + 3].name, "P050Total");
    EXPECT_EQ(components[4 * 49 + 3].money, &data.sheet.lines[49].total);
    EXPECT_EQ(components[200].name, "FinalTotal");
    EXPECT_EQ(components[200].money, &data.sheet.finalTotal);
    EXPECT_EQ(components[201].name, "TotalJanuary");
    EXPECT_EQ(components[201].money, &data.ledger.months[0].total);
    EXPECT_EQ(components[212].name, "TotalDecember");
    EXPECT_EQ(components[212].money, &data.ledger.months[11].total);
    EXPECT_EQ(components[213].name, "TotalYear");
    EXPECT_EQ(components[213].money, &data.ledger.totalYear);
    EXPECT_EQ(components[214].name, "SetTitle");
    EXPECT_EQ(components[214].text, &data.setTitle);
    EXPECT_EQ(components[215].name, "Currency");
    EXPECT_EQ(components[215].text, &data.currency);
}

TEST(StoredComponents, GiveEveryItemOfTheSevenStoragesItsField) {
    FormData data;
    FormEvents events;
    SettingsStorages storages("unused.ini");
    storages.AttachToWindow(events, StoredComponents(data), nullptr, [](const std::string&) {});
    const std::size_t expected[kStorageCount] = {0, 50, 50, 50, 51, 13, 2};
    const auto all = storages.InDesignOrder();
    for (std::size_t i = 0; i < all.size(); ++i) {
        EXPECT_EQ(all[i]->StoredProps.size(), expected[i]) << all[i]->IniSection;
    }
}

}  // namespace
}  // namespace quilvern
