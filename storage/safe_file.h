#pragma once
// Reading and replacing whole files: the one way every file of the program (reports,
// backups, notes, the settings file and its recovery copy) reaches the disk. Callers
// turn the outcomes into their own messages.
//
// A file is replaced safely: the new bytes go to a file beside it that has no name yet,
// which is flushed to the disk and only then linked in, so the target is always either
// the old file or the new one. A new file is linked in under its own name; an old one is
// replaced by renaming the flushed file over it, which needs a temporary name first:
// ".Quilvern-tmp-" + the file's name + "-" + six letters or digits, a name no other
// program uses. After the rename the folder itself is flushed. On a file system without
// unnamed files the temporary file is named from the start. Only when the folder allows
// no new file but the file itself may be written are the bytes written in place,
// flushed, and the old bytes put back if that fails.
#include <cstddef>
#include <functional>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

namespace quilvern {

enum class ReadOutcome {
    Read,
    Missing,     // no such file, or a path through something that is no folder
    Unreadable,  // there, but no regular file, no read bit set, or a read failed
    TooLarge,    // larger than the limit; nothing was read
};

// All bytes of the file. The read bits decide for every user alike, root included, and
// a FIFO in the file's place is refused without waiting. In a folder that others may
// write, a link that neither this user nor the folder's owner made is Unreadable.
ReadOutcome ReadWholeFile(const std::string& path, std::string& bytes,
                          std::size_t limit = std::numeric_limits<std::size_t>::max());

enum class WriteOutcome {
    Written,
    CannotCreate,  // the file may not be created or replaced; it is as it was
    WriteFailed,   // the bytes did not all reach the disk (disk full); it is as it was
};

// Replaces the file with exactly these bytes. A file without any write bit is never
// replaced, not even by root. A symbolic link is written through to the file it names,
// except in a folder that others may write, where only a link of this user or of the
// folder's owner is (CannotCreate otherwise). A replaced file keeps its permission bits
// and, where allowed, its owner; a new one gets what the umask allows. Either way no
// permission bit outside `allowed` stays set.
// `announce`, when set, is told the exact path of a temporary name before that name
// appears on disk, so that one left by a kill in a folder the program does not own can
// be removed by its name at the next start.
using BeforeTemporaryName = std::function<void(const std::string& tempPath)>;
WriteOutcome ReplaceFile(const std::string& path, std::string_view bytes, unsigned allowed = 07777,
                         const BeforeTemporaryName& announce = {});

enum class CreateOutcome {
    Created,
    NameTaken,     // something of that name is there, even a dangling link; left as it was
    CannotCreate,  // the folder takes no new file
    WriteFailed,   // the bytes did not all reach the disk; nothing was created
};

// Creates the file with exactly these bytes, but only while no file of that name
// exists: one that appears at any moment before is never overwritten. The bytes are
// complete and flushed in an unnamed file before the name is linked to it, so the file
// is never seen half-written. A new file gets what the umask allows.
CreateOutcome CreateNewFile(const std::string& path, std::string_view bytes);

// True when the path names a file that ReplaceFile may replace: a regular file with a
// write bit set that this user may write.
bool CanReplace(const std::string& path);

// Removes the temporary files that a writer killed half-way left beside these files,
// wherever each of them is: regular files of this user by exactly the writer's own
// names. Nothing else is touched.
void RemoveLeftoverTemporaries(const std::vector<std::string>& paths);

}  // namespace quilvern
