#pragma once
// Crash recovery: a crash, a kill or a power cut never costs what was typed or
// transferred. While the program runs, what the settings storages would write at close
// and the notes are kept together in one file beside the settings file,
// "<settings file>.recovery": two seconds after the last change, never later than ten
// seconds after the first change not yet kept, and at once after every command that
// wrote or removed files. A command also announces its file steps before it takes them
// (Announce): the snapshot then holds the figures as the command leaves them together
// with the steps, so that a start after a kill among the steps takes them again and
// the files agree with the figures. A clean end deletes the snapshot.
//
// A snapshot found at start-up means the last run did not end cleanly. It is restored
// in place of the settings file, through the same storages in the same order, but only
// when it checks out (a trailer holds the checksums of its parts) and was taken against
// the settings file exactly as it is now; a settings file the program itself wrote
// during the run counts as the one the snapshot was taken against. Any other snapshot
// is set aside under a new name and kept for the user (the newest ten), and the
// settings file wins.
#include <cstdint>
#include <exception>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/file_steps.h"
#include "storage/settings_storages.h"
#include "storage/stored_component.h"

namespace quilvern {

// The single-shot wait and the clock of the event loop the program runs in.
class Alarm {
  public:
    virtual ~Alarm() = default;
    virtual void Start(std::int64_t milliseconds) = 0;  // replaces a wait already running
    virtual void Stop() = 0;
    virtual std::int64_t Now() const = 0;  // milliseconds on a clock that never goes back
};

class CrashRecovery : public CommandJournal {
  public:
    static constexpr std::int64_t kQuietMs = 2000;
    static constexpr std::int64_t kLongestWaitMs = 10000;
    static constexpr int kSetAsideKept = 10;

    // `notes` hands over the notes as the user has them at the moment of a snapshot.
    // The alarm calls AlarmRang() when its wait is over. The program directory is where
    // the report files are that a command may have set aside.
    CrashRecovery(SettingsStorages& storages, const std::string& settingsFile,
                  const std::string& programDirectory, Alarm& alarm,
                  std::function<std::string()> notes);
    CrashRecovery(const CrashRecovery&) = delete;
    CrashRecovery& operator=(const CrashRecovery&) = delete;

    // At start-up, before the window is built up: keeps a snapshot that may be restored
    // and takes again the file steps it holds; sets aside any other snapshot. Either
    // way, what an undo had set aside is settled: after a snapshot that is restored it
    // goes, since a new run has no undo; otherwise it comes back where its name is free.
    void LookForSnapshot();
    bool HasSnapshot() const { return settings_.has_value(); }
    // Restores the seven sections from the snapshot, in the order of a show, and returns
    // its notes. The start-up sequence is the caller's to run afterwards.
    std::string RestoreSnapshot();

    // Every change of these fields restarts the wait, once Start has been called.
    void Watch(const std::vector<StoredComponent>& components);
    void Start();
    void Changed();
    void AlarmRang();
    // After a command that wrote or deleted files, so that files and figures agree; and
    // when the program is made to end without a close. Nothing once the run has ended.
    void WriteNow();
    // Before a command's first file step: a snapshot with the steps (see above).
    // Nothing before Start or after End.
    void Announce(const FileSteps& steps) override;
    // A command ended. A snapshot follows unless the one its steps were announced in
    // still holds everything: nothing changed since and the command did not fail (its
    // steps, taken again at a start, give the same files).
    void CommandEnded(bool failed);

    // The run ends cleanly. With everything saved the snapshot goes; otherwise a last
    // one keeps what could not be saved for the next start.
    void End(bool everythingSaved);

    // A snapshot could not be written: raised once, and again only after a snapshot has
    // been written since. The next change tries again.
    std::function<void(const std::exception& error)> OnFailure;

    // Removes the temporary files that a kill in the middle of a save left beside the
    // program's own files, in the program directory and beside the settings file. Only
    // for the one running copy: another's save may be under way otherwise.
    static void RemoveLeftovers(const std::string& programDirectory,
                                const std::string& settingsFile);

    // The notes of the whole snapshot beside the settings file, if there is one that was
    // taken against the settings file as it is now: what the next start would restore.
    static std::optional<std::string> RestorableNotes(const std::string& settingsFile);

  private:
    void Write(const FileSteps& steps = {});
    void SetAside();
    const std::string& Against();

    SettingsStorages& storages_;
    std::string settingsFile_;
    std::string programDirectory_;
    Alarm& alarm_;
    std::function<std::string()> takeNotes_;
    // Which settings file the snapshots of this run are taken against; worked out anew
    // after the program has written the settings file itself.
    std::optional<std::string> against_;
    std::optional<std::string> next_;      // while the program replaces the settings file
    std::optional<std::string> settings_;  // of a snapshot that may be restored
    std::optional<std::string> notes_;
    bool twoFiles_ = false;            // the snapshot found is of the earlier kind, in two files
    bool written_ = false;             // a snapshot of this run is on disk
    bool announcedUnchanged_ = false;  // the last snapshot announced steps; nothing changed since
    bool started_ = false;
    bool failureReported_ = false;
    std::int64_t firstChange_ = -1;  // of the changes not yet in a snapshot
};

// Ends the command it guards for the crash recovery when it goes out of scope, however
// the command ended (see CommandEnded).
class SnapshotAfterCommand {
  public:
    explicit SnapshotAfterCommand(CrashRecovery& recovery)
        : recovery_(recovery), exceptions_(std::uncaught_exceptions()) {}
    ~SnapshotAfterCommand() { recovery_.CommandEnded(std::uncaught_exceptions() > exceptions_); }
    SnapshotAfterCommand(const SnapshotAfterCommand&) = delete;
    SnapshotAfterCommand& operator=(const SnapshotAfterCommand&) = delete;

  private:
    CrashRecovery& recovery_;
    int exceptions_;
};

}  // namespace quilvern
