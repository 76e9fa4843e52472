#pragma once
// The file steps of a command that writes, removes or puts back the program's files,
// as values. Before it takes the first of them a command hands them to its journal
// (the crash recovery, which keeps them on disk beside the figures the command leaves),
// so that a start after a kill anywhere among them takes the rest: every step may be
// taken twice with the same result.
//
// A report that "Clear Transfer" removes is not deleted but set aside under a hidden
// name beside it, so that an undo can put it back byte for byte, also after a kill;
// what is set aside goes when the chance to undo ends.
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quilvern {

struct FileStep {
    enum class Kind {
        Write,     // the file gets exactly `bytes`, replacing what was there
        SetAside,  // the file is moved to its hidden name; one without write bits stays
        PutBack,   // the file set aside comes back, but never over another file
        Leftover,  // a temporary file a write may leave if killed: removed at the next start
    };
    Kind kind;
    std::string path;
    std::string bytes;         // for Write
    unsigned allowed = 07777;  // for Write: the permission bits the file may have at most

    friend bool operator==(const FileStep&, const FileStep&) = default;
};
using FileSteps = std::vector<FileStep>;

// Where a file set aside waits: ".Quilvern-undo-<name>" beside it.
std::string AsidePath(const std::string& path);

// Takes the step as a command does. Write throws Error("Cannot create file %s") or
// Error("Stream write error") naming the file. PutBack returns whether the file is back
// (it is there with the bytes that were set aside), SetAside whether it was moved.
bool TakeStep(const FileStep& step);

class CommandJournal;

// Hands the steps to the journal, if there is one, and then takes them in order,
// running `before` ahead of each. Returns each step's outcome; a failing Write throws
// and ends the command there.
std::vector<bool> TakeAnnounced(CommandJournal* journal, const FileSteps& steps,
                                const std::function<void(const FileStep&)>& before = {});

// Takes the steps again after a kill, quietly: what fails now is as the command left it.
void RedoSteps(const FileSteps& steps);

// The files set aside for these paths go: the chance to undo has ended.
void DropSetAside(const std::vector<std::string>& paths);
// Whatever is set aside for these paths comes back where nothing took its name, for a
// start that has no record of the command that set it aside.
void PutBackSetAside(const std::vector<std::string>& paths);

// The steps as bytes for the recovery copy, and back; none for bytes that are not such.
std::string EncodeSteps(const FileSteps& steps);
std::optional<FileSteps> DecodeSteps(std::string_view bytes);

// What a command hands its steps to before it takes them.
class CommandJournal {
  public:
    virtual ~CommandJournal() = default;
    // The figures as the command leaves them, with these steps, reach the disk before
    // the first step is taken.
    virtual void Announce(const FileSteps& steps) = 0;
};

}  // namespace quilvern
