#include "storage/stored_component.h"

#include "storage/stored_value.h"

namespace quilvern {
namespace {

constexpr StoredProperty kText{"Text", ValueKind::Text};
constexpr StoredProperty kMoneyValue{"Value", ValueKind::Money};
constexpr StoredProperty kIntegerValue{"Value", ValueKind::Integer};

bool SameNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) {
            return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
        };
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

}  // namespace

std::optional<StoredProperty> FindStoredProperty(const StoredComponent& component,
                                                 std::string_view name) {
    if (SameNoCase(name, kText.name)) {
        if (component.text || component.money || component.quantity)
            return kText;
        return std::nullopt;
    }
    if (SameNoCase(name, "Value")) {
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
            component.quantity->SetValue(ParseInteger(text).value_or(0));
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
