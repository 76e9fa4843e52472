#include "core/crash_recovery.h"

#include <sys/stat.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <string_view>

#include "core/form_data.h"
#include "core/reset_commands.h"
#include "core/year_report.h"
#include "storage/ini_file.h"
#include "storage/safe_file.h"
#include "storage/text_files.h"

namespace quilvern {
namespace {

constexpr std::string_view kTrailer = "[Recovery]\r\n";
constexpr std::string_view kSetAsideMark = ".set-aside-";

std::string SnapshotPath(const std::string& settingsFile) {
    return settingsFile + ".recovery";
}

// Where earlier versions kept the notes of a snapshot, apart from the rest.
std::string TwoFileNotesPath(const std::string& settingsFile) {
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

// What a snapshot may be taken against: the settings file as it is (none, or its
// size, modification time and checksum: a backup copied back in its place is another
// file), and, for the moment the program itself replaces it, the bytes it is about to
// write (their size and checksum).
std::string ContentIdentity(std::string_view bytes) {
    return std::to_string(bytes.size()) + " " + Checksum(bytes);
}

struct Identities {
    std::string file;
    std::string content;  // empty for no file
};

Identities IdentitiesOf(const std::string& settingsFile) {
    std::string bytes;
    switch (ReadWholeFile(settingsFile, bytes, IniFile::kMaxFileSize)) {
        case ReadOutcome::Missing:
            return {"none", {}};
        case ReadOutcome::Read:
            break;
        case ReadOutcome::Unreadable:
        case ReadOutcome::TooLarge:
            return {"unreadable", {}};
    }
    struct stat status {};
    ::stat(settingsFile.c_str(), &status);
    return {std::to_string(status.st_size) + " " + std::to_string(status.st_mtim.tv_sec) + "." +
                std::to_string(status.st_mtim.tv_nsec) + " " + Checksum(bytes),
            ContentIdentity(bytes)};
}

std::string SizedPart(std::string_view key, std::string_view bytes) {
    return std::string(key) + "=" + std::to_string(bytes.size()) + " " + Checksum(bytes) + "\r\n";
}

// The snapshot file: the settings text, a trailer that checks every part, then the
// notes and the steps byte for byte.
//   [Recovery]
//   Against=<identity of the settings file>
//   Next=<identity of the bytes about to replace it>   (only while the program does)
//   Settings=<checksum>
//   Notes=<size> <checksum>
//   Steps=<size> <checksum>
std::string Compose(std::string_view settings, std::string_view notes, std::string_view steps,
                    std::string_view against, std::string_view next) {
    std::string file(settings);
    file.append(kTrailer);
    file.append("Against=").append(against).append("\r\n");
    if (!next.empty())
        file.append("Next=").append(next).append("\r\n");
    file.append("Settings=").append(Checksum(settings)).append("\r\n");
    file.append(SizedPart("Notes", notes)).append(SizedPart("Steps", steps));
    file.append(notes).append(steps);
    return file;
}

struct Parts {
    std::string settings;
    std::string notes;
    FileSteps steps;
};

// The text of a trailer line, as in "Against=<text>"; empty if there is none.
std::string_view LineAfter(std::string_view trailer, std::string_view key) {
    const std::string start = "\r\n" + std::string(key) + "=";
    const std::size_t at = trailer.find(start);
    if (at == std::string_view::npos)
        return {};
    const std::string_view rest = trailer.substr(at + start.size());
    return rest.substr(0, rest.find("\r\n"));
}

// The size a trailer line gives, as in "Notes=<size> <checksum>"; none if there is none.
std::optional<std::size_t> SizeAfter(std::string_view trailer, std::string_view key) {
    const std::string_view line = LineAfter(trailer, key);
    std::size_t size = 0;
    const auto [end, error] = std::from_chars(line.data(), line.data() + line.size(), size);
    return error == std::errc() && end != line.data() ? std::optional(size) : std::nullopt;
}

// The parts of a whole snapshot taken against the settings file as `now` describes it;
// none for anything else. The settings text holds only the storages' sections, so the
// first trailer line ends it.
std::optional<Parts> ReadParts(std::string_view snapshot, const Identities& now) {
    const std::size_t trailer =
        snapshot.starts_with(kTrailer) ? 0 : snapshot.find("\r\n" + std::string(kTrailer));
    if (trailer == std::string_view::npos)
        return std::nullopt;
    const std::string_view settings = snapshot.substr(0, trailer == 0 ? 0 : trailer + 2);
    const std::string_view rest = snapshot.substr(settings.size());
    const std::string_view against = LineAfter(rest, "Against");
    const std::string_view next = LineAfter(rest, "Next");
    if (against != now.file && (next.empty() || next != now.content))
        return std::nullopt;
    const auto notesSize = SizeAfter(rest, "Notes");
    const auto stepsSize = SizeAfter(rest, "Steps");
    if (!notesSize || !stepsSize || *notesSize > rest.size() ||
        *stepsSize > rest.size() - *notesSize) {
        return std::nullopt;
    }
    const std::string_view notes = rest.substr(rest.size() - *stepsSize - *notesSize, *notesSize);
    const std::string_view steps = rest.substr(rest.size() - *stepsSize);
    auto decoded = DecodeSteps(steps);
    if (!decoded || Compose(settings, notes, steps, against, next) != snapshot)
        return std::nullopt;
    return Parts{std::string(settings), std::string(notes), std::move(*decoded)};
}

// A snapshot of an earlier version: the settings copy with a trailer that checks it
// and the notes kept in a file of their own.
std::optional<Parts> ReadTwoFileParts(std::string_view snapshot, const std::string& notesFile,
                                      const Identities& now) {
    std::string notes;
    if (ReadWholeFile(notesFile, notes) != ReadOutcome::Read)
        return std::nullopt;
    const std::size_t trailer = snapshot.rfind(kTrailer);
    if (trailer == std::string_view::npos)
        return std::nullopt;
    const std::string_view settings = snapshot.substr(0, trailer);
    std::string expected(kTrailer);
    expected.append("Against=").append(now.file).append("\r\n");
    expected.append("Settings=").append(Checksum(settings)).append("\r\n");
    expected.append("Notes=").append(Checksum(notes)).append("\r\n");
    if (snapshot.substr(trailer) != expected)
        return std::nullopt;
    return Parts{std::string(settings), std::move(notes), {}};
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

// Keeps the newest `kept` copies set aside from `path`; their names sort by time.
void KeepNewestSetAside(const std::string& path, int kept) {
    namespace fs = std::filesystem;
    const fs::path file(path);
    const std::string prefix = file.filename().string() + std::string(kSetAsideMark);
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(file.parent_path(), error)) {
        const std::string name = entry.path().filename().string();
        if (name.starts_with(prefix) && entry.is_regular_file(error))
            names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    for (std::size_t i = 0; i + static_cast<std::size_t>(kept) < names.size(); ++i)
        DeleteFile((file.parent_path() / names[i]).string());
}

}  // namespace

CrashRecovery::CrashRecovery(SettingsStorages& storages, const std::string& settingsFile,
                             const std::string& programDirectory, Alarm& alarm,
                             std::function<std::string()> notes)
    : storages_(storages),
      settingsFile_(settingsFile),
      programDirectory_(programDirectory),
      alarm_(alarm),
      takeNotes_(std::move(notes)) {
    // Before the program replaces the settings file itself, a snapshot on disk is taken
    // again so that it holds for the new file as well: a kill after the replacement but
    // before the rest of the close (the notes) must not find it naming the old one.
    storages_.BeforeFileWrite = [this](std::string_view bytes) {
        if (!started_ || !written_)
            return;
        next_ = ContentIdentity(bytes);
        Write();
    };
    storages_.OnFileWritten.Add([this] {
        against_.reset();
        next_.reset();
    });
}

void CrashRecovery::RemoveLeftovers(const std::string& programDirectory,
                                    const std::string& settingsFile) {
    std::vector<std::string> files = {settingsFile, SnapshotPath(settingsFile),
                                      TwoFileNotesPath(settingsFile)};
    for (std::string_view name : {kYearReportFile, kYearBackupFile, kNotesFile})
        files.push_back(programDirectory + std::string(name));
    for (const MonthInfo& month : kMonths) {
        files.push_back(programDirectory + std::string(month.reportFile));
        files.push_back(programDirectory + std::string(month.backupFile));
    }
    RemoveLeftoverTemporaries(files);
}

std::optional<std::string> CrashRecovery::RestorableNotes(const std::string& settingsFile) {
    std::string snapshot;
    if (ReadWholeFile(SnapshotPath(settingsFile), snapshot) != ReadOutcome::Read)
        return std::nullopt;
    auto parts = ReadParts(snapshot, IdentitiesOf(settingsFile));
    return parts ? std::optional(std::move(parts->notes)) : std::nullopt;
}

void CrashRecovery::LookForSnapshot() {
    const std::vector<std::string> reports = TransferReportPaths(programDirectory_);
    const std::string snapshotFile = SnapshotPath(settingsFile_);
    const std::string notesFile = TwoFileNotesPath(settingsFile_);
    if (!FileExists(snapshotFile) && !FileExists(notesFile)) {
        PutBackSetAside(reports);  // the last run ended cleanly, or could keep no snapshot
        return;
    }
    std::string snapshot;
    ReadWholeFile(snapshotFile, snapshot);
    const Identities now = IdentitiesOf(settingsFile_);
    std::optional<Parts> parts = ReadParts(snapshot, now);
    if (!parts && FileExists(notesFile)) {
        parts = ReadTwoFileParts(snapshot, notesFile, now);
        twoFiles_ = parts.has_value();
    }
    if (!parts) {
        SetAside();
        PutBackSetAside(reports);
        return;
    }
    RedoSteps(parts->steps);
    DropSetAside(reports);
    written_ = true;  // it stays until the next snapshot replaces it
    settings_ = std::move(parts->settings);
    notes_ = std::move(parts->notes);
}

const std::string& CrashRecovery::Against() {
    if (!against_)
        against_ = IdentitiesOf(settingsFile_).file;
    return *against_;
}

void CrashRecovery::SetAside() {
    const std::string suffix = std::string(kSetAsideMark) + Timestamp();
    for (const std::string& path : {SnapshotPath(settingsFile_), TwoFileNotesPath(settingsFile_)}) {
        RenameAside(path, suffix);
        KeepNewestSetAside(path, kSetAsideKept);
    }
}

std::string CrashRecovery::RestoreSnapshot() {
    storages_.RestoreFromText(settings_.value_or(std::string()));
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
    announcedUnchanged_ = false;
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

void CrashRecovery::Announce(const FileSteps& steps) {
    if (!started_)
        return;
    alarm_.Stop();
    Write(steps);
}

void CrashRecovery::CommandEnded(bool failed) {
    if (failed || !announcedUnchanged_)
        WriteNow();
}

void CrashRecovery::End(bool everythingSaved) {
    alarm_.Stop();
    started_ = false;
    if (!everythingSaved) {
        Write();
        return;
    }
    DeleteFile(SnapshotPath(settingsFile_));
    DeleteFile(TwoFileNotesPath(settingsFile_));
}

// One file holds everything, so a snapshot is whole or not there. A failure must not
// interrupt the user, who is told once instead.
void CrashRecovery::Write(const FileSteps& steps) {
    firstChange_ = -1;
    announcedUnchanged_ = false;
    try {
        const std::string notes = takeNotes_();
        const std::string settings = storages_.SnapshotText();
        // Readable by no one who may not read the settings and the notes it holds.
        const unsigned allowed = PermissionsOf(settingsFile_) &
                                 PermissionsOf(programDirectory_ + std::string(kNotesFile));
        WriteFileSafely(
            SnapshotPath(settingsFile_),
            Compose(settings, notes, EncodeSteps(steps), Against(), next_.value_or(std::string())),
            allowed);
        written_ = true;
        announcedUnchanged_ = !steps.empty();
        if (twoFiles_) {
            DeleteFile(TwoFileNotesPath(settingsFile_));
            twoFiles_ = false;
        }
        failureReported_ = false;
    } catch (const std::exception& error) {
        if (!failureReported_ && OnFailure) {
            failureReported_ = true;
            OnFailure(error);
        }
    }
}

}  // namespace quilvern
