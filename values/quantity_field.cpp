#include "values/quantity_field.h"

#include <algorithm>
#include <limits>
#include <utility>

#include "values/whole_number.h"

namespace quilvern {
namespace {

constexpr int kWheelNotch = 120;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

std::int32_t Clamp32(std::int64_t value) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        value, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

}  // namespace

std::int32_t QuantityField::Value() const {
    if (text_.empty())
        return MinValue;
    return ParseWholeNumber(text_).value_or(MinValue);
}

void QuantityField::SetValue(std::int32_t value) {
    std::string text = std::to_string(InRange(value));
    const int end = static_cast<int>(text.size());
    ReplaceText(std::move(text), end);
}

void QuantityField::SetText(std::string_view text) {
    ReplaceText(std::string(text), static_cast<int>(text.size()));
}

void QuantityField::Select(int anchor, int caret) {
    const int size = static_cast<int>(text_.size());
    anchor_ = std::clamp(anchor, 0, size);
    caret_ = std::clamp(caret, 0, size);
}

void QuantityField::TypeChar(char c) {
    const bool accepted = EditorEnabled && IsDigit(c);
    if (!accepted) {
        Beep();
        return;
    }
    if (ReadOnly)
        return;
    const auto [from, to] = std::minmax(anchor_, caret_);
    std::string text = text_;
    text.replace(from, to - from, 1, c);
    ReplaceText(std::move(text), from + 1);
}

void QuantityField::Edit(std::string text, int caret) {
    if (!Editable())
        return;
    ReplaceText(std::move(text), caret);
}

void QuantityField::Paste(std::string_view text) {
    int caret = 0;
    std::string pasted = WithPasted(text, caret);
    Edit(std::move(pasted), caret);
}

void QuantityField::StepUp() {
    if (ReadOnly)
        return Beep();
    if (OnUpClick)
        return OnUpClick();
    Step(Increment);
}

void QuantityField::StepDown() {
    if (ReadOnly)
        return Beep();
    if (OnDownClick)
        return OnDownClick();
    Step(-std::int64_t{Increment});
}

void QuantityField::Wheel(int delta) {
    if (!focused_ || ReadOnly)
        return;
    const int notches = delta / kWheelNotch;
    if (notches != 0)
        Step(std::int64_t{notches} * Increment);
}

void QuantityField::FocusIn(FocusCause) {
    focused_ = true;
    if (AutoSelect)
        Select(0, static_cast<int>(text_.size()));
    OnRepaint.Raise();
}

void QuantityField::FocusOut() {
    focused_ = false;
    const std::int32_t value = Value();
    if (InRange(value) != value)
        SetValue(value);
    OnRepaint.Raise();
}

std::int32_t QuantityField::InRange(std::int64_t value) const {
    if (MinValue != MaxValue)
        value = std::clamp<std::int64_t>(value, MinValue, MaxValue);
    return Clamp32(value);
}

// A step past the 32-bit limits stops at the limit.
void QuantityField::Step(std::int64_t delta) {
    SetValue(Clamp32(std::int64_t{Value()} + delta));
}

// A handler that throws refuses the change: the text and the selection are put back.
void QuantityField::ReplaceText(std::string text, int caret) {
    if (text == text_) {
        Select(caret, caret);
        OnRepaint.Raise();
        return;
    }
    std::string before = std::exchange(text_, std::move(text));
    const int anchorBefore = anchor_;
    const int caretBefore = caret_;
    Select(caret, caret);
    OnRepaint.Raise();
    OnChange.RaiseOrPutBack([&] {
        text_ = std::move(before);
        Select(anchorBefore, caretBefore);
        OnRepaint.Raise();
    });
}

void QuantityField::Beep() {
    if (OnBeep)
        OnBeep();
}

int StepRepeat::Press() {
    pressed_ = true;
    return kFirstDelayMs;
}

bool StepRepeat::Tick(bool held, int* nextMs) {
    *nextMs = kRepeatMs;
    return pressed_ && held;
}

bool StepRepeat::Release(bool overButton) {
    const bool step = pressed_ && overButton;
    pressed_ = false;
    return step;
}

}  // namespace quilvern
