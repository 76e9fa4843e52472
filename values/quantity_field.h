#pragma once
// A quantity being edited: a signed 32-bit whole number kept as the text the user
// typed; Value is read from that text each time. Knows nothing of widgets.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "values/editable_field.h"

namespace quilvern {

class QuantityField : public EditableField {
  public:
    std::int32_t Value() const;         // MinValue when the text is no whole number
    void SetValue(std::int32_t value);  // raises OnChange only if the text changes
    const std::string& Text() const override { return text_; }
    void SetText(std::string_view text);

    std::string ShownText() const override { return text_; }
    int Caret() const override { return caret_; }
    int Anchor() const override { return anchor_; }
    void Select(int anchor, int caret) override;
    bool Editable() const override { return EditorEnabled && !ReadOnly; }

    void TypeChar(char c) override;                   // digits only; others beep
    void Edit(std::string text, int caret) override;  // Backspace, Delete
    void Paste(std::string_view text) override;       // without a check
    void StepUp();
    void StepDown();
    void Wheel(int delta);                    // 120 per notch, positive away from the user
    void FocusIn(FocusCause cause) override;  // the same for every cause
    void FocusOut() override;
    bool Focused() const override { return focused_; }

    std::int32_t MinValue = 0;
    std::int32_t MaxValue = 0;
    std::int32_t Increment = 1;
    bool EditorEnabled = true;
    bool ReadOnly = false;
    bool AutoSelect = true;

    std::function<void()> OnUpClick;
    std::function<void()> OnDownClick;

  private:
    std::int32_t InRange(std::int64_t value) const;
    void Step(std::int64_t delta);
    void ReplaceText(std::string text, int caret);
    void Beep();

    std::string text_;
    int caret_ = 0;
    int anchor_ = 0;
    bool focused_ = false;
};

// The auto-repeat of a step button: one step at a release over the button, a first
// repeat 400 ms after the press, then one every 100 ms while the button is held.
class StepRepeat {
  public:
    static constexpr int kFirstDelayMs = 400;
    static constexpr int kRepeatMs = 100;

    int Press();                        // returns the timer interval to start
    bool Tick(bool held, int* nextMs);  // true: make one step
    bool Release(bool overButton);      // true: make one step; the timer stops
    bool Pressed() const { return pressed_; }

  private:
    bool pressed_ = false;
};

}  // namespace quilvern
