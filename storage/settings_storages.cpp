#include "storage/settings_storages.h"

#include <algorithm>
#include <cstdio>
#include <string_view>

#include "storage/ini_file.h"

namespace quilvern {
namespace {

constexpr std::array<std::string_view, 12> kMonthNames = {
    "January", "February", "March",     "April",   "May",      "June",
    "July",    "August",   "September", "October", "November", "December"};

// "P001Name.Text" ... "P050Name.Text" for ("Name", "Text").
void AddLineItems(std::vector<std::string>& items, std::string_view field,
                  std::string_view property) {
    for (int n = 1; n <= 50; ++n) {
        char number[16];
        std::snprintf(number, sizeof number, "P%03d", n);
        items.push_back(std::string(number).append(field).append(".").append(property));
    }
}

void Configure(TFormStorage& storage, const std::string& iniFileName, std::string_view section,
               std::vector<std::string> items) {
    storage.IniFileName = iniFileName;
    storage.IniSection = section;
    storage.StoredProps = std::move(items);
}

}  // namespace

SettingsStorages::SettingsStorages(const std::string& iniFileName) {
    Configure(IniMain, iniFileName, "Main", {});
    IniMain.Options = fpState | fpPosition;

    std::vector<std::string> items;
    AddLineItems(items, "Name", "Text");
    Configure(IniName, iniFileName, "Name", std::move(items));

    items = {};
    AddLineItems(items, "Price", "Value");
    Configure(IniPrice, iniFileName, "Price", std::move(items));

    items = {};
    AddLineItems(items, "Quantity", "Value");
    Configure(IniQuantity, iniFileName, "Quantity", std::move(items));

    items = {"FinalTotal.Value"};
    AddLineItems(items, "Total", "Value");
    Configure(IniTotal, iniFileName, "Total", std::move(items));

    items = {};
    for (std::string_view month : kMonthNames) {
        items.push_back(std::string("Total").append(month).append(".Value"));
    }
    items.push_back("TotalYear.Value");
    Configure(IniTransfer, iniFileName, "Transfer", std::move(items));

    Configure(IniSettings, iniFileName, "Settings", {"SetTitle.Text", "Currency.Text"});
}

SettingsStorages::~SettingsStorages() {
    DetachFromWindow();
}

std::array<TFormStorage*, kStorageCount> SettingsStorages::InDesignOrder() {
    return {&IniMain, &IniName, &IniPrice, &IniQuantity, &IniTotal, &IniTransfer, &IniSettings};
}

void SettingsStorages::AttachToWindow(FormEvents& events,
                                      const std::vector<StoredComponent>& components,
                                      WindowHost* window, const ErrorReporter& report) {
    report_ = report;
    for (TFormStorage* storage : InDesignOrder()) {
        storage->AttachToWindow(events, components, window, report);
    }
}

void SettingsStorages::DetachFromWindow() {
    const auto storages = InDesignOrder();
    for (auto storage = storages.rbegin(); storage != storages.rend(); ++storage) {
        (*storage)->DetachFromWindow();
    }
}

std::string SettingsStorages::SnapshotText() {
    IniFile file;
    for (TFormStorage* storage : InDesignOrder())
        storage->WriteSectionTo(file);
    return file.Text();
}

void SettingsStorages::RestoreFrom(const std::string& path) {
    const auto storages = InDesignOrder();
    for (auto storage = storages.rbegin(); storage != storages.rend(); ++storage) {
        try {
            (*storage)->RestoreSectionFrom(path);
        } catch (const std::exception& error) {
            if (report_)
                report_(error.what());
        }
    }
}

bool SettingsStorages::AllSaved() {
    const auto storages = InDesignOrder();
    return std::all_of(storages.begin(), storages.end(),
                       [](const TFormStorage* storage) { return storage->Saved(); });
}

}  // namespace quilvern
