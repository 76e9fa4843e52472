#include "storage/ini_file.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <utility>

#include "storage/safe_file.h"
#include "values/ascii.h"
#include "values/error.h"
#include "values/text_field.h"
#include "values/whole_number.h"

namespace quilvern {

namespace {

static_assert(TextField::kMaxLength == IniFile::kMaxValueLength,
              "a text field holds no more than the settings file keeps of it");

constexpr std::string_view kLineEnd = "\r\n";

// What one line of the file is to the reader.
struct LineKind {
    enum { kNothing, kSection, kEntry } kind = kNothing;
    std::string_view name;  // the section name or the key, trimmed
};

LineKind Classify(std::string_view line) {
    std::string_view rest = TrimBlanksAndTabs(line);
    if (rest.empty() || rest.front() == ';') {
        return {};
    }
    if (rest.front() == '[') {
        // Without its closing bracket the line is no section line: taking it for one
        // would hide the keys after it, which a damaged file must not do.
        if (auto close = rest.find(']'); close != std::string_view::npos) {
            return {LineKind::kSection, TrimBlanksAndTabs(rest.substr(1, close - 1))};
        }
    }
    if (auto equals = line.find('='); equals != std::string_view::npos) {
        return {LineKind::kEntry, TrimBlanksAndTabs(line.substr(0, equals))};
    }
    return {};
}

std::string_view ValueOf(std::string_view line) {
    std::string_view value = TrimBlanksAndTabs(line.substr(line.find('=') + 1));
    if (value.size() >= 2 && value.front() == value.back() &&
        (value.front() == '"' || value.front() == '\'')) {
        value = value.substr(1, value.size() - 2);
    }
    return value.substr(0, IniFile::kMaxValueLength);
}

std::string EntryLine(std::string_view key, std::string_view value) {
    std::string line;
    line.reserve(key.size() + 1 + value.size());
    line.append(key).append("=").append(value);
    for (char& c : line) {
        if (c == '\r' || c == '\n') {
            c = ' ';
        }
    }
    return line;
}

}  // namespace

std::size_t IniFile::NoCaseHash::operator()(std::string_view text) const {
    std::size_t hash = 14695981039346656037ull;
    for (char c : text) {
        hash = (hash ^ static_cast<unsigned char>(AsciiLower(c))) * 1099511628211ull;
    }
    return hash;
}

bool IniFile::NoCaseEqual::operator()(std::string_view a, std::string_view b) const {
    return EqualsIgnoringCase(a, b);
}

IniFile::IniFile(std::string path, std::string displayName)
    : path_(std::move(path)), displayName_(std::move(displayName)) {}

IniFile::IniFile(FromText, std::string bytes) : read_(std::move(bytes)) {}

void IniFile::Load() const {
    if (loaded_) {
        return;
    }
    loaded_ = true;
    if (!path_.empty()) {
        const ReadOutcome outcome = ReadWholeFile(path_, read_, kMaxFileSize);
        existed_ = outcome != ReadOutcome::Missing;
        unreadable_ = outcome != ReadOutcome::Read && existed_;
    }
    Parse();
}

void IniFile::Parse() const {
    std::string_view bytes = read_;
    blocks_.assign(1, Block{});
    sections_.clear();
    while (!bytes.empty()) {
        std::size_t end = 0;
        while (end < bytes.size() && bytes[end] != '\r' && bytes[end] != '\n') {
            ++end;
        }
        std::string_view line = bytes.substr(0, end);
        bool crlf = end + 1 < bytes.size() && bytes[end] == '\r' && bytes[end + 1] == '\n';
        bytes.remove_prefix(std::min(bytes.size(), end + (crlf ? 2 : 1)));

        LineKind kind = Classify(line);
        if (kind.kind == LineKind::kSection) {
            sections_.try_emplace(kind.name, blocks_.size());
            blocks_.emplace_back().header = line;
            continue;
        }
        Block& block = blocks_.back();
        block.lines.push_back(line);
        if (kind.kind == LineKind::kEntry) {
            auto at = static_cast<std::ptrdiff_t>(block.lines.size() - 1);
            block.keys.try_emplace(kind.name, static_cast<std::size_t>(at));
            block.lastEntry = at;
        }
    }
}

std::string_view IniFile::Keep(std::string text) {
    return text_.emplace_back(std::move(text));
}

std::string IniFile::Serialize() const {
    std::size_t size = 0;
    for (const Block& block : blocks_) {
        size += block.header.size() + kLineEnd.size();
        for (std::string_view line : block.lines) {
            size += line.size() + kLineEnd.size();
        }
    }
    std::string text;
    text.reserve(size);
    for (std::size_t i = 0; i < blocks_.size(); ++i) {
        if (i > 0) {
            text.append(blocks_[i].header).append(kLineEnd);
        }
        for (std::string_view line : blocks_[i].lines) {
            text.append(line).append(kLineEnd);
        }
    }
    return text;
}

const std::string_view* IniFile::FindLine(std::string_view section, std::string_view key) const {
    Load();
    auto found = sections_.find(section);
    if (found == sections_.end()) {
        return nullptr;
    }
    const Block& block = blocks_[found->second];
    auto entry = block.keys.find(key);
    return entry == block.keys.end() ? nullptr : &block.lines[entry->second];
}

std::string IniFile::ReadString(std::string_view section, std::string_view key,
                                std::string_view def) const {
    const std::string_view* line = FindLine(section, key);
    return std::string(line ? ValueOf(*line) : def);
}

std::int32_t IniFile::ReadInteger(std::string_view section, std::string_view key,
                                  std::int32_t def) const {
    const std::string_view* line = FindLine(section, key);
    return line ? ParseIniInteger(ValueOf(*line)).value_or(def) : def;
}

void IniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
    Load();
    dirty_ = true;
    auto found = sections_.find(section);
    if (found == sections_.end()) {
        std::string_view header = Keep("[" + std::string(section) + "]");
        std::string_view line = Keep(EntryLine(key, value));
        Block& block = blocks_.emplace_back();
        block.header = header;
        block.lines.push_back(line);
        block.keys.try_emplace(line.substr(0, key.size()), 0);
        block.lastEntry = 0;
        sections_.try_emplace(header.substr(1, section.size()), blocks_.size() - 1);
        return;
    }
    Block& block = blocks_[found->second];
    if (auto entry = block.keys.find(key); entry != block.keys.end()) {
        // The key keeps its own spelling from the file; only blanks and the value go.
        // The index keeps pointing at the old line, which stays alive with this object.
        std::string_view& line = block.lines[entry->second];
        line = Keep(EntryLine(TrimBlanksAndTabs(line.substr(0, line.find('='))), value));
        return;
    }
    // Only lines that are no entries follow the last entry, so inserting there moves
    // no line that the key index points at.
    std::string_view line = Keep(EntryLine(key, value));
    auto at = block.lastEntry + 1;
    block.lines.insert(block.lines.begin() + at, line);
    block.keys.try_emplace(line.substr(0, key.size()), static_cast<std::size_t>(at));
    block.lastEntry = at;
}

void IniFile::WriteInteger(std::string_view section, std::string_view key, std::int32_t value) {
    char digits[16];
    auto [end, error] = std::to_chars(digits, digits + sizeof digits, value);
    (void)error;  // cannot fail: 16 bytes hold every 32-bit integer
    WriteString(section, key, std::string_view(digits, static_cast<std::size_t>(end - digits)));
}

void IniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
    WriteString(section, key, value ? "1" : "0");
}

void IniFile::FailWrite() const {
    throw Error(Format("Unable to write to %s", displayName_));
}

void IniFile::Flush() {
    if (!dirty_) {
        return;
    }
    if (path_.empty()) {
        throw std::logic_error("a settings file in memory has no place on disk");
    }
    Load();
    // A file whose bytes we never saw would lose them all if replaced.
    if (unreadable_) {
        FailWrite();
    }
    std::string text = Serialize();
    const bool same = flushedOnce_ ? text == flushed_ : existed_ && text == read_;
    if (!same || !CanReplace(path_)) {
        if (ReplaceFile(path_, text) != WriteOutcome::Written) {
            FailWrite();
        }
    }
    flushed_ = std::move(text);
    flushedOnce_ = true;
    dirty_ = false;
}

std::string IniFile::Text() const {
    Load();
    return Serialize();
}

void ExpectReadable(const std::string& path) {
    // A limit of nothing opens and checks the file without reading it: the storages
    // read it right after.
    std::string bytes;
    if (ReadWholeFile(path, bytes, 0) == ReadOutcome::Unreadable) {
        throw Error("Cannot open file %s", path);
    }
    if (struct stat status{}; ::stat(path.c_str(), &status) == 0 &&
                              static_cast<std::size_t>(status.st_size) > IniFile::kMaxFileSize) {
        throw Error(
            "The settings file %s is larger than any Quilvern writes. It is kept as it is, and "
            "Quilvern starts from its designed values",
            path);
    }
}

std::string SettingsFilePath() {
    std::string dir;
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config != nullptr && config[0] == '/') {
        dir = config;
    } else {
        const char* home = std::getenv("HOME");
        if (home != nullptr && home[0] != '\0') {
            dir = home;
        } else if (const passwd* user = ::getpwuid(::getuid()); user != nullptr) {
            dir = user->pw_dir;
        }
        dir = dir.empty() ? ".config" : dir + "/.config";
    }
    while (dir.size() > 1 && dir.back() == '/') {
        dir.pop_back();
    }
    std::error_code ignored;
    std::filesystem::create_directories(dir, ignored);
    return dir + "/Quilvern.ini";
}

}  // namespace quilvern
