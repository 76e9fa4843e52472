// A price or total field, set up as the sheet sets it up, driven by any sequence of the
// user's input and the program's writes. The first byte is the set-up (bit 0: read-only
// like a total, bit 1: no auto-select like a month total, bits 2-4: the platform's
// separators); then each operation is a code byte followed by its arguments.
//
// After every operation the field is compared with what its rules say: which text it
// holds, whether OnChange was raised and how often, where the caret is, and what the
// stored value is. The expected edit text is worked out here from the rules alone; only
// the formatter and the number parser, fuzzed on their own, are shared with the field.
#include "values/money_field.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "fuzz/money_rules.h"
#include "values/currency.h"
#include "values/error.h"
#include "values/money_text.h"
#include "values/number_format.h"

namespace quilvern::fuzz {
namespace {

constexpr std::size_t kMaxText = 80;        // past the 63 characters a key check reads
constexpr unsigned kDecimalPlaces = 2;      // the edit pattern is "0.##"
constexpr std::size_t kCheckedLength = 63;  // typed text is checked on this many
constexpr std::array<Separators, 7> kLocales = {{
    {'.', ','},
    {',', '.'},
    {',', ' '},
    {'.', '\0'},
    {'.', '\''},
    {',', '\xA0'},
    {'.', ' '},
}};

enum Op : std::uint8_t {
    kTypeChar,
    kTypeText,
    kEdit,
    kPaste,
    kCut,
    kSelect,
    kEscape,
    kFocusKeyboard,
    kFocusMouse,
    kFocusOut,
    kSetValue,
    kSetText,
    kValue,
    kDisplayFormat,
    kOpCount,
};

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The message names the normalised text; what() ends at a NUL byte the text may hold.
bool SameMessage(const Error& error, std::string_view normalised) {
    const std::string expected =
        "'" + std::string(normalised) + "' is not a valid floating point value";
    return std::string_view(error.what()) == std::string_view(expected.c_str());
}

class Harness {
  public:
    explicit Harness(std::uint8_t setup) : seps_(kLocales[(setup >> 2) % kLocales.size()]) {
        field_.FormatOnEditing = true;
        field_.ReadOnly = (setup & 1) != 0;
        field_.AutoSelect = (setup & 2) == 0;
        field_.SetSeparators(seps_);
        field_.OnChange.Add([this] {
            ++changes_;
            seen_.push_back(field_.Text());
        });
        field_.OnBeep = [this] { ++beeps_; };
        CheckAlways();
    }

    void Run(Input& input) {
        const int code = input.Byte() % kOpCount;
        switch (code) {
            case kTypeChar:
                return UserInput([&] { TypeChar(input.Char()); });
            case kTypeText:
                return UserInput([&] {
                    for (char c : input.Text(16))
                        TypeChar(c);
                });
            case kEdit: {
                std::string text = input.Text(kMaxText);
                const int caret = static_cast<std::int8_t>(input.Byte());
                return UserInput([&] { Edit(std::move(text), caret); });
            }
            case kPaste: {
                const std::string clipboard = input.Text(kMaxText);
                return UserInput([&] { Paste(clipboard); });
            }
            case kCut:
                return UserInput([&] { Cut(); });
            case kSelect: {
                const int anchor = static_cast<std::int8_t>(input.Byte());
                const int caret = static_cast<std::int8_t>(input.Byte());
                return Select(anchor, caret);
            }
            case kEscape:
                return UserInput([&] { Escape(); });
            case kFocusKeyboard:
            case kFocusMouse:
                // The view hands the focus over only to a field that does not have it.
                if (!field_.Focused())
                    FocusIn(code == kFocusMouse ? FocusCause::LeftMouse : FocusCause::Keyboard);
                return;
            case kFocusOut:
                if (field_.Focused())
                    FocusOut();
                return;
            case kSetValue:
                return SetValue(input.Extended());
            case kSetText:
                return SetText(input.Text(kMaxText));
            case kValue:
                return Value();
            case kDisplayFormat:
                return SetDisplayFormat(kCurrencies[input.Byte() % kCurrencies.size()].pattern);
            default:
                return;
        }
    }

  private:
    // Keys, the clipboard and Escape only ever reach the field that has the focus.
    template <typename Action>
    void UserInput(Action&& action) {
        if (!field_.Focused())
            FocusIn(FocusCause::Keyboard);
        action();
    }

    std::string Normalise(std::string_view text) const { return rules::Normalise(text, seps_); }

    std::optional<long double> Parse(std::string_view text) const {
        return ParseNumber(Normalise(text), seps_.decimal);
    }

    // The edit text made from a stored value: empty for zero, else the edit pattern.
    std::string Refresh(long double value) const {
        return value == 0 ? std::string() : FormatByPattern(value, "0.##", seps_);
    }

    std::string Regroup(const std::string& text) const {
        const std::string normalised = text.empty() || text == "-" ? text : Normalise(text);
        const bool grouping = field_.DisplayFormat().find(',') != std::string::npos;
        return rules::Group(normalised, grouping, seps_);
    }

    // The key rules, read off the normalised candidate text.
    bool Accepts(std::string_view n) const {
        if (const auto point = n.find(seps_.decimal); point != std::string_view::npos) {
            std::size_t end = n.size();
            if (const auto mark = n.find_first_of("Ee", point + 1); mark != std::string_view::npos)
                end = mark;
            if (end - point - 1 > kDecimalPlaces)
                return false;
        }
        for (char c : n) {
            if (!(IsDigit(c) || c == '+' || c == '-' || c == 'E' || c == 'e' || c == seps_.decimal))
                return false;
        }
        return ParseNumber(n.substr(0, kCheckedLength), seps_.decimal).has_value();
    }

    std::pair<int, int> Selection() const { return std::minmax(field_.Anchor(), field_.Caret()); }

    void Begin() {
        before_ = field_.Text();
        changes_ = 0;
        beeps_ = 0;
        seen_.clear();
    }

    // `written` is the text the operation puts in place of the edit text, if any; with
    // the focus, the field regroups a changed text before it raises OnChange.
    void ExpectChange(const std::optional<std::string>& written) {
        if (!written || *written == before_) {
            FUZZ_CHECK(changes_ == 0);
            FUZZ_CHECK(field_.Text() == before_);
            return;
        }
        const std::string expected = field_.Focused() ? Regroup(*written) : *written;
        FUZZ_CHECK(field_.Text() == expected);
        FUZZ_CHECK(changes_ == 1);
        FUZZ_CHECK(seen_.front() == expected);
    }

    void CheckAlways() {
        const std::string& text = field_.Text();
        const int size = static_cast<int>(text.size());
        FUZZ_CHECK(field_.Caret() >= 0 && field_.Caret() <= size);
        FUZZ_CHECK(field_.Anchor() >= 0 && field_.Anchor() <= size);
        const long double stored = field_.StoredValue();
        FUZZ_CHECK(field_.FormattedText() ==
                   FormatByPattern(stored, field_.DisplayFormat(), seps_));
        if (field_.Focused()) {
            FUZZ_CHECK(field_.ShownText() == text);
            return;
        }
        FUZZ_CHECK(field_.ShownText() == field_.FormattedText());
        // Reading Value stores the amount the edit text reads as without rewriting the
        // text, so a nonzero amount that shows as zero ("0", "0.00") or a non-finite one
        // (which reads as no number) leaves a stored zero behind a text that is not empty.
        const auto reads = Parse(text);
        const bool readBackToZero = stored == 0 && !text.empty() && (!reads || *reads == 0);
        FUZZ_CHECK(text == Refresh(stored) || readBackToZero);
    }

    void FocusIn(FocusCause cause) {
        Begin();
        const long double stored = field_.StoredValue();
        field_.FocusIn(cause);
        FUZZ_CHECK(field_.Focused());
        FUZZ_CHECK(changes_ == 0);
        FUZZ_CHECK(field_.Text() == Regroup(Refresh(stored)));
        if (field_.AutoSelect && cause == FocusCause::Keyboard) {
            FUZZ_CHECK(field_.Anchor() == 0);
            FUZZ_CHECK(field_.Caret() == static_cast<int>(field_.Text().size()));
        }
        CheckAlways();
    }

    void FocusOut() {
        Begin();
        // A read-only field keeps its stored value: its text is never the user's.
        const auto parsed = field_.ReadOnly ? std::optional(field_.StoredValue()) : Parse(before_);
        try {
            field_.FocusOut();
        } catch (const Error& error) {
            FUZZ_CHECK(!parsed);
            FUZZ_CHECK(SameMessage(error, Normalise(before_)));
            FUZZ_CHECK(field_.Focused());
            FUZZ_CHECK(field_.Text() == before_);
            FUZZ_CHECK(field_.Anchor() == 0);
            FUZZ_CHECK(field_.Caret() == static_cast<int>(before_.size()));
            FUZZ_CHECK(changes_ == 0);
            CheckAlways();
            return;
        }
        FUZZ_CHECK(parsed.has_value());
        FUZZ_CHECK(!field_.Focused());
        FUZZ_CHECK(SameBits(field_.StoredValue(), *parsed));
        FUZZ_CHECK(field_.Text() == Refresh(*parsed));
        FUZZ_CHECK(changes_ == 0);
        FUZZ_CHECK(field_.Caret() == 0 && field_.Anchor() == 0);
        CheckAlways();
    }

    void TypeChar(char c) {
        // Control characters go to the plain edit, never through the key check.
        if (static_cast<unsigned char>(c) < 32)
            c = static_cast<char>(c | 0x20);
        Begin();
        const char typed = (c == '.' || c == ',') && c != seps_.thousands ? seps_.decimal : c;
        const auto [from, to] = Selection();
        std::string candidate = before_;
        candidate.replace(from, to - from, 1, typed);
        const bool accepted = Accepts(Normalise(candidate));
        field_.TypeChar(c);
        FUZZ_CHECK(beeps_ == (accepted ? 0 : 1));
        const bool inserted = accepted && !field_.ReadOnly;
        ExpectChange(inserted ? std::optional(candidate) : std::nullopt);
        if (inserted) {
            // The caret follows the character and keeps its distance from the end.
            const int size = static_cast<int>(field_.Text().size());
            const int caret =
                candidate == before_
                    ? from + 1
                    : std::clamp(from + 1 + size - static_cast<int>(candidate.size()), 0, size);
            FUZZ_CHECK(field_.Caret() == caret);
            FUZZ_CHECK(field_.Anchor() == caret);
        }
        CheckAlways();
    }

    void Edit(std::string text, int caret) {
        Begin();
        std::optional<std::string> written;
        if (!field_.ReadOnly)
            written = text;
        field_.Edit(std::move(text), caret);
        FUZZ_CHECK(beeps_ == 0);
        ExpectChange(written);
        CheckAlways();
    }

    void Paste(std::string_view clipboard) {
        Begin();
        const std::string_view line = clipboard.substr(0, clipboard.find_first_of("\r\n"));
        const auto [from, to] = Selection();
        std::string pasted = before_;
        pasted.replace(from, to - from, line);
        field_.Paste(clipboard);
        if (field_.ReadOnly) {
            FUZZ_CHECK(beeps_ == 0);
            ExpectChange(std::nullopt);
            CheckAlways();
            return;
        }
        const std::string regrouped = pasted == before_ ? before_ : Regroup(pasted);
        if (const auto parsed = Parse(regrouped)) {
            FUZZ_CHECK(beeps_ == 0);
            ExpectChange(pasted);
            FUZZ_CHECK(SameBits(field_.StoredValue(), *parsed));
            const int size = static_cast<int>(field_.Text().size());
            const int end = from + static_cast<int>(line.size());
            const int caret =
                pasted == before_
                    ? end
                    : std::clamp(end + size - static_cast<int>(pasted.size()), 0, size);
            FUZZ_CHECK(field_.Caret() == caret);
            CheckAlways();
            return;
        }
        // The text from before comes back, all selected: one change for the paste and
        // one for the putting back, each only if it changed the text. Putting back is a
        // change like any other and is regrouped too, which is not always a no-op: with
        // the thousands separator deleted only after the blanks are trimmed, a text such
        // as " " normalises to "0" on the second pass.
        const std::string restored = regrouped != before_ ? Regroup(before_) : before_;
        FUZZ_CHECK(beeps_ == 1);
        FUZZ_CHECK(field_.Focused());
        FUZZ_CHECK(field_.Text() == restored);
        FUZZ_CHECK(field_.Anchor() == 0);
        FUZZ_CHECK(field_.Caret() == static_cast<int>(restored.size()));
        const int expected = (pasted != before_) + (regrouped != before_);
        FUZZ_CHECK(changes_ == expected);
        if (expected == 2) {
            FUZZ_CHECK(seen_[0] == regrouped);
            FUZZ_CHECK(seen_[1] == restored);
        }
        CheckAlways();
    }

    void Cut() {
        Begin();
        const auto [from, to] = Selection();
        std::string rest = before_;
        rest.erase(from, to - from);
        const std::string removed = field_.Cut();
        FUZZ_CHECK(beeps_ == 0);
        if (field_.ReadOnly) {
            ExpectChange(std::nullopt);
        } else {
            FUZZ_CHECK(removed == before_.substr(from, to - from));
            ExpectChange(rest);
        }
        CheckAlways();
    }

    void Select(int anchor, int caret) {
        Begin();
        field_.Select(anchor, caret);
        const int size = static_cast<int>(before_.size());
        FUZZ_CHECK(field_.Anchor() == std::clamp(anchor, 0, size));
        FUZZ_CHECK(field_.Caret() == std::clamp(caret, 0, size));
        ExpectChange(std::nullopt);
        CheckAlways();
    }

    void Escape() {
        Begin();
        const std::string refreshed = Refresh(field_.StoredValue());
        field_.PressEscape();
        FUZZ_CHECK(beeps_ == 0);
        ExpectChange(refreshed);
        FUZZ_CHECK(field_.Anchor() == 0);
        FUZZ_CHECK(field_.Caret() == static_cast<int>(field_.Text().size()));
        CheckAlways();
    }

    void SetValue(long double value) {
        Begin();
        // Only an amount that reads back from its own edit text is taken.
        if (const std::string text = Refresh(value); !text.empty() && !Parse(text)) {
            const long double stored = field_.StoredValue();
            try {
                field_.SetValue(value);
                FUZZ_CHECK(false);
            } catch (const Error& error) {
                FUZZ_CHECK(std::string_view(error.what()) == "The total would be too large");
            }
            FUZZ_CHECK(SameBits(field_.StoredValue(), stored));
            ExpectChange(std::nullopt);
            CheckAlways();
            return;
        }
        field_.SetValue(value);
        FUZZ_CHECK(SameBits(field_.StoredValue(), value));
        ExpectChange(Refresh(value));
        FUZZ_CHECK(beeps_ == 0);
        CheckAlways();
    }

    void SetText(const std::string& text) {
        Begin();
        const long double stored = field_.StoredValue();
        const std::string normalised = Normalise(text);
        const auto parsed = ParseNumber(normalised, seps_.decimal);
        try {
            field_.SetText(text);
        } catch (const Error& error) {
            FUZZ_CHECK(!parsed);
            FUZZ_CHECK(SameMessage(error, normalised));
            FUZZ_CHECK(SameBits(field_.StoredValue(), stored));
            ExpectChange(std::nullopt);
            CheckAlways();
            return;
        }
        FUZZ_CHECK(parsed.has_value());
        FUZZ_CHECK(SameBits(field_.StoredValue(), *parsed));
        ExpectChange(Refresh(*parsed));
        CheckAlways();
    }

    void Value() {
        Begin();
        const auto parsed = Parse(before_);
        const long double value = field_.Value();
        FUZZ_CHECK(SameBits(value, parsed.value_or(0)));
        FUZZ_CHECK(SameBits(field_.StoredValue(), parsed.value_or(0)));
        ExpectChange(std::nullopt);
        CheckAlways();
    }

    void SetDisplayFormat(std::string_view pattern) {
        Begin();
        const bool same = pattern == field_.DisplayFormat();
        field_.SetDisplayFormat(pattern);
        FUZZ_CHECK(field_.DisplayFormat() == pattern);
        ExpectChange(same ? std::nullopt : std::optional(Refresh(field_.StoredValue())));
        CheckAlways();
    }

    Separators seps_;
    MoneyField field_;
    std::string before_;
    int changes_ = 0;
    int beeps_ = 0;
    std::vector<std::string> seen_;
};

}  // namespace
}  // namespace quilvern::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    quilvern::fuzz::Input input(data, size);
    quilvern::fuzz::Harness harness(input.Byte());
    while (!input.Empty())
        harness.Run(input);
    return 0;
}
