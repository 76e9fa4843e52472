#include "values/money_field.h"

#include <algorithm>
#include <cmath>

#include "values/error.h"
#include "values/money_text.h"

namespace quilvern {
namespace {

constexpr std::size_t kCheckedLength = 63;  // typed text is checked on this many characters

constexpr const char* kTooLarge = "The total would be too large";
// Below this an amount's edit text, at 15 significant digits at most, always reads back.
constexpr Money kNearTheLimit = 1E4931L;

std::string NotValidMessage(std::string_view normalised) {
    return Format("'%s' is not a valid floating point value", normalised);
}

}  // namespace

MoneyField::MoneyField() = default;

Money MoneyField::Value() {
    const auto parsed = Parse(text_);
    const Money before = value_;
    value_ = parsed ? *parsed : MinValue;
    if (!(value_ == before))
        Repaint();
    return parsed ? value_ : 0;
}

void MoneyField::SetValue(Money value) {
    value = InRange(value);
    std::string text = EditText(value);
    // Reading the field parses this text: an amount whose text reads as no number (one
    // that is not finite, or one that rounds to 1E4932 or beyond) would read as 0. Only
    // such amounts can fail, so the others skip the parse: it is on every keystroke's path.
    const bool nearTheLimit = !std::isfinite(value) || std::fabs(value) >= kNearTheLimit;
    if (nearTheLimit && !text.empty() && !Parse(text))
        throw Error(kTooLarge);
    Store(value, std::move(text));
    Repaint();
}

void MoneyField::SetText(std::string_view text) {
    const std::string normalised = NormaliseMoneyText(text, seps_);
    const auto parsed = ParseNumber(normalised, seps_.decimal);
    if (!parsed)
        throw Error(NotValidMessage(normalised));
    SetValue(*parsed);
}

std::string MoneyField::FormattedText() const {
    if (displayFormat_.empty())
        return FormatGeneral(value_, seps_);
    return FormatByPattern(value_, displayFormat_, seps_);
}

void MoneyField::SetDisplayFormat(std::string_view pattern) {
    if (pattern == displayFormat_)
        return;
    displayFormat_ = pattern;
    Repaint();
    RefreshEditText();
}

void MoneyField::SetSeparators(Separators seps) {
    seps_ = seps;
    if (!focused_) {
        formatting_ = true;
        RefreshEditText();
        formatting_ = false;
    }
    Repaint();
}

void MoneyField::Select(int anchor, int caret) {
    const int size = static_cast<int>(text_.size());
    anchor_ = std::clamp(anchor, 0, size);
    caret_ = std::clamp(caret, 0, size);
}

void MoneyField::TypeChar(char c) {
    if ((c == '.' || c == ',') && c != seps_.thousands)
        c = seps_.decimal;
    const auto [from, to] = std::minmax(anchor_, caret_);
    std::string candidate = text_;
    candidate.replace(from, to - from, 1, c);
    if (!Accepts(NormaliseMoneyText(candidate, seps_))) {
        Beep();
        return;
    }
    if (ReadOnly)
        return;
    ReplaceText(std::move(candidate), from + 1);
}

void MoneyField::PressEscape() {
    RefreshEditText();
    Select(0, static_cast<int>(text_.size()));
    Repaint();
}

void MoneyField::Edit(std::string text, int caret) {
    if (ReadOnly)
        return;
    ReplaceText(std::move(text), caret);
}

void MoneyField::Paste(std::string_view text) {
    if (ReadOnly)
        return;
    const std::string before = text_;
    int caret = 0;
    std::string pasted = WithPasted(text, caret);
    ReplaceText(std::move(pasted), caret);
    if (const auto parsed = Parse(text_)) {
        value_ = *parsed;
        return;
    }
    ReplaceText(before, static_cast<int>(before.size()));
    Select(0, static_cast<int>(text_.size()));
    Beep();
    Repaint();
}

void MoneyField::FocusIn(FocusCause cause) {
    focused_ = true;
    formatting_ = true;
    RefreshEditText();
    formatting_ = false;
    if (FormatOnEditing)
        RegroupEditText();
    if (AutoSelect && cause != FocusCause::LeftMouse) {
        Select(0, static_cast<int>(text_.size()));
    } else {
        Select(caret_, caret_);
    }
    Repaint();
}

void MoneyField::FocusOut() {
    if (!ReadOnly) {
        const auto parsed = Parse(text_);
        if (!parsed) {
            Select(0, static_cast<int>(text_.size()));
            Repaint();
            throw Error(NotValidMessage(NormaliseMoneyText(text_, seps_)));
        }
        value_ = *parsed;
    }
    focused_ = false;
    formatting_ = true;
    RefreshEditText();
    formatting_ = false;
    Select(0, 0);
    Repaint();
}

std::string MoneyField::EditPattern() const {
    if (DecimalPlaces == 0)
        return "0";
    return "0." + std::string(DecimalPlaces, '#');
}

Money MoneyField::InRange(Money value) const {
    if (MinValue == MaxValue)
        return value;
    if (MinValue < MaxValue)
        return std::clamp(value, MinValue, MaxValue);
    if (MaxValue == 0)
        return value < MinValue ? MinValue : value;
    if (MinValue == 0)
        return value > MaxValue ? MaxValue : value;
    return value;
}

std::optional<long double> MoneyField::Parse(std::string_view text) const {
    const auto parsed = ParseNumber(NormaliseMoneyText(text, seps_), seps_.decimal);
    if (!parsed)
        return std::nullopt;
    return InRange(*parsed);
}

void MoneyField::RestoreState(State state) {
    value_ = state.value;
    text_ = std::move(state.text);
    Select(state.anchor, state.caret);
    Repaint();
}

std::string MoneyField::EditText(Money value) const {
    return value == 0 && ZeroEmpty ? "" : FormatByPattern(value, EditPattern(), seps_);
}

// Stores the value and its edit text, as one change.
void MoneyField::Store(Money value, std::string text) {
    if (text == text_) {
        value_ = value;
        return;
    }
    const int end = static_cast<int>(text.size());
    ReplaceText(std::move(text), end, value);
}

void MoneyField::RegroupEditText() {
    formatting_ = true;
    const std::string before = text_;
    std::string text = before.empty() || before == "-" ? before : NormaliseMoneyText(before, seps_);
    const auto grouping =
        displayFormat_.find(',') == std::string::npos ? Grouping::Off : Grouping::On;
    text = GroupDigits(text, grouping, seps_);
    // The caret keeps its distance from the end of the text.
    const int caret = caret_ + static_cast<int>(text.size()) - static_cast<int>(before.size());
    text_ = std::move(text);
    Select(caret, caret);
    formatting_ = false;
}

void MoneyField::ReplaceText(std::string text, int caret, Money value) {
    if (text == text_) {
        value_ = value;
        Select(caret, caret);
        Repaint();
        return;
    }
    State before{value_, std::exchange(text_, std::move(text)), anchor_, caret_};
    value_ = value;
    Select(caret, caret);
    Changed(before);
}

// A handler that throws refuses the change: the field is put back as it was.
void MoneyField::Changed(State& before) {
    if (formatting_)
        return;
    if (focused_ && FormatOnEditing)
        RegroupEditText();
    Repaint();
    OnChange.RaiseOrPutBack([&] { RestoreState(std::move(before)); });
}

void MoneyField::Beep() {
    if (BeepOnError && OnBeep)
        OnBeep();
}

void MoneyField::Repaint() {
    OnRepaint.Raise();
}

bool MoneyField::Accepts(std::string_view candidate) const {
    const char decimal = seps_.decimal;
    if (const auto point = candidate.find(decimal); point != std::string_view::npos) {
        const auto mark = candidate.find_first_of("Ee", point);
        const auto end = mark == std::string_view::npos ? candidate.size() : mark;
        if (end - point - 1 > DecimalPlaces)
            return false;
    }
    const bool allowed = std::all_of(candidate.begin(), candidate.end(), [&](char c) {
        return (c >= '0' && c <= '9') || c == '+' || c == '-' || c == 'E' || c == 'e' ||
               c == decimal;
    });
    if (!allowed)
        return false;
    const auto parsed = ParseNumber(candidate.substr(0, kCheckedLength), decimal);
    if (!parsed)
        return false;
    return !(MinValue >= 0 && MaxValue > 0 && *parsed < 0);
}

}  // namespace quilvern
