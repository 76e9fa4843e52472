#include "storage/settings_storages.h"

#include <algorithm>
#include <utility>

#include "storage/ini_file.h"
#include "storage/stored_items.h"

namespace quilvern {

SettingsStorages::SettingsStorages(const std::string& iniFileName) : iniFileName_(iniFileName) {
    const std::vector<StoredSection> sections = StoredSections();
    const auto storages = InDesignOrder();
    for (std::size_t i = 0; i < storages.size(); ++i) {
        TFormStorage& storage = *storages[i];
        storage.IniFileName = iniFileName;
        storage.IniSection = sections[i].name;
        storage.StoredProps = sections[i].items;
        if (sections[i].keepsWindowPlacement)
            storage.Options = fpState | fpPosition;
    }
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
    events_ = &events;
    keptCloseQuery_ = std::exchange(events.onCloseQuery, [this](bool& canClose) {
        SaveOnce([this, &canClose] { keptCloseQuery_(canClose); });
    });
    keptDestroy_ = std::exchange(events.onDestroy, [this] { SaveOnce(keptDestroy_); });
}

void SettingsStorages::DetachFromWindow() {
    if (events_ != nullptr) {
        events_->onCloseQuery = std::move(keptCloseQuery_);
        events_->onDestroy = std::move(keptDestroy_);
        events_ = nullptr;
    }
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

void SettingsStorages::RestoreFromText(std::string settings) {
    const IniFile file(IniFile::kFromText, std::move(settings));
    const auto storages = InDesignOrder();
    for (auto storage = storages.rbegin(); storage != storages.rend(); ++storage) {
        try {
            (*storage)->RestoreSectionFrom(file);
        } catch (const std::exception& error) {
            if (report_)
                report_(error.what());
        }
    }
}

void SettingsStorages::SaveOnce(const std::function<void()>& saves) {
    IniFile file(iniFileName_);
    const auto storages = InDesignOrder();
    for (TFormStorage* storage : storages)
        storage->GatherSavesInto(&file);
    try {
        saves();
    } catch (...) {
        for (TFormStorage* storage : storages)
            storage->GatherSavesInto(nullptr);
        throw;
    }
    std::vector<TFormStorage*> gathered;
    for (TFormStorage* storage : storages) {
        if (storage->Gathered())
            gathered.push_back(storage);
        storage->GatherSavesInto(nullptr);
    }
    if (gathered.empty())
        return;
    try {
        if (BeforeFileWrite)
            BeforeFileWrite(file.Text());
        file.Flush();
    } catch (const std::exception& error) {
        for (std::size_t i = 0; i < gathered.size(); ++i) {
            if (report_)
                report_(error.what());
        }
        return;
    }
    for (TFormStorage* storage : gathered)
        storage->MarkSaved();
    OnFileWritten.Raise();
}

bool SettingsStorages::AllSaved() {
    const auto storages = InDesignOrder();
    return std::all_of(storages.begin(), storages.end(),
                       [](const TFormStorage* storage) { return storage->Saved(); });
}

}  // namespace quilvern
