#include "storage/ini_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "support/error_message.h"
#include "support/file_faults.h"
#include "support/temp_dir.h"
#include "values/error.h"

namespace quilvern {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;
using test::TempDir;

constexpr char kName[] = "Quilvern.ini";

// The lines joined with CR LF, each line ended.
std::string Lines(std::initializer_list<std::string_view> lines) {
    std::string text;
    for (std::string_view line : lines) {
        text.append(line).append("\r\n");
    }
    return text;
}

std::vector<std::string> DirectoryEntries(const fs::path& dir) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

fs::perms Mode(const fs::path& path) {
    return fs::status(path).permissions() & fs::perms::mask;
}

// ---------------------------------------------------------------------------------
// Reading: one file, one lookup, one answer.

struct ReadCase {
    std::string name;
    std::string file;
    std::string section;
    std::string key;
    std::string expected;  // with "default" as the default passed
};

void PrintTo(const ReadCase& c, std::ostream* out) {
    *out << c.name;
}

class IniRead : public testing::TestWithParam<ReadCase> {};

TEST_P(IniRead, YieldsTheValueTheRuleNames) {
    const ReadCase& c = GetParam();
    TempDir dir;
    dir.Write(kName, c.file);
    IniFile ini(dir.File(kName));
    EXPECT_EQ(ini.ReadString(c.section, c.key, "default"), c.expected);
}

const std::string kLong3000 = std::string(2000, 'a') + std::string(1000, 'b');

INSTANTIATE_TEST_SUITE_P(
    SyntaxRules, IniRead,
    testing::Values(
        // Letter case
        ReadCase{"KeyMatchesInAnyLetterCase", Lines({"[Name]", "p001NAME_text=Mug"}), "Name",
                 "P001Name_Text", "Mug"},
        ReadCase{"SectionMatchesInAnyLetterCase", Lines({"[nAME]", "P001Name_Text=Mug"}), "Name",
                 "P001Name_Text", "Mug"},
        ReadCase{"OnlyAsciiLettersFoldCase", Lines({"[S]", "\xC4=1"}), "S", "\xE4", "default"},
        // Order
        ReadCase{"KeysInAnyOrder", Lines({"[S]", "b=2", "a=1", "c=3"}), "S", "a", "1"},
        ReadCase{"SectionsInAnyOrder", Lines({"[B]", "k=b", "[A]", "k=a"}), "A", "k", "a"},
        // Blanks
        ReadCase{"BlanksAroundKeyIgnored", Lines({"[S]", " \t key \t=v"}), "S", "key", "v"},
        ReadCase{"BlanksAroundValueRemoved", Lines({"[S]", "k= \t x y \t "}), "S", "k", "x y"},
        ReadCase{"BlanksAroundSectionNameIgnored", Lines({"  [ S ]  ", "k=v"}), "S", "k", "v"},
        ReadCase{"TextAfterClosingBracketIgnored", Lines({"[S] ; note", "k=v"}), "S", "k", "v"},
        // Quotes
        ReadCase{"DoubleQuotePairRemoved", Lines({"[S]", "k=\"x y\""}), "S", "k", "x y"},
        ReadCase{"SingleQuotePairRemoved", Lines({"[S]", "k='x y'"}), "S", "k", "x y"},
        ReadCase{"OnlyOnePairRemoved", Lines({"[S]", "k=\"\"x\"\""}), "S", "k", "\"x\""},
        ReadCase{"QuotesRemovedAfterBlanks", Lines({"[S]", "k=  \"x\"  "}), "S", "k", "x"},
        ReadCase{"BlanksInsideQuotesKept", Lines({"[S]", "k=\" x \""}), "S", "k", " x "},
        ReadCase{"DoubleQuoteAtStartOnlyKept", Lines({"[S]", "k=\"x"}), "S", "k", "\"x"},
        ReadCase{"DoubleQuoteAtEndOnlyKept", Lines({"[S]", "k=x\""}), "S", "k", "x\""},
        ReadCase{"SingleQuoteAtOneEndKept", Lines({"[S]", "k='x"}), "S", "k", "'x"},
        ReadCase{"MixedQuotesKept", Lines({"[S]", "k=\"x'"}), "S", "k", "\"x'"},
        ReadCase{"LoneQuoteKept", Lines({"[S]", "k=\""}), "S", "k", "\""},
        ReadCase{"EmptyQuotesGiveEmpty", Lines({"[S]", "k=''"}), "S", "k", ""},
        // "=" and ";"
        ReadCase{"ValueRunsFromFirstEquals", Lines({"[S]", "k=a=b=c"}), "S", "k", "a=b=c"},
        ReadCase{"SemicolonInsideValueKept", Lines({"[S]", "k=a ; b;"}), "S", "k", "a ; b;"},
        ReadCase{"SemicolonLineCarriesNothing", Lines({"[S]", ";k=1"}), "S", "k", "default"},
        ReadCase{"IndentedSemicolonLineCarriesNothing", Lines({"[S]", "  ;k=1"}), "S", "k",
                 "default"},
        ReadCase{"SemicolonLineNamesNoKey", Lines({"[S]", ";k=1"}), "S", ";k", "default"},
        // Length
        ReadCase{"ValueCutAt2047", Lines({"[S]", "k=" + kLong3000}), "S", "k",
                 kLong3000.substr(0, 2047)},
        ReadCase{"ValueOf2047Kept", Lines({"[S]", "k=" + std::string(2047, 'v')}), "S", "k",
                 std::string(2047, 'v')},
        ReadCase{"QuotesRemovedBeforeCut", Lines({"[S]", "k=\"" + std::string(2047, 'v') + "\""}),
                 "S", "k", std::string(2047, 'v')},
        // Missing things and lines that are not entries
        ReadCase{"EmptyValueIsAValue", Lines({"[S]", "k="}), "S", "k", ""},
        ReadCase{"MissingKeyGivesDefault", Lines({"[S]", "j=1"}), "S", "k", "default"},
        ReadCase{"MissingSectionGivesDefault", Lines({"[T]", "k=1"}), "S", "k", "default"},
        ReadCase{"KeyOfNextSectionNotSeen", Lines({"[S]", "[T]", "k=1"}), "S", "k", "default"},
        ReadCase{"KeyBeforeFirstSectionNotSeen", Lines({"k=1", "[S]"}), "S", "k", "default"},
        ReadCase{"LineWithoutEqualsCarriesNothing", Lines({"[S]", "k"}), "S", "k", "default"},
        ReadCase{"EmptyFileGivesDefault", "", "S", "k", "default"},
        ReadCase{"EmptyAndBlankLinesSkipped", Lines({"", "[S]", "", "  ", "k=v", ""}), "S", "k",
                 "v"},
        ReadCase{"UnclosedBracketStartsNoSection", Lines({"[S]", "[broken", "k=v"}), "S", "k", "v"},
        ReadCase{"EmptyKeyIsNotAnyKey", Lines({"[S]", "=v"}), "S", "k", "default"},
        // Repeats
        ReadCase{"FirstOccurrenceOfSectionRead", Lines({"[S]", "k=1", "[s]", "k=2"}), "S", "k",
                 "1"},
        ReadCase{"SecondOccurrenceOfSectionIgnored", Lines({"[S]", "k=1", "[S]", "j=2"}), "S", "j",
                 "default"},
        ReadCase{"FirstOccurrenceOfKeyRead", Lines({"[S]", "K=1", "k=2"}), "S", "k", "1"},
        // Line ends and bytes
        ReadCase{"LfLineEnds", "[S]\nj=1\nk=v\n", "S", "k", "v"},
        ReadCase{"LoneCrLineEnds", "[S]\rj=1\rk=v\r", "S", "k", "v"},
        ReadCase{"MixedLineEnds", "[S]\r\nj=1\rk=v\nl=3", "S", "k", "v"},
        ReadCase{"NoLineEndAfterLastLine", "[S]\r\nk=v", "S", "k", "v"},
        ReadCase{"CrLfIsOneLineEnd", "[S]\r\n\r\nk=v", "S", "k", "v"},
        ReadCase{"Windows1252BytesPassThrough", Lines({"[Settings]", "Currency_Text=Euro (\x80)"}),
                 "Settings", "Currency_Text", "Euro (\x80)"},
        ReadCase{"NulInsideLineIsData", Lines({"[S]", "k=a\0b"s}), "S", "k", "a\0b"s},
        ReadCase{"NulInsideKeyIsData", Lines({"[S]", "k\0=v"s}), "S", "k\0"s, "v"}),
    [](const testing::TestParamInfo<ReadCase>& info) { return info.param.name; });

TEST(IniReadFile, MissingFileGivesDefaultAndCreatesNothing) {
    TempDir dir;
    IniFile ini(dir.File(kName));
    EXPECT_EQ(ini.ReadString("S", "k", "d"), "d");
    EXPECT_EQ(ini.ReadInteger("S", "k", 7), 7);
    EXPECT_FALSE(dir.Exists(kName));
}

TEST(IniReadFile, DefaultLongerThanAValueIsGivenWhole) {
    TempDir dir;
    IniFile ini(dir.File(kName));
    std::string def(3000, 'd');
    EXPECT_EQ(ini.ReadString("S", "k", def), def);
}

TEST(IniReadFile, DirectoryInPlaceOfFileReadsAsMissing) {
    TempDir dir;
    fs::create_directory(dir.Path() / kName);
    IniFile ini(dir.File(kName));
    EXPECT_EQ(ini.ReadString("S", "k", "d"), "d");
}

TEST(IniReadFile, FifoInPlaceOfFileReadsAsMissingWithoutWaiting) {
    TempDir dir;
    ASSERT_EQ(::mkfifo(dir.File(kName).c_str(), 0644), 0);
    IniFile ini(dir.File(kName));
    EXPECT_EQ(ini.ReadString("S", "k", "d"), "d");
}

TEST(IniReadFile, PathThroughRegularFileReadsAsMissing) {
    TempDir dir;
    dir.Write("plain", "[S]\r\nk=1\r\n");
    IniFile ini(dir.File("plain") + "/" + kName);
    EXPECT_EQ(ini.ReadString("S", "k", "d"), "d");
}

TEST(IniReadFile, ConstructingTouchesNothing) {
    TempDir dir;
    IniFile ini(dir.File("absent/deeper/") + kName);
    EXPECT_TRUE(DirectoryEntries(dir.Path()).empty());
}

TEST(IniReadFile, FileIsReadOnceAndKeptInMemory) {
    TempDir dir;
    dir.Write(kName, Lines({"[S]", "k=before"}));
    IniFile ini(dir.File(kName));
    EXPECT_EQ(ini.ReadString("S", "k", ""), "before");
    dir.Write(kName, Lines({"[S]", "k=after"}));
    EXPECT_EQ(ini.ReadString("S", "k", ""), "before");
}

// ---------------------------------------------------------------------------------
// Integers.

struct IntegerCase {
    std::string name;
    std::string value;  // the value text as it stands in the file
    std::int32_t expected;
};

void PrintTo(const IntegerCase& c, std::ostream* out) {
    *out << c.name;
}

class IniReadInteger : public testing::TestWithParam<IntegerCase> {};

TEST_P(IniReadInteger, ReadsDecimalOrHexElseDefault) {
    const IntegerCase& c = GetParam();
    TempDir dir;
    dir.Write(kName, Lines({"[S]", "k=" + c.value}));
    IniFile ini(dir.File(kName));
    EXPECT_EQ(ini.ReadInteger("S", "k", -99), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    IntegerRules, IniReadInteger,
    testing::Values(IntegerCase{"Decimal", "96", 96}, IntegerCase{"Zero", "0", 0},
                    IntegerCase{"Negative", "-1", -1}, IntegerCase{"PlusSign", "+5", 5},
                    IntegerCase{"Largest", "2147483647", 2147483647},
                    IntegerCase{"Smallest", "-2147483648", INT32_MIN},
                    IntegerCase{"LeadingZeros", "007", 7},
                    IntegerCase{"BlanksAround", "  42  ", 42}, IntegerCase{"InQuotes", "'42'", 42},
                    IntegerCase{"HexLowerX", "0x1f", 31}, IntegerCase{"HexUpperX", "0X1F", 31},
                    IntegerCase{"HexAllBitsIsMinusOne", "0xFFFFFFFF", -1},
                    IntegerCase{"HexLongWithLeadingZeros", "0x000000000010", 16},
                    IntegerCase{"HexBeyond32BitsGivesDefault", "0x100000000", -99},
                    IntegerCase{"BareHexPrefixGivesDefault", "0x", -99},
                    IntegerCase{"HexWithBadDigitGivesDefault", "0x1G", -99},
                    IntegerCase{"HexWithSignGivesDefault", "0x-1", -99},
                    IntegerCase{"NegativeHexGivesDefault", "-0x1", -99},
                    IntegerCase{"DollarHexGivesDefault", "$10", -99},
                    IntegerCase{"EmptyGivesDefault", "", -99},
                    IntegerCase{"LettersGiveDefault", "abc", -99},
                    IntegerCase{"TrailingLettersGiveDefault", "12abc", -99},
                    IntegerCase{"InnerBlankGivesDefault", "1 2", -99},
                    IntegerCase{"FractionGivesDefault", "1.5", -99},
                    IntegerCase{"SignAloneGivesDefault", "-", -99},
                    IntegerCase{"DoubleSignGivesDefault", "+-1", -99},
                    IntegerCase{"AboveRangeGivesDefault", "2147483648", -99},
                    IntegerCase{"BelowRangeGivesDefault", "-2147483649", -99}),
    [](const testing::TestParamInfo<IntegerCase>& info) { return info.param.name; });

// ---------------------------------------------------------------------------------
// Writing: a file before, some writes, the file after.

struct Write {
    std::string section;
    std::string key;
    std::string value;
};

struct WriteCase {
    std::string name;
    std::optional<std::string> before;  // nullopt: there is no file
    std::vector<Write> writes;
    std::string after;
};

void PrintTo(const WriteCase& c, std::ostream* out) {
    *out << c.name;
}

class IniWrite : public testing::TestWithParam<WriteCase> {};

TEST_P(IniWrite, LeavesExactlyTheseBytes) {
    const WriteCase& c = GetParam();
    TempDir dir;
    if (c.before) {
        dir.Write(kName, *c.before);
    }
    IniFile ini(dir.File(kName));
    for (const Write& w : c.writes) {
        ini.WriteString(w.section, w.key, w.value);
    }
    ini.Flush();
    EXPECT_EQ(dir.Read(kName), c.after);
    EXPECT_EQ(DirectoryEntries(dir.Path()), std::vector<std::string>{kName});
}

const std::string kKeptLines = Lines({
    "; written by hand",
    "stray line before any section",
    "",
    "[Name]",
    "  Unknown_Key = spaced  out  ",
    "; a comment inside",
    "P001Name_Text=Old",
    "garbage without equals",
    "   ",
    "\t",
    "[Other]",
    "x=\"quoted\"",
});

INSTANTIATE_TEST_SUITE_P(
    WriteRules, IniWrite,
    testing::Values(
        WriteCase{"FirstWriteCreatesTheFile",
                  std::nullopt,
                  {{"Main", "FormVersion", "0"}},
                  Lines({"[Main]", "FormVersion=0"})},
        WriteCase{
            "SectionsInOrderOfFirstWrite",
            std::nullopt,
            {{"Main", "FormVersion", "0"},
             {"Name", "FormVersion", "0"},
             {"Name", "P001Name_Text", "Blue mug"},
             {"Price", "FormVersion", "0"},
             {"Price", "P001Price_Value", "4.5"}},
            Lines({"[Main]", "FormVersion=0", "[Name]", "FormVersion=0", "P001Name_Text=Blue mug",
                   "[Price]", "FormVersion=0", "P001Price_Value=4.5"})},
        WriteCase{"ValueReplacedWhereItStands",
                  Lines({"[S]", "a=1", "b=2", "c=3"}),
                  {{"S", "b", "20"}},
                  Lines({"[S]", "a=1", "b=20", "c=3"})},
        WriteCase{"ReplacedLineKeepsKeySpellingLosesBlanks",
                  Lines({"[S]", "  p001name_TEXT  =  old  "}),
                  {{"s", "P001Name_Text", "new"}},
                  Lines({"[S]", "p001name_TEXT=new"})},
        WriteCase{"NewKeyAfterLastEntry",
                  Lines({"[A]", "x=1", "; trailing", "", "[B]", "y=2"}),
                  {{"A", "z", "3"}},
                  Lines({"[A]", "x=1", "z=3", "; trailing", "", "[B]", "y=2"})},
        WriteCase{"NewKeysKeepTheirOrder",
                  Lines({"[A]", "x=1", "", "[B]"}),
                  {{"A", "p", "1"}, {"A", "q", "2"}, {"A", "x", "9"}, {"A", "r", "3"}},
                  Lines({"[A]", "x=9", "p=1", "q=2", "r=3", "", "[B]"})},
        WriteCase{"NewKeyInSectionWithoutEntriesFollowsItsLine",
                  Lines({"[A]", "; only a comment", "[B]", "y=2"}),
                  {{"A", "z", "3"}},
                  Lines({"[A]", "z=3", "; only a comment", "[B]", "y=2"})},
        WriteCase{"NewSectionAtTheEnd",
                  Lines({"[A]", "x=1", "; last line"}),
                  {{"B", "y", "2"}},
                  Lines({"[A]", "x=1", "; last line", "[B]", "y=2"})},
        WriteCase{"UnknownLinesKeptByteForByte",
                  kKeptLines,
                  {{"Name", "P001Name_Text", "New"},
                   {"Name", "P002Name_Text", "Added"},
                   {"Settings", "SetTitle_Text", "Quilvern"}},
                  Lines({
                      "; written by hand",
                      "stray line before any section",
                      "",
                      "[Name]",
                      "  Unknown_Key = spaced  out  ",
                      "; a comment inside",
                      "P001Name_Text=New",
                      "P002Name_Text=Added",
                      "garbage without equals",
                      "   ",
                      "\t",
                      "[Other]",
                      "x=\"quoted\"",
                      "[Settings]",
                      "SetTitle_Text=Quilvern",
                  })},
        WriteCase{"KeyInSecondOccurrenceGoesToFirst",
                  Lines({"[A]", "x=1", "[B]", "[a]", "y=2"}),
                  {{"A", "y", "3"}},
                  Lines({"[A]", "x=1", "y=3", "[B]", "[a]", "y=2"})},
        WriteCase{"FirstOfRepeatedKeysReplaced",
                  Lines({"[A]", "x=1", "X=2"}),
                  {{"A", "x", "3"}, {"A", "q", "4"}},
                  Lines({"[A]", "x=3", "X=2", "q=4"})},
        WriteCase{"KeyBeforeFirstSectionIsNotTheSectionsKey",
                  Lines({"x=1", "[A]"}),
                  {{"A", "x", "2"}},
                  Lines({"x=1", "[A]", "x=2"})},
        WriteCase{"LineEndsBecomeCrLf",
                  "[A]\nx=1\r; c\n\nlast",
                  {{"A", "x", "2"}},
                  Lines({"[A]", "x=2", "; c", "", "last"})},
        WriteCase{"LastLineGetsItsLineEnd",
                  "[A]\r\nx=1",
                  {{"A", "y", "2"}},
                  Lines({"[A]", "x=1", "y=2"})},
        WriteCase{"CrAndLfInValueBecomeBlanks",
                  std::nullopt,
                  {{"S", "k", "one\r\ntwo\rthree\nfour"}, {"S", "j", "\r\n"}},
                  Lines({"[S]", "k=one  two three four", "j=  "})},
        WriteCase{
            "ValueWrittenAsGiven",
            std::nullopt,
            {{"S", "q", "\"x\""}, {"S", "b", "  padded  "}, {"S", "e", ""}, {"S", "eq", "a=b;c"}},
            Lines({"[S]", "q=\"x\"", "b=  padded  ", "e=", "eq=a=b;c"})},
        WriteCase{"Windows1252AndNulBytesPassThrough",
                  std::nullopt,
                  {{"Settings", "Currency_Text", "Pounds (\xA3)"}, {"Settings", "n", "a\0b"s}},
                  Lines({"[Settings]", "Currency_Text=Pounds (\xA3)", "n=a\0b"s})}),
    [](const testing::TestParamInfo<WriteCase>& info) { return info.param.name; });

TEST(IniWriteValues, IntegersInDecimalBooleansAsDigits) {
    TempDir dir;
    IniFile ini(dir.File(kName));
    ini.WriteInteger("Main", "ShowCmd", 1);
    ini.WriteInteger("Main", "Low", INT32_MIN);
    ini.WriteInteger("Main", "High", INT32_MAX);
    ini.WriteBool("Main", "Visible", false);
    ini.WriteBool("Main", "On", true);
    ini.Flush();
    EXPECT_EQ(dir.Read(kName), Lines({"[Main]", "ShowCmd=1", "Low=-2147483648", "High=2147483647",
                                      "Visible=0", "On=1"}));
}

TEST(IniWriteValues, WritesAreReadBackBeforeAndAfterFlush) {
    TempDir dir;
    dir.Write(kName, Lines({"[A]", "x=1", "; end of A", "[B]", "y=1"}));
    IniFile ini(dir.File(kName));
    // Inserting keys into A shifts its trailing lines; every key must still be found.
    for (int i = 0; i < 60; ++i) {
        ini.WriteInteger("A", "k" + std::to_string(i), i);
        ini.WriteInteger("B", "y", i);
    }
    ini.WriteString("A", "x", "one");
    ini.WriteString("New", "n", "v");
    auto check = [](const IniFile& file) {
        for (int i = 0; i < 60; ++i) {
            EXPECT_EQ(file.ReadInteger("a", "K" + std::to_string(i), -1), i);
        }
        EXPECT_EQ(file.ReadString("A", "x", ""), "one");
        EXPECT_EQ(file.ReadInteger("B", "y", -1), 59);
        EXPECT_EQ(file.ReadString("new", "N", ""), "v");
    };
    check(ini);
    ini.Flush();
    check(ini);
    check(IniFile(dir.File(kName)));
    std::string expected = Lines({"[A]", "x=one"});
    for (int i = 0; i < 60; ++i) {
        expected += Lines({"k" + std::to_string(i) + "=" + std::to_string(i)});
    }
    expected += Lines({"; end of A", "[B]", "y=59", "[New]", "n=v"});
    EXPECT_EQ(dir.Read(kName), expected);
}

// ---------------------------------------------------------------------------------
// Damaged files: nothing crashes, every key that stands on a line of its own is read,
// and a write keeps the damaged lines.

std::string Garbage(std::size_t size, unsigned seed, bool withLineEnds) {
    std::mt19937 random(seed);
    std::string bytes(size, '\0');
    for (char& c : bytes) {
        c = static_cast<char>(random() & 0xFF);
        if (!withLineEnds && (c == '\r' || c == '\n')) {
            c = 'x';
        }
    }
    return bytes;
}

struct DamageCase {
    std::string name;
    std::string (*file)();  // built when the test runs: some files are megabytes
    std::vector<std::pair<std::string, std::string>> readable;  // key in [S] -> value
};

void PrintTo(const DamageCase& c, std::ostream* out) {
    *out << c.name;
}

class IniDamaged : public testing::TestWithParam<DamageCase> {};

TEST_P(IniDamaged, ReadsWhatCanBeReadAndKeepsTheRest) {
    const DamageCase& c = GetParam();
    TempDir dir;
    const std::string file = c.file();
    dir.Write(kName, file);
    {
        IniFile ini(dir.File(kName));
        for (const auto& [key, value] : c.readable) {
            EXPECT_EQ(ini.ReadString("S", key, "missing"), value) << key;
        }
        EXPECT_EQ(ini.ReadString("S", "NoSuchKey", "missing"), "missing");
        ini.WriteString("S", "added", "yes");
        ini.Flush();
    }
    IniFile again(dir.File(kName));
    for (const auto& [key, value] : c.readable) {
        EXPECT_EQ(again.ReadString("S", key, "missing"), value) << key;
    }
    EXPECT_EQ(again.ReadString("S", "added", "missing"), "yes");
    EXPECT_GE(dir.Read(kName).size(), file.size());
}

std::string LongLine() {
    return std::string(100 * 1024, 'm');
}

INSTANTIATE_TEST_SUITE_P(
    DamageRules, IniDamaged,
    testing::Values(
        DamageCase{
            "GarbageAroundTheSection",
            [] { return Garbage(65536, 1, true) + "\r\n[S]\r\nk=v\r\n" + Garbage(65536, 2, true); },
            {{"k", "v"}}},
        DamageCase{"GarbageLineInsideTheSection",
                   [] { return "[S]\r\na=1\r\n" + Garbage(4096, 3, false) + "\r\nb=2\r\n"; },
                   {{"a", "1"}, {"b", "2"}}},
        DamageCase{"NulBytesEverywhere",
                   [] { return "\0\0[S]\0\r\n[S]\r\n\0=\0\r\nk=v\0w\r\n\0\0\0"s; },
                   {{"k", "v\0w"s}}},
        DamageCase{"HundredKilobyteLines",
                   [] { return "[S]\r\na=1\r\nlong=" + LongLine() + "\r\nb=2\r\n" + LongLine(); },
                   {{"a", "1"}, {"long", std::string(2047, 'm')}, {"b", "2"}}},
        DamageCase{"NoLineEndAtAll", [] { return Garbage(100000, 4, false); }, {}},
        DamageCase{
            "CrOnlyLineEnds", [] { return "[S]\ra=1\r\r; c\rb=2"s; }, {{"a", "1"}, {"b", "2"}}},
        DamageCase{"OnlyLineEnds", [] { return "\r\r\n\n\n\r"s; }, {}},
        DamageCase{"HeaderWithoutClosingBracket",
                   [] { return "[S]\r\n[S\r\nk=v\r\n[\r\n]\r\n"s; },
                   {{"k", "v"}}}),
    [](const testing::TestParamInfo<DamageCase>& info) { return info.param.name; });

TEST(IniDamagedLines, LineWithoutLineEndsKeptByteForByte) {
    TempDir dir;
    std::string garbage = Garbage(50000, 5, false);
    dir.Write(kName, "[S]\r\n" + garbage + "\r\nk=1\r\n");
    IniFile ini(dir.File(kName));
    ini.WriteString("S", "k", "2");
    ini.Flush();
    EXPECT_EQ(dir.Read(kName), "[S]\r\n" + garbage + "\r\nk=2\r\n");
}

// ---------------------------------------------------------------------------------
// Flush: when it writes and what it leaves.

TEST(IniFlush, WithoutWritesTouchesNothing) {
    TempDir dir;
    IniFile ini(dir.File(kName));
    ini.ReadString("S", "k", "");
    ini.Flush();
    EXPECT_FALSE(dir.Exists(kName));
}

TEST(IniFlush, SameBytesAgainLeaveTheFileAlone) {
    TempDir dir;
    dir.Write(kName, Lines({"[S]", "k=1"}));
    fs::file_time_type old = fs::file_time_type::clock::now() - std::chrono::hours(1);
    fs::last_write_time(dir.Path() / kName, old);
    IniFile ini(dir.File(kName));
    ini.WriteString("S", "k", "1");
    ini.Flush();
    EXPECT_EQ(fs::last_write_time(dir.Path() / kName), old);
}

TEST(IniFlush, KeepsThePermissionBitsOfTheFile) {
    TempDir dir;
    dir.Write(kName, Lines({"[S]", "k=1"}));
    fs::permissions(dir.Path() / kName,
                    fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    IniFile ini(dir.File(kName));
    ini.WriteString("S", "k", "2");
    ini.Flush();
    EXPECT_EQ(Mode(dir.Path() / kName),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(dir.Read(kName), Lines({"[S]", "k=2"}));
}

TEST(IniFlush, NewFileFollowsTheUmask) {
    TempDir dir;
    mode_t old = ::umask(027);
    IniFile ini(dir.File(kName));
    ini.WriteString("S", "k", "1");
    EXPECT_NO_THROW(ini.Flush());
    ::umask(old);
    EXPECT_EQ(Mode(dir.Path() / kName),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST(IniFlush, SymbolicLinkStaysALink) {
    TempDir dir;
    fs::create_directory(dir.Path() / "real");
    dir.Write("real/Quilvern.ini", Lines({"[S]", "k=1"}));
    fs::create_symlink(dir.Path() / "real" / kName, dir.Path() / kName);
    IniFile ini(dir.File(kName));
    ini.WriteString("S", "k", "2");
    ini.Flush();
    EXPECT_TRUE(fs::is_symlink(dir.Path() / kName));
    EXPECT_EQ(dir.Read("real/Quilvern.ini"), Lines({"[S]", "k=2"}));
}

TEST(IniFlush, RelativePathWritesInTheWorkingDirectory) {
    TempDir dir;
    fs::path old = fs::current_path();
    fs::current_path(dir.Path());
    {
        IniFile ini(kName);
        ini.WriteString("S", "k", "1");
        EXPECT_NO_THROW(ini.Flush());
    }
    fs::current_path(old);
    EXPECT_EQ(dir.Read(kName), Lines({"[S]", "k=1"}));
    EXPECT_EQ(DirectoryEntries(dir.Path()), std::vector<std::string>{kName});
}

TEST(IniFlush, LaterWritesFlushAgain) {
    TempDir dir;
    IniFile ini(dir.File(kName));
    ini.WriteString("S", "k", "1");
    ini.Flush();
    ini.WriteString("S", "k", "2");
    ini.Flush();
    EXPECT_EQ(dir.Read(kName), Lines({"[S]", "k=2"}));
}

TEST(IniFlush, EachOpeningSeesTheLastFlush) {
    // As the storages do it: one object per section, one after another.
    TempDir dir;
    const char* sections[] = {"Main", "Name", "Price"};
    for (const char* section : sections) {
        IniFile ini(dir.File(kName));
        ini.WriteInteger(section, "FormVersion", 0);
        ini.Flush();
    }
    EXPECT_EQ(dir.Read(kName), Lines({"[Main]", "FormVersion=0", "[Name]", "FormVersion=0",
                                      "[Price]", "FormVersion=0"}));
}

// ---------------------------------------------------------------------------------
// Failures: the message names the file as the user knows it, the old file is left
// byte for byte and no temporary file is left behind.

const std::string kOldBytes = Lines({"; keep me", "[S]", "k=old", "odd line"});

void ExpectUnableToWrite(IniFile& ini, const std::string& name = kName) {
    try {
        ini.Flush();
        ADD_FAILURE() << "Flush did not fail";
    } catch (const Error& error) {
        EXPECT_STREQ(error.what(), ("Unable to write to " + name).c_str());
    }
}

TEST(IniFlushFailure, ReadOnlyFileByModeBits) {
    TempDir dir;
    dir.Write(kName, kOldBytes);
    fs::permissions(dir.Path() / kName, fs::perms::owner_read | fs::perms::group_read);
    IniFile ini(dir.File(kName));
    ini.WriteString("S", "k", "new");
    ExpectUnableToWrite(ini);
    EXPECT_EQ(dir.Read(kName), kOldBytes);
    EXPECT_EQ(Mode(dir.Path() / kName), fs::perms::owner_read | fs::perms::group_read);
    EXPECT_EQ(DirectoryEntries(dir.Path()), std::vector<std::string>{kName});
}

TEST(IniFlushFailure, ReadOnlyFileFailsEvenForUnchangedValues) {
    TempDir dir;
    dir.Write(kName, kOldBytes);
    fs::permissions(dir.Path() / kName, fs::perms::owner_read);
    IniFile ini(dir.File(kName));
    ini.WriteString("S", "k", "old");
    ExpectUnableToWrite(ini);
    EXPECT_EQ(dir.Read(kName), kOldBytes);
}

TEST(IniFlushFailure, DirectoryComponentIsARegularFile) {
    TempDir dir;
    dir.Write("plain", kOldBytes);
    IniFile ini(dir.File("plain") + "/" + kName);
    ini.WriteString("S", "k", "new");
    ExpectUnableToWrite(ini);
    EXPECT_EQ(dir.Read("plain"), kOldBytes);
    EXPECT_EQ(DirectoryEntries(dir.Path()), std::vector<std::string>{"plain"});
}

TEST(IniFlushFailure, DirectoryDoesNotExist) {
    TempDir dir;
    IniFile ini(dir.File("absent") + "/" + kName);
    ini.WriteString("S", "k", "new");
    ExpectUnableToWrite(ini);
    EXPECT_TRUE(DirectoryEntries(dir.Path()).empty());
}

TEST(IniFlushFailure, DirectoryInPlaceOfTheFile) {
    TempDir dir;
    fs::create_directory(dir.Path() / kName);
    std::ofstream(dir.Path() / kName / "inside") << "x";
    IniFile ini(dir.File(kName));
    ini.WriteString("S", "k", "new");
    ExpectUnableToWrite(ini);
    EXPECT_TRUE(fs::is_directory(dir.Path() / kName));
    EXPECT_EQ(DirectoryEntries(dir.Path() / kName), std::vector<std::string>{"inside"});
    EXPECT_EQ(DirectoryEntries(dir.Path()), std::vector<std::string>{kName});
}

TEST(IniFlushFailure, FifoInPlaceOfTheFile) {
    TempDir dir;
    ASSERT_EQ(::mkfifo(dir.File(kName).c_str(), 0644), 0);
    IniFile ini(dir.File(kName));
    ini.WriteString("S", "k", "new");
    ExpectUnableToWrite(ini);
    EXPECT_TRUE(fs::is_fifo(dir.Path() / kName));
    EXPECT_EQ(DirectoryEntries(dir.Path()), std::vector<std::string>{kName});
}

TEST(IniFlushFailure, WriteCutShortLeavesTheOldFile) {
    TempDir dir;
    dir.Write(kName, kOldBytes);
    IniFile ini(dir.File(kName));
    ini.WriteString("S", "k", std::string(5000, 'n'));
    {
        test::FileSizeLimit limit(1024);
        ExpectUnableToWrite(ini);
    }
    EXPECT_EQ(dir.Read(kName), kOldBytes);
    EXPECT_EQ(DirectoryEntries(dir.Path()), std::vector<std::string>{kName});
}

// A file larger than any the program writes is not its own: it is neither read nor
// replaced, and the start says so. One byte less is read as usual.
TEST(IniFlushFailure, AFileLargerThanAnyWrittenIsNeitherReadNorReplaced) {
    struct Case {
        const char* name;
        std::size_t size;
        bool refused;
    };
    for (auto [name, size, refused] :
         std::initializer_list<Case>{{"at_the_limit_is_read", IniFile::kMaxFileSize, false},
                                     {"one_byte_over_is_refused", IniFile::kMaxFileSize + 1, true},
                                     {"sparse_256_mb_is_refused", std::size_t{256} << 20, true}}) {
        TempDir dir;
        const std::string head = "[S]\r\nk=old\r\n";
        dir.Write(kName, head);
        fs::resize_file(dir.Path() / kName, size);  // the rest is NUL bytes, or a hole
        IniFile ini(dir.File(kName));
        EXPECT_EQ(ini.ReadString("S", "k", "designed"), refused ? "designed" : "old") << name;
        const std::string message = test::ErrorMessage([&] { ExpectReadable(dir.File(kName)); });
        EXPECT_EQ(message, refused ? "The settings file " + dir.File(kName) +
                                         " is larger than any Quilvern writes. It is kept as it "
                                         "is, and Quilvern starts from its designed values"
                                   : "no error")
            << name;
        if (!refused)
            continue;
        ini.WriteString("S", "k", "new");
        ExpectUnableToWrite(ini);
        EXPECT_EQ(fs::file_size(dir.Path() / kName), size) << name;
        EXPECT_EQ(dir.Read(kName).substr(0, head.size()), head) << name;
    }
}

TEST(IniFlushFailure, MessageNamesTheDisplayName) {
    TempDir dir;
    dir.Write(kName, kOldBytes);
    fs::permissions(dir.Path() / kName, fs::perms::owner_read);
    IniFile ini(dir.File(kName), "Other.ini");
    ini.WriteString("S", "k", "new");
    ExpectUnableToWrite(ini, "Other.ini");
}

TEST(IniFlushFailure, WritesSurviveAFailureForALaterFlush) {
    TempDir dir;
    dir.Write(kName, kOldBytes);
    fs::permissions(dir.Path() / kName, fs::perms::owner_read);
    IniFile ini(dir.File(kName));
    ini.WriteString("S", "k", "new");
    ExpectUnableToWrite(ini);
    fs::permissions(dir.Path() / kName, fs::perms::owner_read | fs::perms::owner_write);
    ini.Flush();
    EXPECT_EQ(dir.Read(kName), Lines({"; keep me", "[S]", "k=new", "odd line"}));
}

// ---------------------------------------------------------------------------------
// Where the file lives.

// Sets or clears an environment variable for one test and puts it back afterwards.
class EnvironmentVariable {
  public:
    EnvironmentVariable(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) {
            old_ = old;
        }
        if (value) {
            ::setenv(name, value, 1);
        } else {
            ::unsetenv(name);
        }
    }
    ~EnvironmentVariable() {
        if (old_) {
            ::setenv(name_, old_->c_str(), 1);
        } else {
            ::unsetenv(name_);
        }
    }
    EnvironmentVariable(const EnvironmentVariable&) = delete;
    EnvironmentVariable& operator=(const EnvironmentVariable&) = delete;

  private:
    const char* name_;
    std::optional<std::string> old_;
};

TEST(IniSettingsFilePath, InConfigHomeWhichIsCreated) {
    TempDir dir;
    std::string config = dir.File("a/b/config");
    EnvironmentVariable xdg("XDG_CONFIG_HOME", config.c_str());
    EnvironmentVariable home("HOME", dir.File("home").c_str());
    EXPECT_EQ(SettingsFilePath(), config + "/Quilvern.ini");
    EXPECT_TRUE(fs::is_directory(config));
    EXPECT_FALSE(fs::exists(dir.Path() / "home"));
}

TEST(IniSettingsFilePath, TrailingSeparatorOfConfigHomeDropped) {
    TempDir dir;
    std::string config = dir.File("config");
    EnvironmentVariable xdg("XDG_CONFIG_HOME", (config + "/").c_str());
    EXPECT_EQ(SettingsFilePath(), config + "/Quilvern.ini");
}

struct HomeCase {
    std::string name;
    std::optional<std::string> xdg;  // nullopt: unset
};

void PrintTo(const HomeCase& c, std::ostream* out) {
    *out << c.name;
}

class IniSettingsFileInHome : public testing::TestWithParam<HomeCase> {};

TEST_P(IniSettingsFileInHome, UnderDotConfigWhichIsCreated) {
    TempDir dir;
    EnvironmentVariable xdg("XDG_CONFIG_HOME", GetParam().xdg ? GetParam().xdg->c_str() : nullptr);
    EnvironmentVariable home("HOME", dir.File("home").c_str());
    EXPECT_EQ(SettingsFilePath(), dir.File("home") + "/.config/Quilvern.ini");
    EXPECT_TRUE(fs::is_directory(dir.Path() / "home" / ".config"));
}

INSTANTIATE_TEST_SUITE_P(ConfigHomeNotUsable, IniSettingsFileInHome,
                         testing::Values(HomeCase{"Unset", std::nullopt}, HomeCase{"Empty", ""},
                                         HomeCase{"Relative", "relative/config"}),
                         [](const testing::TestParamInfo<HomeCase>& info) {
                             return info.param.name;
                         });

TEST(IniSettingsFilePath, UncreatableDirectoryShowsUpAsAWriteFailure) {
    TempDir dir;
    dir.Write("plain", "x");
    EnvironmentVariable xdg("XDG_CONFIG_HOME", (dir.File("plain") + "/config").c_str());
    std::string path = SettingsFilePath();
    EXPECT_EQ(path, dir.File("plain") + "/config/Quilvern.ini");
    IniFile ini(path);
    ini.WriteInteger("Main", "FormVersion", 0);
    ExpectUnableToWrite(ini);
    EXPECT_EQ(dir.Read("plain"), "x");
}

}  // namespace
}  // namespace quilvern
