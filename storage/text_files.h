#pragma once
// The file operations of the program's text files. Paths are used as formed: the
// program directory (with its trailing separator) followed by the file name.
#include <string>
#include <string_view>

namespace quilvern {

// True when the path names an existing regular file; a directory does not count.
bool FileExists(const std::string& path);

// Removes the file; whether that succeeded is not looked at.
void DeleteFile(const std::string& path);

// Writes the bytes to a temporary file beside the target and renames it over the
// target only when complete, so a failure never leaves a half-written file.
// Throws Error("Cannot create file %s") or Error("Stream write error").
void WriteFileSafely(const std::string& path, std::string_view bytes);

// All bytes of the file; throws Error("Cannot open file %s").
std::string ReadFileBytes(const std::string& path);

}  // namespace quilvern
