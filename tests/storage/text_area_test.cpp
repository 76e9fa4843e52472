#include "storage/text_area.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <ostream>
#include <string>

#include "support/error_message.h"
#include "support/temp_dir.h"
#include "values/error.h"

namespace quilvern {
namespace {

using test::ErrorMessage;

using namespace std::string_literals;

// Windows-1252 currency signs; kept apart so that no hex escape runs into a digit.
const std::string kPound = "\xA3";
const std::string kEuro = "\x80";

// ---------------------------------------------------------------------------------
// Adding a line

struct AddLineCase {
    const char* rule;
    std::string before;
    std::string line;
    std::string after;
};

void PrintTo(const AddLineCase& c, std::ostream* out) {
    *out << c.rule;
}

class TextAreaAddLine : public testing::TestWithParam<AddLineCase> {};

TEST_P(TextAreaAddLine, AppendsTheLineWhereTheRuleSays) {
    TextArea area;
    area.SetText(GetParam().before);
    area.AddLine(GetParam().line);
    EXPECT_EQ(area.Text(), GetParam().after);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, TextAreaAddLine,
    testing::Values(AddLineCase{"EmptyTextGetsLineAndBreak", "", "Sales", "Sales\r\n"},
                    AddLineCase{"EmptyLineOnEmptyTextIsABreak", "", "", "\r\n"},
                    AddLineCase{"AfterCrLfLineAndBreak", "One\r\n", "Two", "One\r\nTwo\r\n"},
                    AddLineCase{"EmptyLineAfterCrLfIsABreak", "One\r\n", "", "One\r\n\r\n"},
                    AddLineCase{"OpenLineIsEndedFirstAndNewLineLeftOpen", "One", "Two",
                                "One\r\nTwo"},
                    AddLineCase{"EmptyLineAfterOpenLineOnlyEndsIt", "One", "", "One\r\n"},
                    AddLineCase{"LoneCrIsNoLineEnd", "One\r", "Two", "One\r\r\nTwo"},
                    AddLineCase{"LoneLfIsNoLineEnd", "One\n", "Two", "One\n\r\nTwo"},
                    AddLineCase{"BytesOfTheLineKept", "", kPound + "1.00\0"s + kEuro,
                                kPound + "1.00\0"s + kEuro + "\r\n"}),
    [](const auto& info) { return std::string(info.param.rule); });

TEST(TextAreaAddLineSequence, ClearedBufferReceivesOnlyWholeLines) {
    TextArea area;
    area.SetText("left over");
    area.Clear();
    area.AddLine("March 2024");
    area.AddLine("");
    area.AddLine("Total: " + kEuro + "12.50");
    EXPECT_EQ(area.Text(), "March 2024\r\n\r\nTotal: " + kEuro + "12.50\r\n");
}

// ---------------------------------------------------------------------------------
// Line breaks when reading

struct NormaliseCase {
    const char* rule;
    std::string raw;
    std::string normalised;
};

void PrintTo(const NormaliseCase& c, std::ostream* out) {
    *out << c.rule;
}

class TextAreaNormalise : public testing::TestWithParam<NormaliseCase> {};

TEST_P(TextAreaNormalise, EveryBreakBecomesOneCrLf) {
    EXPECT_EQ(NormaliseLineBreaks(GetParam().raw), GetParam().normalised);
}

TEST_P(TextAreaNormalise, ReadingAFileNormalisesTheSameWay) {
    test::TempDir dir;
    dir.Write("Notes.txt", GetParam().raw);
    TextArea area;
    area.SetText("previous text");
    area.ReadFromFile(dir.File("Notes.txt"));
    EXPECT_EQ(area.Text(), GetParam().normalised);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, TextAreaNormalise,
    testing::Values(NormaliseCase{"EmptyStaysEmpty", "", ""},
                    NormaliseCase{"NoBreakUntouched", "plain", "plain"},
                    NormaliseCase{"CrLfKept", "a\r\nb\r\n", "a\r\nb\r\n"},
                    NormaliseCase{"LoneCrBecomesCrLf", "a\rb\r", "a\r\nb\r\n"},
                    NormaliseCase{"LoneLfBecomesCrLf", "a\nb\n", "a\r\nb\r\n"},
                    NormaliseCase{"MixedBreaksAllBecomeCrLf", "a\r\nb\rc\nd", "a\r\nb\r\nc\r\nd"},
                    NormaliseCase{"CrCrIsTwoBreaks", "\r\r", "\r\n\r\n"},
                    NormaliseCase{"LfCrIsTwoBreaks", "\n\r", "\r\n\r\n"},
                    NormaliseCase{"LfLfIsTwoBreaks", "\n\n", "\r\n\r\n"},
                    NormaliseCase{"CrLfLfIsTwoBreaks", "\r\n\n", "\r\n\r\n"},
                    NormaliseCase{"CrAtTheVeryEnd", "end\r", "end\r\n"},
                    NormaliseCase{"NulBytesKept", "a\0b\n\0"s, "a\0b\r\n\0"s},
                    NormaliseCase{"NulBetweenCrAndLfSplitsThePair", "\r\0\n"s, "\r\n\0\r\n"s},
                    NormaliseCase{"CurrencyBytesKept", kPound + "1\n" + kEuro + "2",
                                  kPound + "1\r\n" + kEuro + "2"}),
    [](const auto& info) { return std::string(info.param.rule); });

// ---------------------------------------------------------------------------------
// Writing and reading back

struct RoundTripCase {
    const char* rule;
    std::string text;
};

void PrintTo(const RoundTripCase& c, std::ostream* out) {
    *out << c.rule;
}

class TextAreaRoundTrip : public testing::TestWithParam<RoundTripCase> {};

TEST_P(TextAreaRoundTrip, FileHoldsTheTextAndReadsBackTheSame) {
    test::TempDir dir;
    const std::string path = dir.File("Report03.txt");
    TextArea written;
    written.SetText(GetParam().text);
    written.WriteToFile(path);
    ASSERT_EQ(dir.Read("Report03.txt"), GetParam().text);

    TextArea read;
    read.ReadFromFile(path);
    EXPECT_EQ(read.Text(), GetParam().text);

    read.WriteToFile(path);
    EXPECT_EQ(dir.Read("Report03.txt"), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Texts, TextAreaRoundTrip,
                         testing::Values(RoundTripCase{"EmptyText", ""},
                                         RoundTripCase{"ReportEndingInCrLf",
                                                       "March\r\n\r\nTotal: $1.00\r\n"},
                                         RoundTripCase{"NotesWithoutFinalBreak", "a\r\nb"},
                                         RoundTripCase{"PoundAndEuroAreSingleBytes",
                                                       kPound + "1.00\r\n" + kEuro + "2.00\r\n"},
                                         RoundTripCase{"NulBytes", "a\0\r\n\0b"s}),
                         [](const auto& info) { return std::string(info.param.rule); });

TEST(TextAreaWrite, LineBreaksAreWrittenAsTheTextHasThem) {
    // Only reading normalises; the notes area hands the file exactly what it holds.
    test::TempDir dir;
    TextArea area;
    area.SetText("lf\nonly\rcr");
    area.WriteToFile(dir.File("Notes.txt"));
    EXPECT_EQ(dir.Read("Notes.txt"), "lf\nonly\rcr");
}

TEST(TextAreaWrite, FailureIsReportedWithThePathAsFormed) {
    test::TempDir dir;
    std::filesystem::create_directory(dir.Path() / "Notes.txt");
    const std::string path = dir.WithSeparator() + "Notes.txt";
    TextArea area;
    area.SetText("notes");
    EXPECT_EQ(ErrorMessage([&] { area.WriteToFile(path); }), "Cannot create file " + path);
    EXPECT_EQ(area.Text(), "notes");
}

// ---------------------------------------------------------------------------------
// Failed reads leave the text alone

struct ReadFailureCase {
    const char* rule;
    void (*prepare)(const test::TempDir& dir);  // leaves something at "Notes.txt"
    const char* message;                        // "%s" stands for the path
};

void PrintTo(const ReadFailureCase& c, std::ostream* out) {
    *out << c.rule;
}

class TextAreaReadFailure : public testing::TestWithParam<ReadFailureCase> {};

TEST_P(TextAreaReadFailure, ReportsAndKeepsTheText) {
    test::TempDir dir;
    GetParam().prepare(dir);
    const std::string path = dir.File("Notes.txt");
    TextArea area;
    area.SetText("kept\r\n");
    int repaints = 0;
    area.OnRepaint.Add([&] { ++repaints; });

    EXPECT_EQ(ErrorMessage([&] { area.ReadFromFile(path); }), Format(GetParam().message, path));
    EXPECT_EQ(area.Text(), "kept\r\n");
    EXPECT_EQ(repaints, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Failures, TextAreaReadFailure,
    testing::Values(ReadFailureCase{"DirectoryBearingTheName",
                                    [](const test::TempDir& dir) {
                                        std::filesystem::create_directory(dir.Path() / "Notes.txt");
                                    },
                                    "Cannot open file %s"},
                    ReadFailureCase{"FileWithoutReadBits",
                                    [](const test::TempDir& dir) {
                                        dir.Write("Notes.txt", "secret");
                                        ::chmod(dir.File("Notes.txt").c_str(), 0200);
                                    },
                                    "Cannot open file %s"},
                    ReadFailureCase{"LfOnlyFileThatDoublesPastCapacity",
                                    [](const test::TempDir& dir) {
                                        dir.Write("Notes.txt",
                                                  std::string(TextArea::kCapacity / 2 + 1, '\n'));
                                    },
                                    "Text exceeds memo capacity"}),
    [](const auto& info) { return std::string(info.param.rule); });

// ---------------------------------------------------------------------------------
// Capacity

TEST(TextAreaCapacity, TextOfExactlyTheCapacityFits) {
    TextArea area;
    area.SetText(std::string(TextArea::kCapacity, 'x'));
    EXPECT_EQ(area.Text().size(), TextArea::kCapacity);
}

TEST(TextAreaCapacity, FileThatNormalisesToExactlyTheCapacityFits) {
    test::TempDir dir;
    dir.Write("Notes.txt", std::string(TextArea::kCapacity / 2, '\n'));
    TextArea area;
    area.ReadFromFile(dir.File("Notes.txt"));
    EXPECT_EQ(area.Text().size(), TextArea::kCapacity);
}

TEST(TextAreaCapacity, LargerTextIsRefusedAndTheOldKept) {
    TextArea area;
    area.SetText("old");
    EXPECT_EQ(ErrorMessage([&] { area.SetText(std::string(TextArea::kCapacity + 1, 'x')); }),
              "Text exceeds memo capacity");
    EXPECT_EQ(area.Text(), "old");
}

TEST(TextAreaCapacity, LineThatWouldOverflowIsRefusedAndTheOldKept) {
    TextArea area;
    const std::string almostFull(TextArea::kCapacity - 2, 'x');
    area.SetText(almostFull + "\r\n");
    EXPECT_EQ(ErrorMessage([&] { area.AddLine("y"); }), "Text exceeds memo capacity");
    EXPECT_EQ(area.Text().size(), TextArea::kCapacity);
}

// ---------------------------------------------------------------------------------
// Repaint notification

TEST(TextAreaRepaint, RaisedOnlyWhenTheTextChanges) {
    test::TempDir dir;
    dir.Write("Notes.txt", "from file");
    TextArea area;
    int repaints = 0;
    area.OnRepaint.Add([&] { ++repaints; });

    area.Clear();
    EXPECT_EQ(repaints, 0) << "clearing an empty text";
    area.SetText("typed");
    EXPECT_EQ(repaints, 1);
    area.SetText("typed");
    EXPECT_EQ(repaints, 1) << "the same text again";
    area.AddLine("");
    EXPECT_EQ(repaints, 2);
    area.ReadFromFile(dir.File("Notes.txt"));
    EXPECT_EQ(repaints, 3);
    area.Clear();
    EXPECT_EQ(repaints, 4);
}

}  // namespace
}  // namespace quilvern
