#include "core/crash_recovery.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <string_view>

#include "core/form_data.h"
#include "core/year_report.h"
#include "storage/ini_file.h"
#include "storage/safe_file.h"
#include "storage/text_files.h"

namespace quilvern {
namespace {

constexpr std::string_view kTrailer = "[Recovery]\r\n";

std::string SnapshotPath(const std::string& settingsFile) {
    return settingsFile + ".recovery";
}

std::string NotesPath(const std::string& settingsFile) {
    return settingsFile + ".notes.recovery";
}

// FNV-1a: enough to tell a damaged or changed file from a whole one.
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

// Which settings file a snapshot was taken against: none, or its size, modification
// time and checksum. A backup copied back in its place is another file.
std::string Identity(const std::string& settingsFile) {
    std::string bytes;
    switch (ReadWholeFile(settingsFile, bytes, IniFile::kMaxFileSize)) {
        case ReadOutcome::Missing:
            return "none";
        case ReadOutcome::Read:
            break;
        case ReadOutcome::Unreadable:
        case ReadOutcome::TooLarge:
            return "unreadable";
    }
    struct stat status {};
    ::stat(settingsFile.c_str(), &status);
    return std::to_string(status.st_size) + " " + std::to_string(status.st_mtim.tv_sec) + "." +
           std::to_string(status.st_mtim.tv_nsec) + " " + Checksum(bytes);
}

std::string TrailerFor(std::string_view settings, std::string_view notes,
                       std::string_view against) {
    std::string trailer(kTrailer);
    trailer.append("Against=").append(against).append("\r\n");
    trailer.append("Settings=").append(Checksum(settings)).append("\r\n");
    trailer.append("Notes=").append(Checksum(notes)).append("\r\n");
    return trailer;
}

// The notes of a whole snapshot taken against `against`; none for anything else.
std::optional<std::string> ReadSnapshot(const std::string& snapshotFile,
                                        const std::string& notesFile, const std::string& against) {
    std::string snapshot;
    std::string notes;
    if (ReadWholeFile(snapshotFile, snapshot) != ReadOutcome::Read ||
        ReadWholeFile(notesFile, notes) != ReadOutcome::Read) {
        return std::nullopt;
    }
    const std::size_t trailer = snapshot.rfind(kTrailer);
    if (trailer == std::string::npos)
        return std::nullopt;
    const std::string_view settings(snapshot.data(), trailer);
    if (snapshot.compare(trailer, std::string::npos, TrailerFor(settings, notes, against)) != 0)
        return std::nullopt;
    return notes;
}

std::string Timestamp() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local);
    return text;
}

// Moves the file out of the way under a name no other file has.
void RenameAside(const std::string& path, const std::string& suffix) {
    if (!FileExists(path))
        return;
    std::string aside = path + suffix;
    for (int n = 2; FileExists(aside); ++n)
        aside = path + suffix + "-" + std::to_string(n);
    std::rename(path.c_str(), aside.c_str());
}

}  // namespace

CrashRecovery::CrashRecovery(SettingsStorages& storages, const std::string& settingsFile,
                             Alarm& alarm, std::function<std::string()> notes)
    : storages_(storages),
      settingsFile_(settingsFile),
      snapshotFile_(SnapshotPath(settingsFile)),
      notesFile_(NotesPath(settingsFile)),
      alarm_(alarm),
      takeNotes_(std::move(notes)) {}

void CrashRecovery::RemoveLeftovers(const std::string& programDirectory,
                                    const std::string& settingsFile) {
    std::vector<std::string> files = {settingsFile, SnapshotPath(settingsFile),
                                      NotesPath(settingsFile)};
    for (std::string_view name : {kYearReportFile, kYearBackupFile, kNotesFile})
        files.push_back(programDirectory + std::string(name));
    for (const MonthInfo& month : kMonths) {
        files.push_back(programDirectory + std::string(month.reportFile));
        files.push_back(programDirectory + std::string(month.backupFile));
    }
    RemoveLeftoverTemporaries(files);
}

std::optional<std::string> CrashRecovery::RestorableNotes(const std::string& settingsFile) {
    return ReadSnapshot(SnapshotPath(settingsFile), NotesPath(settingsFile),
                        Identity(settingsFile));
}

void CrashRecovery::LookForSnapshot() {
    if (!FileExists(snapshotFile_) && !FileExists(notesFile_))
        return;  // the last run ended cleanly
    notes_ = ReadSnapshot(snapshotFile_, notesFile_, Against());
    if (!notes_)
        SetAside();
}

// Worked out once, when first needed: the program itself writes the settings file only
// at the end of a run, so it stays the same file while snapshots are taken.
const std::string& CrashRecovery::Against() {
    if (!against_)
        against_ = Identity(settingsFile_);
    return *against_;
}

void CrashRecovery::SetAside() {
    const std::string suffix = ".set-aside-" + Timestamp();
    RenameAside(snapshotFile_, suffix);
    RenameAside(notesFile_, suffix);
}

std::string CrashRecovery::RestoreSnapshot() {
    storages_.RestoreFrom(snapshotFile_);
    return notes_.value_or(std::string());
}

void CrashRecovery::Watch(const std::vector<StoredComponent>& components) {
    for (const StoredComponent& component : components) {
        Listeners& changes = component.text    ? component.text->OnChange
                             : component.money ? component.money->OnChange
                                               : component.quantity->OnChange;
        changes.Add([this] { Changed(); });
    }
}

void CrashRecovery::Start() {
    started_ = true;
}

void CrashRecovery::Changed() {
    if (!started_)
        return;
    const std::int64_t now = alarm_.Now();
    if (firstChange_ < 0)
        firstChange_ = now;
    const std::int64_t wait = std::min(kQuietMs, kLongestWaitMs - (now - firstChange_));
    alarm_.Start(std::max<std::int64_t>(wait, 0));
}

void CrashRecovery::AlarmRang() {
    Write();
}

void CrashRecovery::WriteNow() {
    if (!started_)
        return;  // not shown yet, or ended cleanly: there is nothing a snapshot could add
    alarm_.Stop();
    Write();
}

void CrashRecovery::End(bool everythingSaved) {
    alarm_.Stop();
    started_ = false;
    if (!everythingSaved) {
        Write();
        return;
    }
    DeleteFile(snapshotFile_);
    DeleteFile(notesFile_);
}

// The notes first: the settings copy, written last, is what makes a snapshot whole. A
// failure must not interrupt the user, who is told once instead.
void CrashRecovery::Write() {
    firstChange_ = -1;
    try {
        const std::string notes = takeNotes_();
        const std::string settings = storages_.SnapshotText();
        WriteFileSafely(notesFile_, notes);
        WriteFileSafely(snapshotFile_, settings + TrailerFor(settings, notes, Against()));
        failureReported_ = false;
    } catch (const std::exception& error) {
        if (!failureReported_ && OnFailure) {
            failureReported_ = true;
            OnFailure(error);
        }
    }
}

}  // namespace quilvern
