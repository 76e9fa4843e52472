#pragma once
// The reading rules of the settings file, written out the slow and obvious way: the
// lines, the sections in file order, the entries of each, and a lookup that scans them.
// The fuzz targets hold the indexed reader to what this says.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quilvern::fuzz::ini {

constexpr std::size_t kMaxValueLength = 2047;

inline bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

inline std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

inline char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

inline bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (Lower(a[i]) != Lower(b[i]))
            return false;
    }
    return true;
}

inline std::string LowerCase(std::string_view text) {
    std::string lower(text);
    for (char& c : lower)
        c = Lower(c);
    return lower;
}

// CR LF, lone CR and lone LF each end a line; the bytes after the last break, if any,
// are one more line.
inline std::vector<std::string_view> Lines(std::string_view bytes) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '\r' && bytes[i] != '\n')
            continue;
        lines.push_back(bytes.substr(start, i - start));
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < bytes.size())
        lines.push_back(bytes.substr(start));
    return lines;
}

struct Line {
    enum Kind { kOther, kSection, kEntry } kind = kOther;
    std::string_view name;  // the section's name or the entry's key, trimmed
    std::string_view rest;  // an entry's text after its first '='
};

inline Line Classify(std::string_view line) {
    const std::string_view trimmed = Trim(line);
    if (trimmed.empty() || trimmed.front() == ';')
        return {};
    if (trimmed.front() == '[') {
        if (const auto close = trimmed.find(']'); close != std::string_view::npos)
            return {Line::kSection, Trim(trimmed.substr(1, close - 1)), {}};
    }
    if (const auto equals = line.find('='); equals != std::string_view::npos)
        return {Line::kEntry, Trim(line.substr(0, equals)), line.substr(equals + 1)};
    return {};
}

// What reading an entry's raw text yields.
inline std::string ValueRule(std::string_view raw) {
    std::string_view value = Trim(raw);
    if (value.size() >= 2 && value.front() == value.back() &&
        (value.front() == '"' || value.front() == '\'')) {
        value = value.substr(1, value.size() - 2);
    }
    return std::string(value.substr(0, kMaxValueLength));
}

// What a value written reads back as: line breaks became blanks on the way out.
inline std::string WrittenRule(std::string_view written) {
    std::string line(written);
    for (char& c : line) {
        if (c == '\r' || c == '\n')
            c = ' ';
    }
    return ValueRule(line);
}

inline std::optional<std::int32_t> IntegerRule(std::string_view value) {
    std::uint64_t magnitude = 0;
    auto digitsOf = [&](std::string_view digits, unsigned base, std::uint64_t limit) {
        if (digits.empty())
            return false;
        for (char c : digits) {
            unsigned digit = 0;
            if (c >= '0' && c <= '9')
                digit = static_cast<unsigned>(c - '0');
            else if (base == 16 && Lower(c) >= 'a' && Lower(c) <= 'f')
                digit = static_cast<unsigned>(Lower(c) - 'a' + 10);
            else
                return false;
            magnitude = magnitude * base + digit;
            if (magnitude > limit)
                return false;
        }
        return true;
    };
    if (value.size() > 2 && value[0] == '0' && Lower(value[1]) == 'x') {
        if (!digitsOf(value.substr(2), 16, 0xFFFFFFFFu))
            return std::nullopt;
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(magnitude));
    }
    bool negative = false;
    if (!value.empty() && (value[0] == '+' || value[0] == '-')) {
        negative = value[0] == '-';
        value.remove_prefix(1);
    }
    if (!digitsOf(value, 10, negative ? 0x80000000u : 0x7FFFFFFFu))
        return std::nullopt;
    return static_cast<std::int32_t>(negative ? -static_cast<std::int64_t>(magnitude)
                                              : static_cast<std::int64_t>(magnitude));
}

struct Section {
    std::string_view name;
    std::vector<Line> entries;
};

// The sections in file order; entries before the first section belong to none.
inline std::vector<Section> Sections(std::string_view bytes) {
    std::vector<Section> sections;
    for (std::string_view text : Lines(bytes)) {
        const Line line = Classify(text);
        if (line.kind == Line::kSection)
            sections.push_back({line.name, {}});
        else if (line.kind == Line::kEntry && !sections.empty())
            sections.back().entries.push_back(line);
    }
    return sections;
}

// The first section of the name, and in it the first entry of the key.
inline std::optional<std::string> Lookup(const std::vector<Section>& sections,
                                         std::string_view section, std::string_view key) {
    for (const Section& candidate : sections) {
        if (!SameName(candidate.name, section))
            continue;
        for (const Line& entry : candidate.entries) {
            if (SameName(entry.name, key))
                return ValueRule(entry.rest);
        }
        return std::nullopt;
    }
    return std::nullopt;
}

}  // namespace quilvern::fuzz::ini
