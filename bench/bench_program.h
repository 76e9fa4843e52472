#pragma once
// The window's data with its settings storages attached, as after construction, on a
// window that is never shown; and the crash recovery of a run, started, on a clock that
// only the benchmark moves.
#include <cstdint>
#include <string>

#include "bench/bench_folder.h"
#include "core/crash_recovery.h"
#include "core/form_data.h"
#include "core/stored_components.h"
#include "storage/settings_storages.h"
#include "values/error.h"

namespace quilvern::bench {

// A window that is never shown and stays where it is.
class StillWindow : public WindowHost {
  public:
    WindowPlacement Placement() const override { return placement_; }
    void SetPlacement(const WindowPlacement& placement) override { placement_ = placement; }
    bool IsVisible() const override { return false; }
    WindowRect Bounds() const override { return placement_.normal; }
    int TitleBarHeight() const override { return 0; }
    BorderStyle Border() const override { return BorderStyle::Single; }
    WindowSize SystemBorder(BorderMetric) const override { return {1, 1}; }
    bool ApplicationMinimized() const override { return false; }
    WindowSize PrimaryScreenSize() const override { return {1920, 1080}; }
    std::vector<WindowRect> ScreenAreas() const override { return {{0, 0, 1920, 1040}}; }
    int PixelsPerInch() const override { return 96; }
    void SetWindowState(WindowState) override {}
    void MarkStateNormal() override {}
    void PostMinimize() override {}
    void Repaint() override {}

  private:
    WindowPlacement placement_{0, 1, -1, -1, -1, -1, {334, 132, 864, 572}};
};

// The window's data with its storages attached, as after construction.
struct Program {
    Program(const bench::Folder& folder, const std::string& settingsFile) : storages(settingsFile) {
        data.dirLabel = folder.WithSeparator();
        events.onShow = [this] { data.RecomputeGrandTotal(); };
        storages.AttachToWindow(events, StoredComponents(data), &window,
                                [](const std::string& message) { throw Error(message); });
    }
    void Close() {
        bool canClose = true;
        events.onCloseQuery(canClose);
    }

    FormData data;
    StillWindow window;
    FormEvents events;
    SettingsStorages storages;
};

class StillAlarm : public Alarm {
  public:
    void Start(std::int64_t) override {}
    void Stop() override {}
    std::int64_t Now() const override { return 0; }
};

// A shown run with its recovery copy kept as the window keeps it, commands announcing
// their file steps.
struct RecoveredProgram : Program {
    RecoveredProgram(const Folder& folder, const std::string& settingsFile)
        : Program(folder, settingsFile),
          recovery(storages, settingsFile, folder.WithSeparator(), alarm,
                   [this] { return data.noteText.Text(); }) {
        data.ledger.journal = &recovery;
        events.onShow();
        recovery.Start();
    }

    StillAlarm alarm;
    CrashRecovery recovery;
};

}  // namespace quilvern::bench
