#include "values/number_format.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>

#include "values/eighteen_digits.h"
#include "values/error.h"
#include "values/general_form.h"

namespace quilvern {
namespace {

constexpr int kSignificantDigits = 18;
constexpr std::size_t kMaxPatternLength = 224;
constexpr int kGeneralPrecision = 15;
constexpr int kUnlimitedDecimals = 1 << 20;

bool CountsAsZero(long double value) {
    return value == 0 || std::fpclassify(value) == FP_SUBNORMAL;
}

struct Section {
    std::string_view text;
    int index;  // 0 positive, 1 negative, 2 zero
};

// Up to three sections; a ';' inside quotes does not separate.
std::array<std::string_view, 3> SplitSections(std::string_view pattern) {
    std::array<std::string_view, 3> sections{};
    std::size_t start = 0;
    int count = 0;
    char quote = 0;
    for (std::size_t i = 0; i <= pattern.size() && count < 3; ++i) {
        const bool end = i == pattern.size();
        const char c = end ? ';' : pattern[i];
        if (quote != 0) {
            if (c == quote)
                quote = 0;
            if (!end)
                continue;
        } else if (c == '\'' || c == '"') {
            quote = c;
            continue;
        }
        if (c == ';') {
            sections[count++] = pattern.substr(start, i - start);
            start = i + 1;
        }
    }
    return sections;
}

// The wanted section, or the first when the wanted one is missing or empty.
Section Choose(const std::array<std::string_view, 3>& sections, int wanted) {
    if (!sections[wanted].empty())
        return {sections[wanted], wanted};
    return {sections[0], 0};
}

bool AllBitsZero(long double value) {
    return value == 0 && !std::signbit(value);
}

int SectionFor(long double value) {
    if (AllBitsZero(value))
        return 2;
    return std::signbit(value) ? 1 : 0;
}

// Calls literal(text) for literal runs and placeholder(c) / mark(c) for '0', '#', '.', ','.
template <typename Visitor>
void Walk(std::string_view section, Visitor&& visit) {
    for (std::size_t i = 0; i < section.size(); ++i) {
        const char c = section[i];
        if (c == '\'' || c == '"') {
            const std::size_t close = section.find(c, i + 1);
            const std::size_t end = close == std::string_view::npos ? section.size() : close;
            visit.Literal(section.substr(i + 1, end - i - 1));
            i = end;
        } else if (c == '0' || c == '#') {
            visit.Placeholder(c);
        } else if (c == '.' || c == ',') {
            visit.Mark(c);
        } else {
            visit.Literal(section.substr(i, 1));
        }
    }
}

struct Layout {
    int placeholders = 0;      // P
    int integerPlaces = -1;    // I, -1 until a '.' is seen
    int beforeFirstZero = -1;  // F0, -1: no '0'
    int throughLastZero = 0;   // L0
    bool grouping = false;

    void Literal(std::string_view) {}
    void Placeholder(char c) {
        ++placeholders;
        if (c == '0') {
            if (beforeFirstZero < 0)
                beforeFirstZero = placeholders - 1;
            throughLastZero = placeholders;
        }
    }
    void Mark(char c) {
        if (c == ',')
            grouping = true;
        if (c == '.' && integerPlaces < 0)
            integerPlaces = placeholders;
    }
    int I() const { return integerPlaces < 0 ? placeholders : integerPlaces; }
    int Decimals() const { return placeholders - I(); }
    int MandatoryIntegers() const {
        return beforeFirstZero < 0 ? 0 : std::max(I() - beforeFirstZero, 0);
    }
    int MandatoryDecimals() const { return std::max(throughLastZero - I(), 0); }
};

Layout Scan(std::string_view section) {
    Layout layout;
    Walk(section, layout);
    return layout;
}

// Writes the form through the section's placeholders, literals and separators.
class Writer {
  public:
    Writer(const DecimalForm& form, const Layout& layout, Separators seps)
        : digits_(form.digits),
          k_(std::max(form.exponent, layout.I())),
          shift_(form.exponent - layout.I()),
          mandatoryIntegers_(layout.MandatoryIntegers()),
          mandatoryDecimals_(layout.MandatoryDecimals()),
          grouping_(layout.grouping),
          seps_(seps) {}

    void Literal(std::string_view text) { out_ += text; }
    void Mark(char) {}
    void Placeholder(char) {
        if (shift_ > 0) {
            // Integer digits without a placeholder of their own appear at the first one.
            for (long long i = 0; i <= shift_; ++i)
                Step(NextDigit());
            shift_ = 0;
        } else if (shift_ < 0) {
            ++shift_;
            Step(k_ <= mandatoryIntegers_ ? '0' : 0);
        } else {
            Step(NextDigit());
        }
    }
    std::string& Out() { return out_; }

  private:
    char NextDigit() {
        if (next_ < digits_.size())
            return digits_[next_++];
        return k_ > -mandatoryDecimals_ ? '0' : 0;
    }
    void Step(char c) {
        if (c != 0) {
            if (k_ == 0)
                out_ += seps_.decimal;
            out_ += c;
            if (k_ > 1 && grouping_ && k_ % 3 == 1 && seps_.thousands != '\0') {
                out_ += seps_.thousands;
            }
        }
        --k_;
    }

    const std::string& digits_;
    std::size_t next_ = 0;
    long long k_;
    long long shift_;
    int mandatoryIntegers_;
    int mandatoryDecimals_;
    bool grouping_;
    Separators seps_;
    std::string out_;
};

}  // namespace

DecimalForm ToDecimalForm(long double value, int precision, int decimals) {
    DecimalForm form;
    if (!std::isfinite(value) || CountsAsZero(value))
        return form;
    auto [digits, exponent] = ScaledEighteenDigits(std::fabs(value));
    long long keep = static_cast<long long>(exponent) + decimals;
    if (keep < 0)
        return form;
    keep = std::min<long long>(keep, precision);
    if (keep < kSignificantDigits) {
        const bool up = digits[keep] >= '5';
        digits.resize(keep);
        if (up) {
            // Half away from zero on the decimal string, not on the binary value.
            auto i = static_cast<long long>(digits.size()) - 1;
            while (i >= 0 && digits[i] == '9')
                digits[i--] = '0';
            if (i < 0) {
                digits = "1";
                ++exponent;
            } else {
                ++digits[i];
            }
        }
    }
    digits.erase(digits.find_last_not_of('0') + 1);
    form.exponent = exponent;
    if (!digits.empty()) {
        form.negative = std::signbit(value);
        form.digits = std::move(digits);
    }
    return form;
}

std::string FormatGeneral(long double value, Separators seps) {
    if (std::isnan(value))
        return "NAN";
    if (std::isinf(value))
        return value < 0 ? "-INF" : "INF";
    return WriteGeneralForm(ToDecimalForm(value, kGeneralPrecision, kUnlimitedDecimals),
                            kGeneralPrecision, seps.decimal);
}

std::string FormatByPattern(long double value, std::string_view pattern, Separators seps) {
    if (pattern.size() > kMaxPatternLength)
        throw Error("Format string too long");
    if (!std::isfinite(value))
        return FormatGeneral(value, seps);
    const auto sections = SplitSections(pattern);
    Section section = Choose(sections, SectionFor(value));
    if (section.text.empty())
        return FormatGeneral(value, seps);
    Layout layout = Scan(section.text);
    const DecimalForm form = ToDecimalForm(value, kSignificantDigits, layout.Decimals());
    if (form.exponent > kSignificantDigits)
        return FormatGeneral(value, seps);
    if (form.digits.empty()) {
        // An amount that rounds to zero is written by the zero section, without a sign.
        const Section zero = Choose(sections, 2);
        if (zero.text.empty())
            return FormatGeneral(value, seps);
        if (zero.index != section.index) {
            section = zero;
            layout = Scan(section.text);
        }
    }
    Writer writer(form, layout, seps);
    if (form.negative && section.index == 0)
        writer.Literal("-");
    Walk(section.text, writer);
    return std::move(writer.Out());
}

}  // namespace quilvern
