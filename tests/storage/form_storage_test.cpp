#include "storage/form_storage.h"

#include <gtest/gtest.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <array>
#include <clocale>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "storage/settings_storages.h"
#include "storage/stored_value.h"
#include "support/fake_window_host.h"
#include "support/temp_dir.h"
#include "values/error.h"

namespace quilvern {
namespace {

namespace fs = std::filesystem;
using test::FakeWindowHost;
using test::TempDir;

constexpr char kName[] = "Quilvern.ini";
constexpr char kUnableToWrite[] = "Unable to write to Quilvern.ini";

// The lines joined with CR LF, each line ended.
std::string Lines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines)
        text.append(line).append("\r\n");
    return text;
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find("\r\n", start);
        if (end == std::string::npos)
            end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

// The entry lines of one section, as they stand in the file.
std::vector<std::string> SectionLines(const std::string& text, const std::string& section) {
    std::vector<std::string> found;
    bool inside = false;
    for (const std::string& line : SplitLines(text)) {
        if (!line.empty() && line.front() == '[') {
            inside = line == "[" + section + "]";
        } else if (inside) {
            found.push_back(line);
        }
    }
    return found;
}

std::string LineName(int n, const std::string& field) {
    char number[16];
    std::snprintf(number, sizeof number, "P%03d", n);
    return number + field;
}

// The named fields of the main window without the sheet's arithmetic: values stay as
// they are set, so what a storage reads and writes is seen plainly.
struct PlainWindow {
    PlainWindow() {
        for (int n = 1; n <= 50; ++n)
            names[n - 1].SetText("Product " + std::to_string(n));
    }

    std::vector<StoredComponent> Components() {
        std::vector<StoredComponent> components;
        for (int n = 1; n <= 50; ++n) {
            components.push_back({LineName(n, "Name"), &names[n - 1], nullptr, nullptr});
            components.push_back({LineName(n, "Price"), nullptr, &prices[n - 1], nullptr});
            components.push_back({LineName(n, "Quantity"), nullptr, nullptr, &quantities[n - 1]});
            components.push_back({LineName(n, "Total"), nullptr, &totals[n - 1], nullptr});
        }
        components.push_back({"FinalTotal", nullptr, &finalTotal, nullptr});
        for (int m = 0; m < 12; ++m) {
            components.push_back({"Total" + kMonths[m], nullptr, &months[m], nullptr});
        }
        components.push_back({"TotalYear", nullptr, &totalYear, nullptr});
        components.push_back({"SetTitle", &setTitle, nullptr, nullptr});
        components.push_back({"Currency", &currency, nullptr, nullptr});
        return components;
    }

    inline static const std::array<std::string, 12> kMonths = {
        "January", "February", "March",     "April",   "May",      "June",
        "July",    "August",   "September", "October", "November", "December"};

    std::array<TextField, 50> names;
    std::array<MoneyField, 50> prices;
    std::array<QuantityField, 50> quantities;
    std::array<MoneyField, 50> totals;
    MoneyField finalTotal;
    std::array<MoneyField, 12> months;
    MoneyField totalYear;
    TextField setTitle{"Quilvern"};
    TextField currency{"Dollar ($)"};
};

// ---------------------------------------------------------------------------------
// Value texts.

struct MoneyTextCase {
    std::string rule;
    long double value;
    std::string text;
};

void PrintTo(const MoneyTextCase& c, std::ostream* out) {
    *out << c.rule;
}

class StoredMoneyTextRule : public testing::TestWithParam<MoneyTextCase> {};

TEST_P(StoredMoneyTextRule, WritesTheAmountSo) {
    EXPECT_EQ(StoredMoneyText(GetParam().value), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, StoredMoneyTextRule,
    testing::Values(
        MoneyTextCase{"ZeroIsPlainZero", 0.0L, "0"},
        MoneyTextCase{"NegativeZeroIsPlainZero", -0.0L, "0"},
        MoneyTextCase{"WholeAmountHasNoPoint", 54.0L, "54"},
        MoneyTextCase{"Fraction", 37.5L, "37.5"},
        MoneyTextCase{"NoGroupingNoCurrency", 1234.56L, "1234.56"},
        MoneyTextCase{"NegativeKeepsItsSign", -7.25L, "-7.25"},
        MoneyTextCase{"SmallestPlainMagnitude", 0.0001L, "0.0001"},
        MoneyTextCase{"FourPlacesArePlain", 0.0005L, "0.0005"},
        MoneyTextCase{"BelowOneTenThousandthIsScientific", 0.00005L, "5E-5"},
        MoneyTextCase{"ScientificWithFraction", 1.5E-10L, "1.5E-10"},
        MoneyTextCase{"LargeIsScientificWithoutPlusSign", 2.5E20L, "2.5E20"},
        MoneyTextCase{"NegativeLarge", -2.5E20L, "-2.5E20"},
        MoneyTextCase{"TenToTheEighteenIsScientific", 1E18L, "1E18"},
        MoneyTextCase{"EighteenNinesArePlain", 999999999999999999.0L, "999999999999999999"},
        MoneyTextCase{"TrailingZerosOfAWholeNumberFilled", 1E17L, "100000000000000000"},
        MoneyTextCase{"EighteenDigitsKeptExactly", 123456789012345.678L, "123456789012345.678"},
        MoneyTextCase{"NineteenDigitsRoundToEighteen", 1234567890123456789.0L,
                      "1.23456789012345679E18"},
        MoneyTextCase{"ExtendedTenthHasNoNoise", 0.1L, "0.1"},
        MoneyTextCase{"DoubleTenthShowsItsNoise", static_cast<long double>(0.1),
                      "0.100000000000000006"}));

struct MoneyParseCase {
    std::string rule;
    std::string text;
    std::optional<long double> value;
};

void PrintTo(const MoneyParseCase& c, std::ostream* out) {
    *out << c.rule;
}

class StoredMoneyParseRule : public testing::TestWithParam<MoneyParseCase> {};

TEST_P(StoredMoneyParseRule, ReadsTheTextSo) {
    const auto parsed = ParseStoredMoney(GetParam().text);
    ASSERT_EQ(parsed.has_value(), GetParam().value.has_value());
    if (parsed) {
        EXPECT_EQ(*parsed, *GetParam().value);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rules, StoredMoneyParseRule,
    testing::Values(
        MoneyParseCase{"Plain", "37.5", 37.5L}, MoneyParseCase{"Negative", "-7.25", -7.25L},
        MoneyParseCase{"PlusSign", "+3", 3.0L}, MoneyParseCase{"PointFirst", ".5", 0.5L},
        MoneyParseCase{"PointLast", "5.", 5.0L}, MoneyParseCase{"Scientific", "5E-5", 0.00005L},
        MoneyParseCase{"LowerCaseExponent", "2.5e20", 2.5E20L},
        MoneyParseCase{"ExponentWithPlus", "1E+3", 1000.0L},
        MoneyParseCase{"EighteenDigitsExactly", "123456789012345.678", 123456789012345.678L},
        MoneyParseCase{"EmptyIsNoNumber", "", std::nullopt},
        MoneyParseCase{"WordIsNoNumber", "abc", std::nullopt},
        MoneyParseCase{"PointAloneIsNoNumber", ".", std::nullopt},
        MoneyParseCase{"SignAloneIsNoNumber", "-", std::nullopt},
        MoneyParseCase{"TwoPointsAreNoNumber", "1.2.3", std::nullopt},
        MoneyParseCase{"CommaIsNoDecimalPoint", "1,5", std::nullopt},
        MoneyParseCase{"GroupingIsNoNumber", "1,234.5", std::nullopt},
        MoneyParseCase{"InnerBlankIsNoNumber", "1 5", std::nullopt},
        MoneyParseCase{"BlankAfterSignIsNoNumber", "- 5", std::nullopt},
        MoneyParseCase{"ExponentAloneIsNoNumber", "E5", std::nullopt},
        MoneyParseCase{"ExponentWithoutDigits", "5E", std::nullopt},
        MoneyParseCase{"ExponentSignWithoutDigits", "5E+", std::nullopt},
        MoneyParseCase{"CurrencySignIsNoNumber", "$5", std::nullopt},
        MoneyParseCase{"HexIsNoMoney", "0x10", std::nullopt},
        MoneyParseCase{"BeyondTheExtendedRange", "1E5000", std::nullopt}));

TEST(StoredMoneyTextLocale, PointStaysAPointUnderALocaleWithADecimalComma) {
    const char* current = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = current != nullptr ? current : "C";
    bool switched = false;
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "fr_FR.utf8"}) {
        if (std::setlocale(LC_NUMERIC, name) != nullptr) {
            switched = true;
            break;
        }
    }
    if (!switched)
        GTEST_SKIP() << "no locale with a decimal comma on this machine";
    const std::string text = StoredMoneyText(1234.56L);
    std::setlocale(LC_NUMERIC, saved.c_str());
    EXPECT_EQ(text, "1234.56");
}

TEST(StoredTextRules, QuoteRuleAddsOnePairOnlyToTextsEnclosedInTheSameQuote) {
    const struct {
        std::string text;
        std::string written;
    } cases[] = {
        {"", ""},
        {"Blue mug", "Blue mug"},
        {"\"Blue mug\"", "\"\"Blue mug\"\""},
        {"'Blue mug'", "\"'Blue mug'\""},
        {"\"Blue mug", "\"Blue mug"},
        {"Blue mug'", "Blue mug'"},
        {"'Blue mug\"", "'Blue mug\""},
        {"\"", "\"\"\""},
        {"a=b;c", "a=b;c"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(QuoteStoredText(c.text), c.written) << c.text;
}

TEST(StoredTextRules, TrimmingRemovesBytesUpToBlankButNoOthers) {
    EXPECT_EQ(TrimControls(std::string("\t \x01 Blue\tmug \r\n\0", 17)), "Blue\tmug");
    EXPECT_EQ(TrimControls("\x7f"
                           "x\xA0"),
              "\x7f"
              "x\xA0");
    EXPECT_EQ(TrimControls(" \t "), "");
}

// ---------------------------------------------------------------------------------
// One storage over a few fields: resolving, reading and writing items.

class OneStorage : public testing::Test {
  protected:
    OneStorage() {
        storage.IniFileName = dir.File(kName);
        storage.IniSection = "Items";
        window.prices[2].SetValue(12.5L);
        window.quantities[2].SetValue(4);
    }

    void Attach(std::vector<std::string> items) {
        storage.StoredProps = std::move(items);
        storage.AttachToWindow(events, window.Components(), nullptr,
                               [this](const std::string& message) { reports.push_back(message); });
    }
    void Show() { events.onShow(); }
    void Close() {
        bool canClose = true;
        events.onCloseQuery(canClose);
    }
    std::string File() const { return dir.Read(kName); }

    TempDir dir;
    PlainWindow window;
    FormEvents events;
    std::vector<std::string> reports;
    TFormStorage storage;  // detaches before the events go
};

TEST_F(OneStorage, ItemsAreSplitAtTheFirstDotTrimmedAndFoundInAnyLetterCase) {
    Attach({" p001name . text ", "NoDot", ".Text", "P001Name.", " . ", "Ghost.Text",
            "P002Name.Nonsense", "P003NAME.tExT", "P004Name.Text.More"});
    EXPECT_EQ(storage.StoredProps,
              (std::vector<std::string>{" p001name . text ", "P002Name.Nonsense", "P003NAME.tExT",
                                        "P004Name.Text.More"}));
}

TEST_F(OneStorage, KeyIsTheComponentsOwnNameAndTheDeclaredPropertyName) {
    Attach({" p001name . text ", "P002Name.Nonsense", "P003NAME.tExT", "p003price.VALUE",
            "P003Quantity.value", "P003Price.TEXT", "P004Name.Text.More"});
    Show();
    Close();
    EXPECT_EQ(SectionLines(File(), "Items"),
              (std::vector<std::string>{"FormVersion=0", "P001Name_Text=Product 1",
                                        "P003Name_Text=Product 3", "P003Price_Value=12.5",
                                        "P003Quantity_Value=4", "P003Price_Text=12.5"}));
    EXPECT_TRUE(reports.empty());
}

TEST_F(OneStorage, ItemWithoutSuchPropertyIsSkippedOnRestoreToo) {
    dir.Write(kName,
              Lines({"[Items]", "P002Name_Nonsense=x", "P002Name_Value=y", "P001Name_Text=Mug"}));
    Attach({"P002Name.Nonsense", "P002Name.Value", "P001Name.Text"});
    Show();
    EXPECT_EQ(window.names[1].Text(), "Product 2");
    EXPECT_EQ(window.names[0].Text(), "Mug");
}

TEST_F(OneStorage, MissingKeysLeaveEveryFieldAsItIs) {
    dir.Write(kName, Lines({"[Items]", "Other=1"}));
    Attach({"P003Name.Text", "P003Price.Value", "P003Quantity.Value"});
    Show();
    EXPECT_EQ(window.names[2].Text(), "Product 3");
    EXPECT_EQ(window.prices[2].StoredValue(), 12.5L);
    EXPECT_EQ(window.quantities[2].Text(), "4");
    EXPECT_TRUE(reports.empty());
}

TEST_F(OneStorage, MissingKeyGivesTheFieldItsOwnTrimmedText) {
    window.names[2].SetText("  Product 3 \t");
    Attach({"P003Name.Text"});
    Show();
    EXPECT_EQ(window.names[2].Text(), "Product 3");
}

TEST_F(OneStorage, ItemWhoseChangeHandlerThrowsIsSkippedAndTheNextFollows) {
    dir.Write(kName, Lines({"[Items]", "P001Name_Text=A", "P002Name_Text=B", "P003Name_Text=C"}));
    window.names[1].OnChange.Add([] { throw Error("handler failed"); });
    Attach({"P001Name.Text", "P002Name.Text", "P003Name.Text"});
    Show();
    EXPECT_EQ(window.names[0].Text(), "A");
    EXPECT_EQ(window.names[1].Text(), "Product 2");  // its handler refused the change
    EXPECT_EQ(window.names[2].Text(), "C");
    EXPECT_TRUE(reports.empty());
    EXPECT_TRUE(storage.Restored());
}

TEST_F(OneStorage, MoneyTextThatIsNoNumberIsSkipped) {
    dir.Write(kName, Lines({"[Items]", "P003Price_Text=abc", "P004Name_Text=D"}));
    Attach({"P003Price.Text", "P004Name.Text"});
    Show();
    EXPECT_EQ(window.prices[2].StoredValue(), 12.5L);
    EXPECT_EQ(window.names[3].Text(), "D");
}

TEST_F(OneStorage, TheFieldsValueAsReadIsWhatIsWritten) {
    window.prices[0].SetValue(1.005L);  // the field reads 1.01
    Attach({"P001Price.Value"});
    Show();
    Close();
    EXPECT_EQ(SectionLines(File(), "Items"),
              (std::vector<std::string>{"FormVersion=0", "P001Price_Value=1.01"}));
}

// What a stored entry does to line 3, whose name is "Product 3", price 12.5, quantity 4.
struct ReadItemCase {
    std::string rule;
    std::string entry;  // a line of section "Items"
    std::string name;
    long double price;
    std::string quantity;
};

void PrintTo(const ReadItemCase& c, std::ostream* out) {
    *out << c.rule;
}

class ReadingAnItem : public OneStorage, public testing::WithParamInterface<ReadItemCase> {};

TEST_P(ReadingAnItem, LeavesLineThreeAsTheRuleNames) {
    const ReadItemCase& c = GetParam();
    dir.Write(kName, Lines({"[Items]", c.entry}));
    Attach({"P003Name.Text", "P003Price.Value", "P003Quantity.Value"});
    Show();
    EXPECT_EQ(window.names[2].Text(), c.name);
    EXPECT_EQ(window.prices[2].StoredValue(), c.price);
    EXPECT_EQ(window.quantities[2].Text(), c.quantity);
    EXPECT_TRUE(reports.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Rules, ReadingAnItem,
    testing::Values(
        ReadItemCase{"TextIsTakenTrimmed", "P003Name_Text=  Blue mug \x01", "Blue mug", 12.5L, "4"},
        ReadItemCase{"EmptyTextIsTaken", "P003Name_Text=", "", 12.5L, "4"},
        ReadItemCase{"TextKeepsEqualsAndSemicolon", "P003Name_Text=a=b;c", "a=b;c", 12.5L, "4"},
        ReadItemCase{"KeyInOtherLetterCase", "p003NAME_text=Mug", "Mug", 12.5L, "4"},
        ReadItemCase{"PriceIsParsed", "P003Price_Value=-7.25", "Product 3", -7.25L, "4"},
        ReadItemCase{"PriceInScientificForm", "P003Price_Value=5E-5", "Product 3", 0.00005L, "4"},
        ReadItemCase{"PriceThatIsNoNumberIsKept", "P003Price_Value=abc", "Product 3", 12.5L, "4"},
        ReadItemCase{"EmptyPriceIsKept", "P003Price_Value=", "Product 3", 12.5L, "4"},
        ReadItemCase{"PriceWithCommaIsKept", "P003Price_Value=1,5", "Product 3", 12.5L, "4"},
        ReadItemCase{"QuantityIsParsed", "P003Quantity_Value=12", "Product 3", 12.5L, "12"},
        ReadItemCase{"QuantityThatIsNoNumberIsZero", "P003Quantity_Value=abc", "Product 3", 12.5L,
                     "0"},
        ReadItemCase{"EmptyQuantityIsZero", "P003Quantity_Value=", "Product 3", 12.5L, "0"},
        ReadItemCase{"QuantityWithFractionIsZero", "P003Quantity_Value=1.5", "Product 3", 12.5L,
                     "0"},
        ReadItemCase{"QuantityInHexAfterDollar", "P003Quantity_Value=$1F", "Product 3", 12.5L,
                     "31"},
        ReadItemCase{"QuantityInHexAfterX", "P003Quantity_Value=x10", "Product 3", 12.5L, "16"},
        ReadItemCase{"QuantityInHexAfter0x", "P003Quantity_Value=0x1f", "Product 3", 12.5L, "31"},
        ReadItemCase{"NegativeQuantity", "P003Quantity_Value=-3", "Product 3", 12.5L, "-3"},
        ReadItemCase{"LowestQuantity", "P003Quantity_Value=-2147483648", "Product 3", 12.5L,
                     "-2147483648"},
        ReadItemCase{"QuantityBeyond32BitsIsZero", "P003Quantity_Value=2147483648", "Product 3",
                     12.5L, "0"}));

// A text as the user leaves it, the entry it makes, and the text it comes back as.
struct RoundTripCase {
    std::string rule;
    std::string typed;
    std::string entry;
    std::string restored;
};

void PrintTo(const RoundTripCase& c, std::ostream* out) {
    *out << c.rule;
}

class NameRoundTrip : public testing::TestWithParam<RoundTripCase> {};

// One run of a window with a name storage on the file: restored when shown.
struct NameStorageRun {
    explicit NameStorageRun(const std::string& file) {
        storage.IniFileName = file;
        storage.IniSection = "Name";
        storage.StoredProps = {"P001Name.Text"};
        storage.AttachToWindow(events, window.Components(), nullptr, [](const std::string&) {});
        events.onShow();
    }
    PlainWindow window;
    FormEvents events;
    TFormStorage storage;
};

TEST_P(NameRoundTrip, IsWrittenAndComesBackSo) {
    const RoundTripCase& c = GetParam();
    TempDir dir;
    {
        NameStorageRun first(dir.File(kName));
        first.window.names[0].SetText(c.typed);
        bool canClose = true;
        first.events.onCloseQuery(canClose);
    }
    EXPECT_EQ(SectionLines(dir.Read(kName), "Name"),
              (std::vector<std::string>{"FormVersion=0", c.entry}));
    NameStorageRun second(dir.File(kName));
    EXPECT_EQ(second.window.names[0].Text(), c.restored);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, NameRoundTrip,
    testing::Values(
        RoundTripCase{"Plain", "Blue mug", "P001Name_Text=Blue mug", "Blue mug"},
        RoundTripCase{"BlanksAtTheEndsAreLost", "  Blue mug  ", "P001Name_Text=Blue mug",
                      "Blue mug"},
        RoundTripCase{"InnerBlanksStay", "Blue   mug", "P001Name_Text=Blue   mug", "Blue   mug"},
        RoundTripCase{"DoubleQuotesAtBothEndsStay", "\"Blue mug\"",
                      "P001Name_Text=\"\"Blue mug\"\"", "\"Blue mug\""},
        RoundTripCase{"SingleQuotesAtBothEndsStay", "'Blue mug'", "P001Name_Text=\"'Blue mug'\"",
                      "'Blue mug'"},
        RoundTripCase{"QuotesInsideBlanksStay", "  \"x\"  ", "P001Name_Text=\"\"x\"\"", "\"x\""},
        RoundTripCase{"QuoteAtTheStartOnly", "\"Blue mug", "P001Name_Text=\"Blue mug",
                      "\"Blue mug"},
        RoundTripCase{"QuoteAtTheEndOnly", "Blue mug'", "P001Name_Text=Blue mug'", "Blue mug'"},
        RoundTripCase{"MixedQuotes", "'Blue mug\"", "P001Name_Text='Blue mug\"", "'Blue mug\""},
        RoundTripCase{"LoneQuote", "\"", "P001Name_Text=\"\"\"", "\""},
        RoundTripCase{"EqualsAndSemicolon", "a=b;c", "P001Name_Text=a=b;c", "a=b;c"},
        RoundTripCase{"LeadingSemicolon", ";mug", "P001Name_Text=;mug", ";mug"},
        RoundTripCase{"Brackets", "[Main]", "P001Name_Text=[Main]", "[Main]"},
        RoundTripCase{"Empty", "", "P001Name_Text=", ""},
        RoundTripCase{"Windows1252Bytes", "Caf\xE9 \x80", "P001Name_Text=Caf\xE9 \x80",
                      "Caf\xE9 \x80"}));

// ---------------------------------------------------------------------------------
// The chains: who runs when, around the window's own handlers.

// Notes each restore and save of its section.
class LoggingStorage : public TFormStorage {
  public:
    explicit LoggingStorage(std::vector<std::string>& log) : log_(log) {}

  protected:
    void RestoreContents(const IniFile& file) override {
        log_.push_back("restore " + IniSection);
        TFormStorage::RestoreContents(file);
    }
    void SaveContents(IniFile& file) override {
        log_.push_back("save " + IniSection);
        TFormStorage::SaveContents(file);
    }

  private:
    std::vector<std::string>& log_;
};

class Chains : public testing::Test {
  protected:
    Chains() {
        events.onShow = [this] { log.push_back("FormCreate"); };
        for (const char* section :
             {"Main", "Name", "Price", "Quantity", "Total", "Transfer", "Settings"}) {
            storages.push_back(std::make_unique<LoggingStorage>(log));
            storages.back()->IniFileName = dir.File(kName);
            storages.back()->IniSection = section;
        }
    }
    ~Chains() override {
        for (auto storage = storages.rbegin(); storage != storages.rend(); ++storage) {
            (*storage)->DetachFromWindow();
        }
    }

    void AttachAll() {
        for (auto& storage : storages) {
            storage->AttachToWindow(events, {}, nullptr, [this](const std::string& message) {
                log.push_back("report " + message);
            });
        }
    }

    bool CloseQuery() {
        bool canClose = true;
        events.onCloseQuery(canClose);
        return canClose;
    }

    TempDir dir;
    FormEvents events;
    std::vector<std::string> log;
    std::vector<std::unique_ptr<LoggingStorage>> storages;
};

TEST_F(Chains, ShowRestoresFromSettingsInwardThenRunsFormCreate) {
    AttachAll();
    events.onShow();
    EXPECT_EQ(log, (std::vector<std::string>{"restore Settings", "restore Transfer",
                                             "restore Total", "restore Quantity", "restore Price",
                                             "restore Name", "restore Main", "FormCreate"}));
}

TEST_F(Chains, CloseQuerySavesFromMainOutward) {
    AttachAll();
    events.onShow();
    log.clear();
    EXPECT_TRUE(CloseQuery());
    EXPECT_EQ(log,
              (std::vector<std::string>{"save Main", "save Name", "save Price", "save Quantity",
                                        "save Total", "save Transfer", "save Settings"}));
    for (auto& storage : storages)
        EXPECT_TRUE(storage->Saved()) << storage->IniSection;
}

TEST_F(Chains, CloseBeforeAnyShowWritesNothing) {
    AttachAll();
    EXPECT_TRUE(CloseQuery());
    events.onDestroy();
    EXPECT_TRUE(log.empty());
    EXPECT_FALSE(dir.Exists(kName));
}

TEST_F(Chains, CloseQueryRefusedByTheWindowSavesNothing) {
    events.onCloseQuery = [](bool& canClose) { canClose = false; };
    AttachAll();
    events.onShow();
    log.clear();
    EXPECT_FALSE(CloseQuery());
    EXPECT_TRUE(log.empty());
}

TEST_F(Chains, DestroyAfterASuccessfulCloseWritesNothingMore) {
    AttachAll();
    events.onShow();
    CloseQuery();
    const std::string written = dir.Read(kName);
    log.clear();
    events.onDestroy();
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(dir.Read(kName), written);
}

TEST_F(Chains, DestroySavesTheUnsavedFromSettingsInwardWithVisibleSet) {
    AttachAll();
    storages.front()->Options = fpState | fpPosition;
    events.onShow();
    dir.Write(kName, "");
    fs::permissions(dir.File(kName), fs::perms::owner_read);
    CloseQuery();
    log.clear();
    fs::permissions(dir.File(kName), fs::perms::owner_read | fs::perms::owner_write);
    events.onDestroy();
    EXPECT_EQ(log,
              (std::vector<std::string>{"save Settings", "save Transfer", "save Total",
                                        "save Quantity", "save Price", "save Name", "save Main"}));
    EXPECT_EQ(SectionLines(dir.Read(kName), "Main"),
              (std::vector<std::string>{"FormVersion=0", "Visible=1"}));
    for (auto& storage : storages) {
        EXPECT_TRUE(storage->Saved());
        EXPECT_FALSE(storage->Destroying());
    }
}

TEST_F(Chains, RestoreClearsSavedAndSetsRestored) {
    AttachAll();
    events.onShow();
    CloseQuery();
    events.onShow();
    for (auto& storage : storages) {
        EXPECT_TRUE(storage->Restored());
        EXPECT_FALSE(storage->Saved());
    }
}

TEST_F(Chains, DetachingFromTheOutsideInGivesTheWindowItsOwnHandlersBack) {
    AttachAll();
    for (auto storage = storages.rbegin(); storage != storages.rend(); ++storage) {
        (*storage)->DetachFromWindow();
    }
    events.onShow();
    EXPECT_EQ(log, (std::vector<std::string>{"FormCreate"}));
    EXPECT_FALSE(events.onCloseQuery);
    EXPECT_FALSE(events.onDestroy);
}

TEST(StorageAttaching, NeedsAReporterAndHappensOnce) {
    FormEvents events;
    TFormStorage storage;
    EXPECT_THROW(storage.AttachToWindow(events, {}, nullptr, nullptr), std::invalid_argument);
    EXPECT_FALSE(events.onShow);
    storage.AttachToWindow(events, {}, nullptr, [](const std::string&) {});
    EXPECT_THROW(storage.AttachToWindow(events, {}, nullptr, [](const std::string&) {}),
                 std::logic_error);
    storage.DetachFromWindow();
}

// ---------------------------------------------------------------------------------
// The seven storages of the program over the whole file.

class SevenStorages : public testing::Test {
  protected:
    SevenStorages() : storages(dir.File(kName)) {}

    void Attach() {
        events.onShow = [this] { host.log.push_back("FormCreate"); };
        storages.AttachToWindow(events, window.Components(), &host,
                                [this](const std::string& message) { reports.push_back(message); });
    }
    void Show() { events.onShow(); }
    void Close() {
        bool canClose = true;
        events.onCloseQuery(canClose);
        EXPECT_TRUE(canClose) << "a failed save never keeps the window open";
    }
    void Destroy() { events.onDestroy(); }
    std::string File() const { return dir.Read(kName); }

    TempDir dir;
    PlainWindow window;
    FakeWindowHost host;
    FormEvents events;
    std::vector<std::string> reports;
    SettingsStorages storages;
};

TEST_F(SevenStorages, HoldTheProgramsSectionsAndItems) {
    const std::vector<std::pair<std::string, std::size_t>> expected = {
        {"Main", 0},   {"Name", 50},     {"Price", 50},  {"Quantity", 50},
        {"Total", 51}, {"Transfer", 13}, {"Settings", 2}};
    const auto all = storages.InDesignOrder();
    for (std::size_t i = 0; i < all.size(); ++i) {
        EXPECT_EQ(all[i]->IniSection, expected[i].first);
        EXPECT_EQ(all[i]->StoredProps.size(), expected[i].second) << expected[i].first;
        EXPECT_EQ(all[i]->Options, i == 0 ? (fpState | fpPosition) : 0u);
        EXPECT_EQ(all[i]->Version, 0);
        EXPECT_EQ(all[i]->IniFileName, dir.File(kName));
    }
    EXPECT_EQ(storages.IniName.StoredProps.front(), "P001Name.Text");
    EXPECT_EQ(storages.IniName.StoredProps.back(), "P050Name.Text");
    EXPECT_EQ(storages.IniTotal.StoredProps.front(), "FinalTotal.Value");
    EXPECT_EQ(storages.IniTotal.StoredProps[1], "P001Total.Value");
    EXPECT_EQ(storages.IniTransfer.StoredProps.front(), "TotalJanuary.Value");
    EXPECT_EQ(storages.IniTransfer.StoredProps[11], "TotalDecember.Value");
    EXPECT_EQ(storages.IniTransfer.StoredProps.back(), "TotalYear.Value");
    EXPECT_EQ(storages.IniSettings.StoredProps,
              (std::vector<std::string>{"SetTitle.Text", "Currency.Text"}));
    Attach();
    std::size_t items = 0;
    for (TFormStorage* storage : storages.InDesignOrder())
        items += storage->StoredProps.size();
    EXPECT_EQ(items, 216u) << "every item finds its field";
}

TEST_F(SevenStorages, FirstCloseWithoutAFileWritesTheSevenSectionsInSaveOrder) {
    Attach();
    Show();
    EXPECT_FALSE(dir.Exists(kName)) << "nothing is written while the program runs";
    Close();
    std::vector<std::string> sections;
    std::vector<std::string> firstEntries;
    const std::vector<std::string> lines = SplitLines(File());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].front() == '[') {
            sections.push_back(lines[i]);
            firstEntries.push_back(i + 1 < lines.size() ? lines[i + 1] : "");
        }
    }
    EXPECT_EQ(sections, (std::vector<std::string>{"[Main]", "[Name]", "[Price]", "[Quantity]",
                                                  "[Total]", "[Transfer]", "[Settings]"}));
    EXPECT_EQ(firstEntries, std::vector<std::string>(7, "FormVersion=0"));
    EXPECT_EQ(lines.size(), 7u + 7u + 8u + 216u);
    EXPECT_EQ(SectionLines(File(), "Settings"),
              (std::vector<std::string>{"FormVersion=0", "SetTitle_Text=Quilvern",
                                        "Currency_Text=Dollar ($)"}));
    EXPECT_TRUE(reports.empty());
}

TEST_F(SevenStorages, FirstShowWithoutAFileKeepsEveryFieldAndTheDesignedPlace) {
    Attach();
    Show();
    EXPECT_EQ(window.names[49].Text(), "Product 50");
    EXPECT_EQ(window.prices[0].Text(), "");
    EXPECT_EQ(window.quantities[0].Text(), "0");
    EXPECT_EQ(window.setTitle.Text(), "Quilvern");
    EXPECT_EQ(host.placement.normal.left, 334);
    EXPECT_EQ(host.placement.normal.top, 132);
    EXPECT_EQ(host.state, WindowState::Normal);
    EXPECT_TRUE(reports.empty());
}

TEST_F(SevenStorages, ShowAssignsSectionBySectionFromSettingsToMainThenFormCreate) {
    dir.Write(kName, Lines({"[Main]", "ShowCmd=3", "[Name]", "P001Name_Text=N", "[Price]",
                            "P001Price_Value=4", "[Quantity]", "P001Quantity_Value=3", "[Total]",
                            "FinalTotal_Value=2", "[Transfer]", "TotalJanuary_Value=1",
                            "[Settings]", "SetTitle_Text=T"}));
    for (auto [field, name] :
         {std::pair{&window.prices[0], "P001Price"}, std::pair{&window.finalTotal, "FinalTotal"},
          std::pair{&window.months[0], "TotalJanuary"}}) {
        field->OnChange.Add([this, name = std::string(name)] { host.log.push_back(name); });
    }
    window.names[0].OnChange.Add([this] { host.log.push_back("P001Name"); });
    window.quantities[0].OnChange.Add([this] { host.log.push_back("P001Quantity"); });
    window.setTitle.OnChange.Add([this] { host.log.push_back("SetTitle"); });
    Attach();
    Show();
    // Each storage ends its restore with the maximized-position step.
    EXPECT_EQ(host.log, (std::vector<std::string>{
                            "SetTitle", "SetPlacement", "TotalJanuary", "SetPlacement",
                            "FinalTotal", "SetPlacement", "P001Quantity", "SetPlacement",
                            "P001Price", "SetPlacement", "P001Name", "SetPlacement",
                            "SetWindowState Maximized", "Repaint", "SetPlacement", "FormCreate"}));
    EXPECT_EQ(host.applied.back().maxX, -1);
    EXPECT_EQ(host.applied.back().showCmd, 0) << "the window is shown after the restore";
}

TEST_F(SevenStorages, SectionOfAnOlderVersionIsSkippedAndRewrittenWithCurrentValues) {
    dir.Write(kName, Lines({"[Price]", "FormVersion=-1", "P001Price_Value=9", "[Name]",
                            "FormVersion=1", "P001Name_Text=Mug"}));
    Attach();
    Show();
    EXPECT_EQ(window.prices[0].StoredValue(), 0.0L);
    EXPECT_EQ(window.names[0].Text(), "Mug") << "a newer version is read";
    EXPECT_TRUE(storages.IniPrice.Restored());
    window.prices[0].SetValue(2.5L);
    Close();
    const std::vector<std::string> price = SectionLines(File(), "Price");
    ASSERT_EQ(price.size(), 51u);
    EXPECT_EQ(price[0], "FormVersion=0");
    EXPECT_EQ(price[1], "P001Price_Value=2.5");
    EXPECT_EQ(price[2], "P002Price_Value=0");
}

TEST_F(SevenStorages, KeysInOtherCaseAndOrderAreReadAndUnknownKeysSurvive) {
    dir.Write(kName, Lines({"; kept by hand", "[price]", "Colour=blue", "p002price_value=3",
                            "P001PRICE_VALUE=4", "", "[Extra]", "Key=1"}));
    Attach();
    Show();
    EXPECT_EQ(window.prices[0].StoredValue(), 4.0L);
    EXPECT_EQ(window.prices[1].StoredValue(), 3.0L);
    window.prices[0].SetValue(0);
    window.prices[1].SetValue(0);
    Close();
    const std::vector<std::string> lines = SplitLines(File());
    ASSERT_GE(lines.size(), 8u);
    EXPECT_EQ(lines[0], "; kept by hand");
    EXPECT_EQ(lines[1], "[price]");
    EXPECT_EQ(lines[2], "Colour=blue");
    const std::vector<std::string> extra = SectionLines(File(), "Extra");
    EXPECT_EQ(extra, (std::vector<std::string>{"Key=1"}));
    // Known keys change where they stand; new ones follow the last entry of the section.
    const std::vector<std::string> price = SectionLines(File(), "price");
    ASSERT_EQ(price.size(), 53u);
    EXPECT_EQ(
        std::vector<std::string>(price.begin(), price.begin() + 6),
        (std::vector<std::string>{"Colour=blue", "p002price_value=0", "P001PRICE_VALUE=0",
                                  "FormVersion=0", "P003Price_Value=0", "P004Price_Value=0"}));
    EXPECT_EQ(price.back(), "");
}

TEST_F(SevenStorages, ValueLongerThan2047IsCut) {
    const std::string longName = std::string(2000, 'a') + std::string(1000, 'b');
    dir.Write(kName, Lines({"[Name]", "P001Name_Text=" + longName}));
    Attach();
    Show();
    EXPECT_EQ(window.names[0].Text(), longName.substr(0, 2047));
}

TEST_F(SevenStorages, CurrencyTextKeepsItsWindows1252Byte) {
    dir.Write(kName, Lines({"[Settings]", "Currency_Text=Euro (\x80)"}));
    Attach();
    Show();
    EXPECT_EQ(window.currency.Text(), "Euro (\x80)");
    Close();
    EXPECT_EQ(SectionLines(File(), "Settings"),
              (std::vector<std::string>{"Currency_Text=Euro (\x80)", "FormVersion=0",
                                        "SetTitle_Text=Quilvern"}));
}

TEST_F(SevenStorages, FailingPlacementIsReportedByEachStorageAndTheShowGoesOn) {
    class RefusingHost : public FakeWindowHost {
        void SetPlacement(const WindowPlacement&) override { throw Error("placement refused"); }
    };
    RefusingHost refusing;
    dir.Write(kName, Lines({"[Name]", "P001Name_Text=Mug"}));
    events.onShow = [this] { reports.push_back("FormCreate"); };
    storages.AttachToWindow(events, window.Components(), &refusing,
                            [this](const std::string& message) { reports.push_back(message); });
    Show();
    std::vector<std::string> expected(7, "placement refused");
    expected.push_back("FormCreate");
    EXPECT_EQ(reports, expected);
    EXPECT_EQ(window.names[0].Text(), "Mug");
    EXPECT_TRUE(storages.IniName.Restored()) << "the section was read before the step failed";
}

// How many times a file of this name was put in place in the folder while `run` ran:
// created, or renamed or linked over the old one.
int Replacements(const TempDir& dir, const std::string& name, const std::function<void()>& run) {
    const int watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ::inotify_add_watch(watch, dir.Path().c_str(), IN_CREATE | IN_MOVED_TO);
    run();
    int count = 0;
    alignas(inotify_event) char buffer[4096];
    for (ssize_t got; (got = ::read(watch, buffer, sizeof buffer)) > 0;) {
        for (char* at = buffer; at < buffer + got;) {
            const auto* event = reinterpret_cast<const inotify_event*>(at);
            if (event->len > 0 && name == event->name)
                ++count;
            at += sizeof(inotify_event) + event->len;
        }
    }
    ::close(watch);
    return count;
}

// Seven sections replaced one by one would leave, after a kill between two of them, a
// file that is neither the old one nor the new one.
TEST_F(SevenStorages, TheCloseAndTheRetryAtDestroyEachPutTheFileOnDiskOnce) {
    dir.Write(kName, Lines({"[Name]", "P001Name_Text=Mug"}));
    Attach();
    Show();
    window.names[0].SetText("Blue mug");
    window.months[2].SetValue(12.5L);
    EXPECT_EQ(Replacements(dir, kName, [this] { Close(); }), 1);
    EXPECT_EQ(SectionLines(File(), "Name")[0], "P001Name_Text=Blue mug");
    EXPECT_EQ(SectionLines(File(), "Transfer")[3], "TotalMarch_Value=12.5");
    EXPECT_EQ(Replacements(dir, kName, [this] { Destroy(); }), 0) << "saved already";

    SettingsStorages again(dir.File(kName));
    FormEvents events2;
    again.AttachToWindow(events2, window.Components(), &host, [](const std::string&) {});
    events2.onShow();
    EXPECT_EQ(Replacements(dir, kName, [&events2] { events2.onDestroy(); }), 1)
        << "a window destroyed unsaved saves all seven in one write";
}

TEST_F(SevenStorages, SnapshotTextIsWhatTheCloseWritesAndLeavesTheFlags) {
    Attach();
    Show();
    window.names[0].SetText("Blue mug");
    const std::string snapshot = storages.SnapshotText();
    EXPECT_FALSE(dir.Exists(kName));
    for (TFormStorage* storage : storages.InDesignOrder())
        EXPECT_FALSE(storage->Saved());
    EXPECT_FALSE(storages.AllSaved());
    Close();
    EXPECT_TRUE(storages.AllSaved());
    EXPECT_EQ(snapshot, File());
}

TEST_F(SevenStorages, RestoreFromACopyBringsItsValuesBackAndAllowsTheNextSave) {
    Attach();
    storages.RestoreFromText(
        Lines({"[Name]", "P001Name_Text=Blue mug", "[Main]", "NormPos=100,50,630,490", "[Transfer]",
               "TotalMarch_Value=12.5"}));
    EXPECT_EQ(window.names[0].Text(), "Blue mug");
    EXPECT_EQ(window.months[2].StoredValue(), 12.5L);
    EXPECT_EQ(host.placement.normal.left, 100);
    EXPECT_TRUE(reports.empty());
    Close();
    EXPECT_EQ(SectionLines(File(), "Name")[1], "P001Name_Text=Blue mug");
}

// Ways of making the settings file impossible to write, also for the superuser.
enum class Unwritable { DirectoryIsARegularFile, ReadOnlyByModeBits };

class UnwritableFile : public testing::TestWithParam<Unwritable> {};

TEST_P(UnwritableFile, EachStorageReportsAtCloseAndAgainAtDestroy) {
    TempDir dir;
    std::string path = dir.File(kName);
    if (GetParam() == Unwritable::DirectoryIsARegularFile) {
        dir.Write("plain", "");
        path = dir.File("plain") + "/" + kName;
    } else {
        dir.Write(kName, Lines({"[Name]", "P001Name_Text=Mug"}));
        fs::permissions(path, fs::perms::owner_read | fs::perms::group_read);
    }
    const std::string before = GetParam() == Unwritable::ReadOnlyByModeBits ? dir.Read(kName) : "";
    PlainWindow window;
    FakeWindowHost host;
    FormEvents events;
    std::vector<std::string> reports;
    SettingsStorages storages(path);
    storages.AttachToWindow(events, window.Components(), &host,
                            [&reports](const std::string& message) { reports.push_back(message); });
    events.onShow();
    EXPECT_TRUE(reports.empty());
    bool canClose = true;
    events.onCloseQuery(canClose);
    EXPECT_TRUE(canClose);
    EXPECT_EQ(reports, std::vector<std::string>(7, kUnableToWrite));
    for (TFormStorage* storage : storages.InDesignOrder())
        EXPECT_FALSE(storage->Saved());
    events.onDestroy();
    EXPECT_EQ(reports, std::vector<std::string>(14, kUnableToWrite));
    if (GetParam() == Unwritable::ReadOnlyByModeBits) {
        EXPECT_EQ(dir.Read(kName), before);
    }
}

INSTANTIATE_TEST_SUITE_P(Ways, UnwritableFile,
                         testing::Values(Unwritable::DirectoryIsARegularFile,
                                         Unwritable::ReadOnlyByModeBits),
                         [](const testing::TestParamInfo<Unwritable>& info) {
                             return info.param == Unwritable::DirectoryIsARegularFile
                                        ? std::string("DirectoryIsARegularFile")
                                        : std::string("ReadOnlyByModeBits");
                         });

TEST_F(SevenStorages, DestroyRetryThatSucceedsWritesVisible1) {
    Attach();
    Show();
    dir.Write(kName, "");
    fs::permissions(dir.File(kName), fs::perms::owner_read);
    Close();
    EXPECT_EQ(reports.size(), 7u);
    fs::permissions(dir.File(kName), fs::perms::owner_read | fs::perms::owner_write);
    Destroy();
    EXPECT_EQ(reports.size(), 7u);
    const std::vector<std::string> main = SectionLines(File(), "Main");
    ASSERT_FALSE(main.empty());
    EXPECT_EQ(main.back(), "Visible=1");
    // Saved from Settings inward: the file from nothing holds the sections so.
    std::vector<std::string> sections;
    for (const std::string& line : SplitLines(File())) {
        if (line.front() == '[')
            sections.push_back(line);
    }
    EXPECT_EQ(sections, (std::vector<std::string>{"[Settings]", "[Transfer]", "[Total]",
                                                  "[Quantity]", "[Price]", "[Name]", "[Main]"}));
}

TEST_F(SevenStorages, CloseWritesVisible0AndTheWindowKeys) {
    Attach();
    Show();
    host.visible = true;
    Close();
    EXPECT_EQ(SectionLines(File(), "Main"),
              (std::vector<std::string>{"FormVersion=0", "Flags=0", "ShowCmd=1", "PixelsPerInch=96",
                                        "MinMaxPos(1920x1080)=-1,-1,-1,-1", "MinMaxPos=-1,-1,-1,-1",
                                        "NormPos(1920x1080)=334,132,864,572",
                                        "NormPos=334,132,864,572", "Visible=0"}));
}

TEST_F(SevenStorages, WindowClosedWhileMinimizedReopensMinimizingAfterTheShow) {
    Attach();
    Show();
    host.visible = true;
    host.applicationMinimized = true;
    Close();
    EXPECT_EQ(SectionLines(File(), "Main")[2], "ShowCmd=2");
    FakeWindowHost next;
    PlainWindow nextWindow;
    FormEvents nextEvents;
    SettingsStorages nextStorages(dir.File(kName));
    nextEvents.onShow = [&next] { next.log.push_back("FormCreate"); };
    nextStorages.AttachToWindow(nextEvents, nextWindow.Components(), &next,
                                [](const std::string&) {});
    nextEvents.onShow();
    const std::vector<std::string> tail(next.log.end() - 4, next.log.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"MarkStateNormal", "PostMinimize", "SetPlacement",
                                              "FormCreate"}));
}

}  // namespace
}  // namespace quilvern
