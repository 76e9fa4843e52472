// A quantity field driven by any sequence of keys, edits, steps, wheel turns, focus
// changes and writes. The first byte is the set-up (bit 0: read-only, bit 1: editor
// disabled, bit 2: no auto-select; the sheet's own fields have none of these); then each
// operation is a code byte followed by its arguments.
//
// After every operation: OnChange was raised exactly once if the text changed and never
// otherwise, and Value reads the text as a whole number, or 0.
#include "values/quantity_field.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

#include "fuzz/fuzz_support.h"
#include "values/whole_number.h"

namespace quilvern::fuzz {
namespace {

constexpr std::size_t kMaxText = 24;
constexpr int kNotch = 120;

enum Op : std::uint8_t {
    kTypeChar,
    kTypeText,
    kEdit,
    kStepUp,
    kStepDown,
    kWheel,
    kSetValue,
    kSetText,
    kFocusIn,
    kFocusOut,
    kSelect,
    kValue,
    kOpCount,
};

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The plainest texts, blanks, a sign and decimal digits, read without the parser:
// false when the text is not of this kind, else true with the value (0 when out of
// the 32-bit range).
bool PlainDecimal(std::string_view text, std::int32_t* value) {
    text.remove_prefix(std::min(text.find_first_not_of(' '), text.size()));
    bool negative = false;
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    if (text.empty() || !std::all_of(text.begin(), text.end(), IsDigit))
        return false;
    *value = 0;
    std::int64_t magnitude = 0;
    for (char c : text) {
        magnitude = magnitude * 10 + (c - '0');
        if (magnitude > std::int64_t{1} << 32)
            return true;
    }
    const std::int64_t number = negative ? -magnitude : magnitude;
    if (number >= std::numeric_limits<std::int32_t>::min() &&
        number <= std::numeric_limits<std::int32_t>::max()) {
        *value = static_cast<std::int32_t>(number);
    }
    return true;
}

class Harness {
  public:
    explicit Harness(std::uint8_t setup) {
        field_.ReadOnly = (setup & 1) != 0;
        field_.EditorEnabled = (setup & 2) == 0;
        field_.AutoSelect = (setup & 4) == 0;
        field_.OnChange.Add([this] {
            ++changes_;
            seen_ = field_.Text();
        });
        field_.OnBeep = [this] { ++beeps_; };
        CheckAlways();
    }

    void Run(Input& input) {
        switch (input.Byte() % kOpCount) {
            case kTypeChar:
                return TypeChar(input.Char());
            case kTypeText:
                for (char c : input.Text(12))
                    TypeChar(c);
                return;
            case kEdit: {
                std::string text = input.Text(kMaxText);
                return Edit(std::move(text), static_cast<std::int8_t>(input.Byte()));
            }
            case kStepUp:
                return Step(+1);
            case kStepDown:
                return Step(-1);
            case kWheel:
                return Wheel(input.Int16());
            case kSetValue:
                return SetValue(input.Int32());
            case kSetText:
                return SetText(input.Text(kMaxText));
            case kFocusIn:
                return Focus(true);
            case kFocusOut:
                return Focus(false);
            case kSelect: {
                const int anchor = static_cast<std::int8_t>(input.Byte());
                const int caret = static_cast<std::int8_t>(input.Byte());
                return Select(anchor, caret);
            }
            case kValue:
                Begin();
                return Finish(std::nullopt);
            default:
                return;
        }
    }

  private:
    void Begin() {
        before_ = field_.Text();
        valueBefore_ = field_.Value();
        changes_ = 0;
        beeps_ = 0;
    }

    // `written` is the text the operation puts in place, if any.
    void Finish(const std::optional<std::string>& written) {
        const std::string expected = written.value_or(before_);
        FUZZ_CHECK(field_.Text() == expected);
        FUZZ_CHECK(changes_ == (expected != before_ ? 1 : 0));
        if (changes_ == 1)
            FUZZ_CHECK(seen_ == expected);
        CheckAlways();
    }

    void CheckAlways() {
        const std::string& text = field_.Text();
        const int size = static_cast<int>(text.size());
        FUZZ_CHECK(field_.Caret() >= 0 && field_.Caret() <= size);
        FUZZ_CHECK(field_.Anchor() >= 0 && field_.Anchor() <= size);
        const std::int32_t value = field_.Value();
        FUZZ_CHECK(value == (text.empty() ? 0 : ParseWholeNumber(text).value_or(0)));
        if (std::int32_t plain = 0; PlainDecimal(text, &plain))
            FUZZ_CHECK(value == plain);
        // Reading changes nothing.
        FUZZ_CHECK(field_.Text() == text && field_.Value() == value);
    }

    // Past the 32-bit limits a step stops at the limit: the field's own choice, as no
    // range of the sheet's fields ever stops it.
    std::string Stepped(std::int64_t delta) const {
        const std::int64_t target = std::int64_t{valueBefore_} + delta;
        const std::int64_t kept =
            std::clamp<std::int64_t>(target, std::numeric_limits<std::int32_t>::min(),
                                     std::numeric_limits<std::int32_t>::max());
        return std::to_string(kept);
    }

    void TypeChar(char c) {
        // The view hands over printable characters and Enter; other control keys are
        // the plain edit's business and arrive as an Edit.
        if (static_cast<unsigned char>(c) < 32)
            c = '\r';
        Begin();
        const int from = std::min(field_.Anchor(), field_.Caret());
        const int to = std::max(field_.Anchor(), field_.Caret());
        field_.TypeChar(c);
        const bool accepted = field_.EditorEnabled && IsDigit(c);
        FUZZ_CHECK(beeps_ == (accepted ? 0 : 1));
        std::optional<std::string> written;
        if (accepted && !field_.ReadOnly) {
            written = before_;
            written->replace(from, to - from, 1, c);
            FUZZ_CHECK(field_.Caret() == from + 1 && field_.Anchor() == from + 1);
        }
        Finish(written);
    }

    void Edit(std::string text, int caret) {
        Begin();
        std::optional<std::string> written;
        if (field_.EditorEnabled && !field_.ReadOnly)
            written = text;
        field_.Edit(std::move(text), caret);
        FUZZ_CHECK(beeps_ == 0);
        Finish(written);
    }

    void Step(int direction) {
        Begin();
        if (direction > 0)
            field_.StepUp();
        else
            field_.StepDown();
        FUZZ_CHECK(beeps_ == (field_.ReadOnly ? 1 : 0));
        Finish(field_.ReadOnly ? std::nullopt : std::optional(Stepped(direction)));
    }

    void Wheel(int delta) {
        Begin();
        field_.Wheel(delta);
        FUZZ_CHECK(beeps_ == 0);
        // Whole notches only, counted towards zero; nothing without the focus.
        const int notches = delta / kNotch;
        const bool steps = field_.Focused() && !field_.ReadOnly && notches != 0;
        Finish(steps ? std::optional(Stepped(notches)) : std::nullopt);
    }

    void SetValue(std::int32_t value) {
        Begin();
        field_.SetValue(value);
        Finish(std::to_string(value));
    }

    void SetText(const std::string& text) {
        Begin();
        field_.SetText(text);
        Finish(text);
    }

    void Focus(bool in) {
        Begin();
        if (in) {
            field_.FocusIn(FocusCause::Keyboard);
            FUZZ_CHECK(field_.Focused());
            if (field_.AutoSelect) {
                FUZZ_CHECK(field_.Anchor() == 0);
                FUZZ_CHECK(field_.Caret() == static_cast<int>(before_.size()));
            }
        } else {
            field_.FocusOut();
            FUZZ_CHECK(!field_.Focused());
        }
        // Without a range, taking or losing the focus never rewrites the text.
        FUZZ_CHECK(beeps_ == 0);
        Finish(std::nullopt);
    }

    void Select(int anchor, int caret) {
        Begin();
        field_.Select(anchor, caret);
        const int size = static_cast<int>(before_.size());
        FUZZ_CHECK(field_.Anchor() == std::clamp(anchor, 0, size));
        FUZZ_CHECK(field_.Caret() == std::clamp(caret, 0, size));
        Finish(std::nullopt);
    }

    QuantityField field_;
    std::string before_;
    std::int32_t valueBefore_ = 0;
    int changes_ = 0;
    int beeps_ = 0;
    std::string seen_;
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
