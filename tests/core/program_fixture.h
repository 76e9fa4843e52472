#pragma once
// The window's part in start-up and shutdown, without the window, for the tests of
// what the settings file and the crash recovery bring back.
#include <string>
#include <vector>

#include "core/form_data.h"
#include "core/stored_components.h"
#include "storage/settings_storages.h"
#include "support/fake_window_host.h"
#include "support/temp_dir.h"

namespace quilvern::test {

// The window's part in start-up and shutdown, without the window: the storages attach,
// FormCreate runs, the show restores and runs FormCreate again; the close query saves
// and the destruction retries.
struct Program {
    Program(const TempDir& programDir, const std::string& settingsFile) : storages(settingsFile) {
        data.dirLabel = programDir.WithSeparator();
        events.onShow = [this] { FormCreate(); };
        storages.AttachToWindow(events, StoredComponents(data), &host,
                                [this](const std::string& message) { reports.push_back(message); });
        FormCreate();
    }
    // What of FormCreate the stored values feed.
    void FormCreate() {
        data.RecomputeGrandTotal();
        data.ApplyCurrencyFormat();
    }
    void Show() {
        events.onShow();
        host.visible = true;
    }
    void Close() {
        bool canClose = true;
        events.onCloseQuery(canClose);
        events.onDestroy();
    }
    ProductLine& Line(int n) { return data.sheet.lines.at(n - 1); }
    // Every stored value as the file would get it.
    std::vector<std::string> StoredTexts() {
        std::vector<std::string> texts;
        for (const StoredComponent& component : StoredComponents(data)) {
            for (const char* name : {"Text", "Value"}) {
                if (const auto property = FindStoredProperty(component, name)) {
                    texts.push_back(StoredKey(component, *property) + "=" +
                                    StoredValueText(component, *property));
                }
            }
        }
        return texts;
    }

    FormData data;
    FakeWindowHost host;
    FormEvents events;
    std::vector<std::string> reports;
    SettingsStorages storages;  // detaches before the events go
};

}  // namespace quilvern::test
