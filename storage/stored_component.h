#pragma once
// A named field of the main window as the settings storages reach it, and the
// properties each kind of field offers them: looked up by name in any letter case,
// read as the text that is stored, and assigned through the field's own setters so
// that its change handling runs as for any other assignment.
#include <optional>
#include <string>
#include <string_view>

#include "values/money_field.h"
#include "values/quantity_field.h"
#include "values/text_field.h"

namespace quilvern {

// Exactly one of the field pointers is set; the field outlives the storages.
struct StoredComponent {
    std::string name;
    TextField* text = nullptr;
    MoneyField* money = nullptr;
    QuantityField* quantity = nullptr;
};

enum class ValueKind { Text, Money, Integer };

struct StoredProperty {
    std::string_view name;  // as the field declares it: "Text" or "Value"
    ValueKind kind;
};

// TextField: Text. MoneyField: Value (money), Text. QuantityField: Value (integer), Text.
std::optional<StoredProperty> FindStoredProperty(const StoredComponent& component,
                                                 std::string_view name);

// The key of the property in the component's section: "P001Name_Text".
std::string StoredKey(const StoredComponent& component, StoredProperty property);

// The property's value as it is written, trimmed of bytes 0 to 32, before the quote
// rule. Reading a money or quantity Value parses the field's text, as any reader would.
std::string StoredValueText(const StoredComponent& component, StoredProperty property);

// Assigns a text read from the file. Money that does not parse leaves the field as it
// is; an integer that does not parse, or lies outside 32 bits, assigns 0. Whatever the
// setter or a change handler throws passes on.
void AssignStoredValue(const StoredComponent& component, StoredProperty property,
                       std::string_view text);

}  // namespace quilvern
