#pragma once
// The file operations of the program's text files, with the messages the user sees.
// Paths are used as formed: the program directory (with its trailing separator)
// followed by the file name.
#include <cstddef>
#include <limits>
#include <string>
#include <string_view>

#include "storage/safe_file.h"

namespace quilvern {

// True when the path names an existing regular file; a directory does not count.
bool FileExists(const std::string& path);

// Removes the file; whether that succeeded is not looked at.
void DeleteFile(const std::string& path);

// Replaces the file safely (see ReplaceFile, also for `announce`): on failure the old
// file stays as it was. Throws Error("Cannot create file %s"), or Error("Stream write
// error") naming the file. No permission bit outside `allowed` is set on it.
void WriteFileSafely(const std::string& path, std::string_view bytes, unsigned allowed = 07777,
                     const BeforeTemporaryName& announce = {});

// The permission bits of the file a path names (through a link), or all of them
// (07777) when there is none: a file made from it should allow no more than these.
unsigned PermissionsOf(const std::string& path);

// All bytes of the file; throws Error("Cannot open file %s"), or Error("Text exceeds memo
// capacity") before reading a file larger than `limit` bytes.
std::string ReadFileBytes(const std::string& path,
                          std::size_t limit = std::numeric_limits<std::size_t>::max());

}  // namespace quilvern
