#pragma once
// The settings storages. Each binds one section of the settings file to the main
// window: it wraps the window's show, close-query and destroy handlers, restores its
// section when the window is shown and saves it when the window closes, trying once
// more while the window is destroyed if that failed. TFormPlacement keeps the window's
// position and show state; TFormStorage adds the fields named in StoredProps.
#include <cstdint>
#include <exception>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "storage/form_events.h"
#include "storage/ini_file.h"
#include "storage/stored_component.h"
#include "storage/window_host.h"

namespace quilvern {

// Shows a failure to the user; the storages catch their own failures and report them
// here, so that one storage never stops the others or the window's own handlers.
using ErrorReporter = std::function<void(const std::string& message)>;

using PlacementOptions = unsigned;
inline constexpr PlacementOptions fpState = 1u << 0;     // normal, minimized, maximized
inline constexpr PlacementOptions fpPosition = 1u << 1;  // top-left corner

class TFormPlacement {
  public:
    TFormPlacement() = default;
    // Detaches: the window gets back the handlers it had when this storage attached.
    virtual ~TFormPlacement();
    // The window's handlers hold `this`.
    TFormPlacement(const TFormPlacement&) = delete;
    TFormPlacement& operator=(const TFormPlacement&) = delete;

    std::string IniFileName;  // a path, opened afresh for every restore and save
    std::string IniSection;
    PlacementOptions Options = 0;
    std::int32_t Version = 0;  // a section written with a lower "FormVersion" is not read

    // Once, when every component exists. Wraps what `events` holds now, so storages
    // attached later run outside this one; they must detach before it (in reverse).
    // `window` may be null when no window keys are kept; `report` must be set.
    void AttachToWindow(FormEvents& events, const std::vector<StoredComponent>& components,
                        WindowHost* window, ErrorReporter report);
    void DetachFromWindow();

    // Reads the section into the window and sets restored, clearing saved. Throws what
    // the show handler would report.
    void RestoreSection();
    // The same from another file, e.g. a recovery copy; the flags change as above.
    void RestoreSectionFrom(const IniFile& file);
    // Nothing before a restore. Writes the section and puts the file on disk, then sets
    // saved; a failure to write throws Error("Unable to write to Quilvern.ini"). While
    // saves are gathered, writes the section into the gathering file instead and leaves
    // the disk and the saved flag to the gatherer.
    void SaveSection();
    // What SaveSection writes, into a file the caller flushes; the flags stay as they
    // are. Nothing before a restore, as for a save.
    void WriteSectionTo(IniFile& file);

    // While set, SaveSection gathers the section into `file` (see SettingsStorages, which
    // puts the whole file on disk in one step). Clears Gathered().
    void GatherSavesInto(IniFile* file);
    bool Gathered() const { return gathered_; }
    void MarkSaved() { saved_ = true; }

    bool Restored() const { return restored_; }
    bool Saved() const { return saved_; }
    bool Destroying() const { return destroying_; }

  protected:
    virtual void SaveContents(IniFile& file);
    virtual void RestoreContents(const IniFile& file);
    virtual std::string ReadStoredValue(const IniFile& file, std::string_view section,
                                        std::string_view key, std::string_view def);
    // Applies the quote rule, so that a text in quotes keeps them.
    virtual void WriteStoredValue(IniFile& file, std::string_view section, std::string_view key,
                                  std::string_view text);
    virtual void ResolveStoredItems(const std::vector<StoredComponent>& components);

    void MarkRestored() { restored_ = true; }

  private:
    void FormShow();
    void FormCloseQuery(bool& canClose);
    void FormDestroy();
    void Report(const std::exception& error) const;

    FormEvents* events_ = nullptr;
    WindowHost* window_ = nullptr;
    ErrorReporter report_;
    std::function<void()> keptShow_;
    std::function<void(bool&)> keptCloseQuery_;
    std::function<void()> keptDestroy_;
    bool restored_ = false;
    bool saved_ = false;
    bool destroying_ = false;
    IniFile* gathering_ = nullptr;
    bool gathered_ = false;
};

class TFormStorage : public TFormPlacement {
  public:
    // "Component.Property" texts, in the order they are read and written. Resolved once
    // at attaching, when an item that names no component is dropped from the list.
    std::vector<std::string> StoredProps;

  protected:
    void SaveContents(IniFile& file) override;
    void RestoreContents(const IniFile& file) override;
    virtual void SaveStoredItems(IniFile& file);
    virtual void RestoreStoredItems(const IniFile& file);
    void ResolveStoredItems(const std::vector<StoredComponent>& components) override;

  private:
    struct Item {
        StoredComponent component;
        std::string property;  // looked up at every restore and save
    };
    std::vector<Item> items_;
};

}  // namespace quilvern
