#pragma once
// The main window's seven settings storages, made as its design has them: one per
// section of the settings file, in the order in which they attach, so that sections are
// restored from "Settings" inward to "Main" at the show and saved from "Main" outward
// to "Settings" at the close. However many storages save at once, at the close or while
// the window is destroyed, their sections reach the disk in one replacement of the file,
// so a kill or a power cut never leaves a file of which only some sections are new.
#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "storage/form_storage.h"
#include "values/listeners.h"

namespace quilvern {

inline constexpr int kStorageCount = 7;

class SettingsStorages {
  public:
    // All seven read and write the file at `iniFileName` (SettingsFilePath() in the program).
    explicit SettingsStorages(const std::string& iniFileName);
    SettingsStorages(const SettingsStorages&) = delete;
    SettingsStorages& operator=(const SettingsStorages&) = delete;
    // Detaches from the outermost storage inward, which leaves the window its own handlers.
    ~SettingsStorages();

    // Design order. Declared so, the members are destroyed in reverse, as detaching needs.
    TFormStorage IniMain;      // "Main": window position and show state, no items
    TFormStorage IniName;      // "Name": P001Name.Text ... P050Name.Text
    TFormStorage IniPrice;     // "Price": P001Price.Value ...
    TFormStorage IniQuantity;  // "Quantity": P001Quantity.Value ...
    TFormStorage IniTotal;     // "Total": FinalTotal.Value, P001Total.Value ...
    TFormStorage IniTransfer;  // "Transfer": TotalJanuary.Value ... TotalYear.Value
    TFormStorage IniSettings;  // "Settings": SetTitle.Text, Currency.Text

    std::array<TFormStorage*, kStorageCount> InDesignOrder();

    // Attaches all seven in design order, after the window has set its own show handler,
    // and around them the gathering of their saves into one write.
    void AttachToWindow(FormEvents& events, const std::vector<StoredComponent>& components,
                        WindowHost* window, const ErrorReporter& report);
    void DetachFromWindow();

    // What a close would write, for all seven, as the text of a whole settings file;
    // the storages' flags stay as they are.
    std::string SnapshotText();
    // Restores all seven from these bytes of a settings file (a recovery copy's) in show
    // order, as the show would, reporting each storage's failure; FormCreate is the
    // caller's to run.
    void RestoreFromText(std::string settings);
    // Whether every storage's last save completed.
    bool AllSaved();

    // Called with the bytes of the settings file just before the program itself puts it
    // on disk, and raised after it did.
    std::function<void(std::string_view bytes)> BeforeFileWrite;
    Listeners OnFileWritten;

  private:
    // Runs `saves` with every storage gathering its section into one file, then puts
    // that file on disk once. Each storage that gathered is saved when the write
    // succeeds, and reports the failure otherwise, as its own write would have.
    void SaveOnce(const std::function<void()>& saves);

    std::string iniFileName_;
    ErrorReporter report_;
    FormEvents* events_ = nullptr;
    std::function<void(bool&)> keptCloseQuery_;
    std::function<void()> keptDestroy_;
};

}  // namespace quilvern
