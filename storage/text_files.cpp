#include "storage/text_files.h"

#include <sys/stat.h>
#include <unistd.h>

#include "storage/safe_file.h"
#include "values/error.h"

namespace quilvern {

bool FileExists(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

void DeleteFile(const std::string& path) {
    // A read-only file is one the program may not replace, so it may not remove it
    // either; unlink alone would, since it looks only at the directory.
    struct stat status {};
    if (::stat(path.c_str(), &status) == 0 &&
        (status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
        return;
    }
    ::unlink(path.c_str());
}

void WriteFileSafely(const std::string& path, std::string_view bytes, unsigned allowed,
                     const BeforeTemporaryName& announce) {
    switch (ReplaceFile(path, bytes, allowed, announce)) {
        case WriteOutcome::Written:
            return;
        case WriteOutcome::CannotCreate:
            throw Error("Cannot create file %s", path);
        case WriteOutcome::WriteFailed:
            throw Error("Stream write error", path);
    }
}

unsigned PermissionsOf(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 ? status.st_mode & 07777 : 07777;
}

std::string ReadFileBytes(const std::string& path, std::size_t limit) {
    std::string bytes;
    switch (ReadWholeFile(path, bytes, limit)) {
        case ReadOutcome::Read:
            return bytes;
        case ReadOutcome::TooLarge:
            throw Error("Text exceeds memo capacity");
        case ReadOutcome::Missing:
        case ReadOutcome::Unreadable:
            break;
    }
    throw Error("Cannot open file %s", path);
}

}  // namespace quilvern
