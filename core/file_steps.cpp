#include "core/file_steps.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdio>

#include "storage/safe_file.h"
#include "storage/text_files.h"

namespace quilvern {
namespace {

constexpr std::string_view kAsidePrefix = ".Quilvern-undo-";
constexpr std::string_view kKinds = "WAPL";  // in the order of FileStep::Kind

bool IsOwnRegularFile(const std::string& path) {
    struct stat status {};
    return ::lstat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode) &&
           status.st_uid == ::geteuid();
}

bool HasWriteBit(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && (status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH));
}

bool SameBytes(const std::string& a, const std::string& b) {
    std::string first;
    std::string second;
    return ReadWholeFile(a, first) == ReadOutcome::Read &&
           ReadWholeFile(b, second) == ReadOutcome::Read && first == second;
}

bool SetAside(const std::string& path) {
    // A file without write bits may not be removed, so it may not be moved away either.
    return FileExists(path) && HasWriteBit(path) &&
           std::rename(path.c_str(), AsidePath(path).c_str()) == 0;
}

// Linked back, so the file is whole under its name or not there at all, and a file that
// took the name meanwhile is never replaced.
bool PutBack(const std::string& path) {
    const std::string aside = AsidePath(path);
    if (!IsOwnRegularFile(aside))
        return false;
    bool back = ::link(aside.c_str(), path.c_str()) == 0;
    if (!back && errno != EEXIST) {
        // A file system without hard links: the bytes are copied instead.
        std::string bytes;
        back = ReadWholeFile(aside, bytes) == ReadOutcome::Read &&
               CreateNewFile(path, bytes) == CreateOutcome::Created;
    }
    back = back || SameBytes(aside, path);
    if (back)
        ::unlink(aside.c_str());
    return back;
}

bool ReadNumber(std::string_view& bytes, std::size_t& number, char end) {
    const auto [rest, error] = std::from_chars(bytes.data(), bytes.data() + bytes.size(), number);
    if (error != std::errc() || rest == bytes.data() + bytes.size() || *rest != end)
        return false;
    bytes.remove_prefix(static_cast<std::size_t>(rest - bytes.data()) + 1);
    return true;
}

}  // namespace

std::string AsidePath(const std::string& path) {
    const auto slash = path.rfind('/');
    const std::size_t name = slash == std::string::npos ? 0 : slash + 1;
    return path.substr(0, name) + std::string(kAsidePrefix) + path.substr(name);
}

bool TakeStep(const FileStep& step) {
    switch (step.kind) {
        case FileStep::Kind::Write:
            WriteFileSafely(step.path, step.bytes, step.allowed);
            return true;
        case FileStep::Kind::SetAside:
            return SetAside(step.path);
        case FileStep::Kind::PutBack:
            return PutBack(step.path);
        case FileStep::Kind::Leftover:
            break;  // only a start after a kill has one to remove
    }
    return true;
}

std::vector<bool> TakeAnnounced(CommandJournal* journal, const FileSteps& steps,
                                const std::function<void(const FileStep&)>& before) {
    if (journal != nullptr && !steps.empty())
        journal->Announce(steps);
    std::vector<bool> taken;
    for (const FileStep& step : steps) {
        if (before)
            before(step);
        taken.push_back(TakeStep(step));
    }
    return taken;
}

void RedoSteps(const FileSteps& steps) {
    for (const FileStep& step : steps) {
        try {
            if (step.kind == FileStep::Kind::Leftover) {
                if (IsOwnRegularFile(step.path))
                    ::unlink(step.path.c_str());
                continue;
            }
            TakeStep(step);
        } catch (const std::exception&) {
            // As the command would have stopped here, the files stay as they are.
        }
    }
}

void DropSetAside(const std::vector<std::string>& paths) {
    for (const std::string& path : paths) {
        const std::string aside = AsidePath(path);
        if (IsOwnRegularFile(aside))
            ::unlink(aside.c_str());
    }
}

void PutBackSetAside(const std::vector<std::string>& paths) {
    for (const std::string& path : paths)
        PutBack(path);
}

std::string EncodeSteps(const FileSteps& steps) {
    std::string bytes;
    for (const FileStep& step : steps) {
        bytes += kKinds[static_cast<std::size_t>(step.kind)];
        bytes += ' ' + std::to_string(step.path.size()) + ' ' + std::to_string(step.bytes.size()) +
                 ' ' + std::to_string(step.allowed) + '\n';
        bytes += step.path;
        bytes += step.bytes;
    }
    return bytes;
}

std::optional<FileSteps> DecodeSteps(std::string_view bytes) {
    FileSteps steps;
    while (!bytes.empty()) {
        const std::size_t kind = kKinds.find(bytes.front());
        if (kind == std::string_view::npos || bytes.size() < 2 || bytes[1] != ' ')
            return std::nullopt;
        bytes.remove_prefix(2);
        std::size_t pathSize = 0;
        std::size_t byteCount = 0;
        std::size_t allowed = 0;
        if (!ReadNumber(bytes, pathSize, ' ') || !ReadNumber(bytes, byteCount, ' ') ||
            !ReadNumber(bytes, allowed, '\n') || allowed > 07777 || pathSize > bytes.size() ||
            byteCount > bytes.size() - pathSize) {
            return std::nullopt;
        }
        steps.push_back({static_cast<FileStep::Kind>(kind), std::string(bytes.substr(0, pathSize)),
                         std::string(bytes.substr(pathSize, byteCount)),
                         static_cast<unsigned>(allowed)});
        bytes.remove_prefix(pathSize + byteCount);
    }
    return steps;
}

}  // namespace quilvern
