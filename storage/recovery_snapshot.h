#pragma once
// The crash-recovery snapshot: while the program runs, what the settings storages would
// write at close, and the notes, kept beside the settings file as
// "Quilvern.ini.recovery" and "Quilvern.ini.notes.recovery". A clean close deletes
// both; finding them at start-up means the last run did not close cleanly.
//
// The settings copy ends in a section of its own that records a checksum of the bytes
// before it and of the notes file, so a damaged or half-matching pair is recognised
// and ignored rather than restored.
#include <optional>
#include <string>

namespace quilvern {

class SettingsStorages;

struct RecoveryFiles {
    std::string settings;  // <settings file>.recovery
    std::string notes;     // <settings file>.notes.recovery

    explicit RecoveryFiles(const std::string& settingsFile);
};

// Writes both files safely, the notes first: the settings copy, written last, is what
// makes a snapshot complete. Throws Error when a file cannot be written.
void WriteRecoverySnapshot(SettingsStorages& storages, const RecoveryFiles& files,
                           const std::string& notes);

// The notes of a complete, undamaged snapshot; none when there is no snapshot or it
// does not check out.
std::optional<std::string> ReadRecoverySnapshot(const RecoveryFiles& files);

void DeleteRecoverySnapshot(const RecoveryFiles& files);

}  // namespace quilvern
