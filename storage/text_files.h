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
// error") naming the file.
void WriteFileSafely(const std::string& path, std::string_view bytes,
                     const BeforeTemporaryName& announce = {});

// All bytes of the file; throws Error("Cannot open file %s"), or Error("Text exceeds memo
// capacity") before reading a file larger than `limit` bytes.
std::string ReadFileBytes(const std::string& path,
                          std::size_t limit = std::numeric_limits<std::size_t>::max());

}  // namespace quilvern
