#include "storage/form_storage.h"

#include <stdexcept>
#include <unordered_map>
#include <utility>

#include "storage/stored_value.h"
#include "storage/window_placement.h"
#include "values/ascii.h"

namespace quilvern {
namespace {

constexpr std::string_view kVersionKey = "FormVersion";

std::string Lowered(std::string_view text) {
    std::string lower(text);
    for (char& c : lower)
        c = AsciiLower(c);
    return lower;
}

}  // namespace

TFormPlacement::~TFormPlacement() {
    DetachFromWindow();
}

void TFormPlacement::AttachToWindow(FormEvents& events,
                                    const std::vector<StoredComponent>& components,
                                    WindowHost* window, ErrorReporter report) {
    if (events_ != nullptr)
        throw std::logic_error("settings storage attached twice");
    if (!report)
        throw std::invalid_argument("settings storage needs an error reporter");
    ResolveStoredItems(components);
    events_ = &events;
    window_ = window;
    report_ = std::move(report);
    keptShow_ = std::exchange(events.onShow, [this] { FormShow(); });
    keptCloseQuery_ =
        std::exchange(events.onCloseQuery, [this](bool& canClose) { FormCloseQuery(canClose); });
    keptDestroy_ = std::exchange(events.onDestroy, [this] { FormDestroy(); });
}

void TFormPlacement::DetachFromWindow() {
    if (events_ == nullptr)
        return;
    events_->onShow = std::move(keptShow_);
    events_->onCloseQuery = std::move(keptCloseQuery_);
    events_->onDestroy = std::move(keptDestroy_);
    events_ = nullptr;
    window_ = nullptr;
}

void TFormPlacement::FormShow() {
    try {
        RestoreSection();
    } catch (const std::exception& error) {
        Report(error);
    }
    if (keptShow_)
        keptShow_();
}

void TFormPlacement::FormCloseQuery(bool& canClose) {
    // Inner storages save first, so the sections are written in design order.
    if (keptCloseQuery_)
        keptCloseQuery_(canClose);
    if (!canClose || events_ == nullptr)
        return;
    try {
        SaveSection();
    } catch (const std::exception& error) {
        Report(error);  // the window closes all the same
    }
}

void TFormPlacement::FormDestroy() {
    if (!saved_) {
        destroying_ = true;
        try {
            SaveSection();
        } catch (const std::exception& error) {
            Report(error);
        }
        destroying_ = false;
    }
    if (keptDestroy_)
        keptDestroy_();
}

void TFormPlacement::Report(const std::exception& error) const {
    if (report_)
        report_(error.what());
}

void TFormPlacement::RestoreSection() {
    RestoreSectionFrom(IniFile(IniFileName));
}

void TFormPlacement::RestoreSectionFrom(const IniFile& file) {
    saved_ = false;
    // A section of an older layout would be misread; it is rewritten at the next save.
    if (file.ReadInteger(IniSection, kVersionKey, 0) >= Version)
        RestoreContents(file);
    restored_ = true;
    if (window_ != nullptr)
        SetMaximizedPosition(*window_);
}

void TFormPlacement::GatherSavesInto(IniFile* file) {
    gathering_ = file;
    gathered_ = false;
}

void TFormPlacement::SaveSection() {
    if (!restored_)
        return;
    if (gathering_ != nullptr) {
        WriteSectionTo(*gathering_);
        gathered_ = true;
        return;
    }
    IniFile file(IniFileName);
    WriteSectionTo(file);
    file.Flush();
    saved_ = true;
}

void TFormPlacement::WriteSectionTo(IniFile& file) {
    // Before a restore the fields hold their designed values, which must not replace
    // what the file holds.
    if (!restored_)
        return;
    file.WriteInteger(IniSection, kVersionKey, Version);
    SaveContents(file);
}

void TFormPlacement::SaveContents(IniFile& file) {
    if (Options == 0)
        return;
    if (window_ != nullptr)
        WriteWindowKeys(*window_, file, IniSection);
    file.WriteBool(IniSection, "Visible", destroying_);
}

void TFormPlacement::RestoreContents(const IniFile& file) {
    if (Options == 0 || window_ == nullptr)
        return;
    ApplyWindowKeys(*window_, file, IniSection, (Options & fpState) != 0,
                    (Options & fpPosition) != 0);
}

std::string TFormPlacement::ReadStoredValue(const IniFile& file, std::string_view section,
                                            std::string_view key, std::string_view def) {
    return file.ReadString(section, key, def);
}

void TFormPlacement::WriteStoredValue(IniFile& file, std::string_view section, std::string_view key,
                                      std::string_view text) {
    file.WriteString(section, key, QuoteStoredText(text));
}

void TFormPlacement::ResolveStoredItems(const std::vector<StoredComponent>&) {}

void TFormStorage::ResolveStoredItems(const std::vector<StoredComponent>& components) {
    std::unordered_map<std::string, const StoredComponent*> byName;
    byName.reserve(components.size());
    for (const StoredComponent& component : components) {
        byName.try_emplace(Lowered(component.name), &component);
    }
    items_.clear();
    std::vector<std::string> kept;
    for (std::string& prop : StoredProps) {
        const std::string_view text = prop;
        const std::size_t dot = text.find('.');
        if (dot == std::string_view::npos)
            continue;
        const std::string_view name = TrimBlanks(text.substr(0, dot));
        const std::string_view property = TrimBlanks(text.substr(dot + 1));
        if (name.empty() || property.empty())
            continue;
        const auto found = byName.find(Lowered(name));
        if (found == byName.end())
            continue;
        items_.push_back({*found->second, std::string(property)});
        kept.push_back(std::move(prop));
    }
    StoredProps = std::move(kept);
}

void TFormStorage::RestoreContents(const IniFile& file) {
    TFormPlacement::RestoreContents(file);
    MarkRestored();
    try {
        RestoreStoredItems(file);
    } catch (...) {
        // One field that will not take its value must not cost the user the others.
    }
}

void TFormStorage::RestoreStoredItems(const IniFile& file) {
    for (const Item& item : items_) {
        try {
            const auto property = FindStoredProperty(item.component, item.property);
            if (!property)
                continue;
            const std::string def = StoredValueText(item.component, *property);
            const std::string text =
                ReadStoredValue(file, IniSection, StoredKey(item.component, *property), def);
            AssignStoredValue(item.component, *property, TrimControls(text));
        } catch (...) {
            // Change handlers run inside the assignment; whatever they throw stays with
            // this one item.
        }
    }
}

void TFormStorage::SaveContents(IniFile& file) {
    TFormPlacement::SaveContents(file);
    SaveStoredItems(file);
}

void TFormStorage::SaveStoredItems(IniFile& file) {
    for (const Item& item : items_) {
        const auto property = FindStoredProperty(item.component, item.property);
        if (!property)
            continue;
        const std::string text = StoredValueText(item.component, *property);
        WriteStoredValue(file, IniSection, StoredKey(item.component, *property),
                         TrimControls(text));
    }
}

}  // namespace quilvern
