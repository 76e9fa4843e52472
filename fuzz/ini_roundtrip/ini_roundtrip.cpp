// Writes into a settings file of any bytes, flushes, opens it again and reads back.
// The input is: flags (bit 0: no file at the start), the length of the starting file
// (2 bytes) and its bytes, then operations. Each operation is a code byte (bits 0-1:
// string, integer, bool or flush; bit 7: a value past the length a read returns), a
// section, a key and a value. A name is a selector byte (bit 7: a new name follows as
// text; otherwise one already used or found in the file, bit 6 turning its case).
//
// Names are made like the program's own: no line breaks, '=', '[' or ']', no blanks at
// either end and no leading ';'. Values are anything.
#include <unistd.h>

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "fuzz/ini_rules.h"
#include "storage/ini_file.h"
#include "values/error.h"

namespace quilvern::fuzz {
namespace {

constexpr std::string_view kDefault = "\x01(missing)";
constexpr std::size_t kMaxName = 24;
constexpr std::size_t kMaxValue = 64;
constexpr std::size_t kLongValue = ini::kMaxValueLength + 60;

enum Kind : std::uint8_t { kString, kInteger, kBool, kFlush };

using Name = std::pair<std::string, std::string>;  // section and key, in lower case

struct Expected {
    std::string section;  // as last written
    std::string key;
    std::string value;
    std::optional<std::int32_t> number;  // for integers and bools
};

std::string Sanitised(std::string name) {
    for (char& c : name) {
        if (c == '\r' || c == '\n' || c == '=' || c == '[' || c == ']')
            c = '_';
    }
    name = std::string(ini::Trim(name));
    if (name.empty())
        return "k";
    if (name.front() == ';')
        name.front() = '_';
    return name;
}

std::string ToggledCase(std::string name) {
    for (char& c : name) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
        else if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return name;
}

class Names {
  public:
    void Add(std::string_view name) { pool_.push_back(Sanitised(std::string(name))); }

    std::string Next(Input& input) {
        const std::uint8_t selector = input.Byte();
        if ((selector & 0x80) || pool_.empty()) {
            pool_.push_back(Sanitised(input.Text(kMaxName)));
            return pool_.back();
        }
        const std::string& used = pool_[selector % pool_.size()];
        return (selector & 0x40) ? ToggledCase(used) : used;
    }

  private:
    std::vector<std::string> pool_;
};

std::string Read(const IniFile& file, std::string_view section, std::string_view key) {
    return file.ReadString(section, key, kDefault);
}

// Every line ends in CR LF: no lone CR, no lone LF, nothing after the last break.
void CheckLineEnds(std::string_view bytes) {
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r')
            FUZZ_CHECK(i + 1 < bytes.size() && bytes[i + 1] == '\n');
        if (bytes[i] == '\n')
            FUZZ_CHECK(i > 0 && bytes[i - 1] == '\r');
    }
    FUZZ_CHECK(bytes.empty() || bytes.ends_with("\r\n"));
}

// Lines that are no entries (comments, blank lines, section lines, junk) are never
// removed, whatever is written.
void CheckKeptLines(std::string_view before, std::string_view after) {
    std::map<std::string_view, int> count;
    for (std::string_view line : ini::Lines(before)) {
        if (ini::Classify(line).kind != ini::Line::kEntry)
            ++count[line];
    }
    for (std::string_view line : ini::Lines(after)) {
        if (auto found = count.find(line); found != count.end())
            --found->second;
    }
    for (const auto& [line, missing] : count)
        FUZZ_CHECK(missing <= 0);
}

}  // namespace
}  // namespace quilvern::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quilvern;
    using namespace quilvern::fuzz;
    Input input(data, size);
    const std::uint8_t flags = input.Byte();
    const std::size_t length = static_cast<std::uint16_t>(input.Int16()) % 4096;
    std::string original;
    for (std::size_t i = 0; i < length && !input.Empty(); ++i)
        original += input.Char();

    const std::string path = ScratchFile("roundtrip.ini");
    if (flags & 1) {
        ::unlink(path.c_str());
        original.clear();
    } else {
        WriteBytes(path, original);
    }
    const std::vector<ini::Section> sections = ini::Sections(original);
    Names names;
    for (const ini::Section& section : sections) {
        names.Add(section.name);
        for (const ini::Line& entry : section.entries)
            names.Add(entry.name);
    }

    std::map<Name, Expected> written;
    {
        IniFile file(path);
        try {
            while (!input.Empty()) {
                const std::uint8_t code = input.Byte();
                const auto kind = static_cast<Kind>(code & 3);
                if (kind == kFlush) {
                    file.Flush();
                    continue;
                }
                Expected entry{names.Next(input), names.Next(input), {}, {}};
                if (kind == kString) {
                    std::string value = input.Text(kMaxValue);
                    while ((code & 0x80) && !value.empty() && value.size() < kLongValue)
                        value += value;
                    file.WriteString(entry.section, entry.key, value);
                    entry.value = ini::WrittenRule(value);
                } else if (kind == kInteger) {
                    const std::int32_t number = input.Int32();
                    file.WriteInteger(entry.section, entry.key, number);
                    entry.value = std::to_string(number);
                    entry.number = number;
                } else {
                    const bool flag = (input.Byte() & 1) != 0;
                    file.WriteBool(entry.section, entry.key, flag);
                    entry.value = flag ? "1" : "0";
                    entry.number = flag ? 1 : 0;
                }
                // The copy in memory answers at once, before any flush.
                FUZZ_CHECK(Read(file, entry.section, entry.key) == entry.value);
                const Name name{ini::LowerCase(entry.section), ini::LowerCase(entry.key)};
                written[name] = std::move(entry);
            }
            file.Flush();
        } catch (const Error& error) {
            Fail(error.what(), __FILE__, __LINE__);
        }
        for (const auto& [name, entry] : written)
            FUZZ_CHECK(Read(file, entry.section, entry.key) == entry.value);
    }

    const std::string bytes = written.empty() && (flags & 1) ? "" : ReadBytes(path);
    if (!written.empty())
        CheckLineEnds(bytes);
    CheckKeptLines(original, bytes);

    const IniFile again(path);
    for (const auto& [name, entry] : written) {
        FUZZ_CHECK(Read(again, entry.section, entry.key) == entry.value);
        FUZZ_CHECK(Read(again, ToggledCase(entry.section), ToggledCase(entry.key)) == entry.value);
        if (entry.number)
            FUZZ_CHECK(again.ReadInteger(entry.section, entry.key, -1) == *entry.number);
    }
    // Keys not written keep the value they had.
    for (const ini::Section& section : sections) {
        for (const ini::Line& entry : section.entries) {
            if (written.count({ini::LowerCase(section.name), ini::LowerCase(entry.name)}))
                continue;
            const auto before = ini::Lookup(sections, section.name, entry.name);
            FUZZ_CHECK(Read(again, section.name, entry.name) ==
                       before.value_or(std::string(kDefault)));
        }
    }
    return 0;
}
