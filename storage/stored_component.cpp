#include "storage/stored_component.h"

#include "storage/stored_value.h"
#include "values/ascii.h"
#include "values/whole_number.h"

namespace quilvern {
namespace {

constexpr StoredProperty kText{"Text", ValueKind::Text};
constexpr StoredProperty kMoneyValue{"Value", ValueKind::Money};
constexpr StoredProperty kIntegerValue{"Value", ValueKind::Integer};

}  // namespace

std::optional<StoredProperty> FindStoredProperty(const StoredComponent& component,
                                                 std::string_view name) {
    if (EqualsIgnoringCase(name, kText.name)) {
        if (component.text || component.money || component.quantity)
            return kText;
        return std::nullopt;
    }
    if (EqualsIgnoringCase(name, "Value")) {
        if (component.money)
            return kMoneyValue;
        if (component.quantity)
            return kIntegerValue;
    }
    return std::nullopt;
}

std::string StoredKey(const StoredComponent& component, StoredProperty property) {
    std::string key;
    key.reserve(component.name.size() + 1 + property.name.size());
    return key.append(component.name).append("_").append(property.name);
}

std::string StoredValueText(const StoredComponent& component, StoredProperty property) {
    switch (property.kind) {
        case ValueKind::Money:
            return StoredMoneyText(component.money->Value());
        case ValueKind::Integer:
            return std::to_string(component.quantity->Value());
        case ValueKind::Text:
            break;
    }
    const std::string& text = component.text    ? component.text->Text()
                              : component.money ? component.money->Text()
                                                : component.quantity->Text();
    return std::string(TrimControls(text));
}

void AssignStoredValue(const StoredComponent& component, StoredProperty property,
                       std::string_view text) {
    switch (property.kind) {
        case ValueKind::Money:
            if (const auto value = ParseStoredMoney(text))
                component.money->SetValue(*value);
            return;
        case ValueKind::Integer:
            component.quantity->SetValue(ParseWholeNumber(text).value_or(0));
            return;
        case ValueKind::Text:
            break;
    }
    if (component.text) {
        component.text->SetText(text);
    } else if (component.money) {
        component.money->SetText(text);
    } else {
        component.quantity->SetText(text);
    }
}

}  // namespace quilvern
