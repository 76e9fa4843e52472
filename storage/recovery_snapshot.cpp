#include "storage/recovery_snapshot.h"

#include <cstdint>
#include <cstdio>

#include "storage/settings_storages.h"
#include "storage/text_files.h"

namespace quilvern {
namespace {

constexpr std::string_view kTrailer = "[Recovery]\r\n";

// FNV-1a: enough to tell a damaged file from a whole one.
std::string Checksum(std::string_view bytes) {
    std::uint64_t hash = 14695981039346656037ULL;
    for (unsigned char byte : bytes) {
        hash ^= byte;
        hash *= 1099511628211ULL;
    }
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
    return text;
}

std::string TrailerFor(std::string_view settings, std::string_view notes) {
    std::string trailer(kTrailer);
    trailer += "Settings=" + Checksum(settings) + "\r\n";
    trailer += "Notes=" + Checksum(notes) + "\r\n";
    return trailer;
}

std::string ReadIfExists(const std::string& path) {
    return FileExists(path) ? ReadFileBytes(path) : std::string();
}

}  // namespace

RecoveryFiles::RecoveryFiles(const std::string& settingsFile)
    : settings(settingsFile + ".recovery"), notes(settingsFile + ".notes.recovery") {}

void WriteRecoverySnapshot(SettingsStorages& storages, const RecoveryFiles& files,
                           const std::string& notes) {
    // The storages write whole sections into a fresh copy, beside the snapshot.
    const std::string scratch = files.settings + ".new";
    DeleteFile(scratch);
    storages.SaveCopy(scratch);
    const std::string settings = ReadIfExists(scratch);
    DeleteFile(scratch);
    WriteFileSafely(files.notes, notes);
    WriteFileSafely(files.settings, settings + TrailerFor(settings, notes));
}

std::optional<std::string> ReadRecoverySnapshot(const RecoveryFiles& files) {
    try {
        if (!FileExists(files.settings) || !FileExists(files.notes))
            return std::nullopt;
        const std::string snapshot = ReadFileBytes(files.settings);
        const std::size_t trailer = snapshot.rfind(kTrailer);
        if (trailer == std::string::npos)
            return std::nullopt;
        std::string notes = ReadFileBytes(files.notes);
        const std::string_view settings(snapshot.data(), trailer);
        if (snapshot.compare(trailer, std::string::npos, TrailerFor(settings, notes)) != 0) {
            return std::nullopt;
        }
        return notes;
    } catch (const std::exception&) {
        return std::nullopt;  // an unreadable snapshot is no snapshot
    }
}

void DeleteRecoverySnapshot(const RecoveryFiles& files) {
    DeleteFile(files.settings);
    DeleteFile(files.notes);
}

}  // namespace quilvern
