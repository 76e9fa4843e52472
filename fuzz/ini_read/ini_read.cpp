// A settings file of any bytes, as a damaged disk, another program or a hand edit may
// leave it. Every section and key the file names is read, in its own spelling and with
// its letter case turned, together with names the file does not hold; each result must
// be what the reading rules give.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "fuzz/ini_rules.h"
#include "storage/ini_file.h"

namespace quilvern::fuzz {
namespace {

constexpr std::string_view kDefault = "\x01(missing)";
constexpr std::int32_t kIntegerDefault = -1234567;
constexpr std::size_t kMaxQueries = 256;

std::string Flipped(std::string_view name) {
    std::string flipped(name);
    for (char& c : flipped) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
        else if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return flipped;
}

void Query(const IniFile& file, const std::vector<ini::Section>& sections, std::string_view section,
           std::string_view key) {
    const auto expected = ini::Lookup(sections, section, key);
    const std::string value = file.ReadString(section, key, kDefault);
    FUZZ_CHECK(value.size() <= IniFile::kMaxValueLength || value == kDefault);
    FUZZ_CHECK(value == expected.value_or(std::string(kDefault)));
    FUZZ_CHECK(value.find_first_of("\r\n") == std::string::npos);

    const std::int32_t number = file.ReadInteger(section, key, kIntegerDefault);
    const auto expectedNumber = expected ? ini::IntegerRule(*expected) : std::nullopt;
    FUZZ_CHECK(number == expectedNumber.value_or(kIntegerDefault));
}

}  // namespace
}  // namespace quilvern::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quilvern;
    using namespace quilvern::fuzz;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::string path = ScratchFile("read.ini");
    WriteBytes(path, bytes);

    const std::vector<ini::Section> sections = ini::Sections(bytes);
    const IniFile file(path);
    std::size_t queries = 0;
    for (const ini::Section& section : sections) {
        for (const ini::Line& entry : section.entries) {
            if (++queries > kMaxQueries)
                break;
            Query(file, sections, section.name, entry.name);
            Query(file, sections, Flipped(section.name), Flipped(entry.name));
        }
        Query(file, sections, section.name, "FormVersion");
        Query(file, sections, section.name, "");
    }
    Query(file, sections, "Settings", "Currency_Text");
    Query(file, sections, "", "");
    return 0;
}
