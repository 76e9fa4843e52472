#pragma once
// A money amount being edited: the stored value, the text the user edits, and the
// rules that turn one into the other. Knows nothing of widgets; a view shows
// ShownText() and forwards the user's input here. It only ever holds an amount that
// reads back from its own text.
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "values/editable_field.h"
#include "values/money.h"
#include "values/number_format.h"

namespace quilvern {

class MoneyField : public EditableField {
  public:
    MoneyField();

    // Parses the edit text and stores what it reads, repainting when that changes the
    // stored value; text that does not parse stores MinValue and returns 0.
    Money Value();
    // Raises OnChange only if the edit text changes. An amount whose edit text would not
    // read back (not finite, or 1E4932 and beyond once rounded to 15 digits) is refused
    // with Error("The total would be too large"), changing nothing.
    void SetValue(Money value);
    const std::string& Text() const override { return text_; }
    void SetText(std::string_view text);  // throws Error when the text is no number
    std::string FormattedText() const;    // the stored value in DisplayFormat
    Money StoredValue() const { return value_; }

    const std::string& DisplayFormat() const { return displayFormat_; }
    void SetDisplayFormat(std::string_view pattern);
    void SetSeparators(Separators seps);

    // What a view shows: the edit text with the focus, FormattedText without it.
    std::string ShownText() const override { return focused_ ? text_ : FormattedText(); }
    bool Focused() const override { return focused_; }
    int Caret() const override { return caret_; }
    int Anchor() const override { return anchor_; }
    void Select(int anchor, int caret) override;
    bool Editable() const override { return !ReadOnly; }

    // The user's input, as the keyboard, the clipboard and the focus deliver it.
    void TypeChar(char c) override;
    void PressEscape();
    void Edit(std::string text, int caret) override;
    // Undone with the warning sound when the edit text then does not parse.
    void Paste(std::string_view text) override;
    void FocusIn(FocusCause cause) override;
    // Throws Error and keeps the focus when the text is no number. A read-only field's
    // text is never the user's, so it is not read back.
    void FocusOut() override;

    // What a refused change puts back: everything it may have touched.
    struct State {
        Money value;
        std::string text;
        int anchor;
        int caret;
    };
    State SaveState() const { return {value_, text_, anchor_, caret_}; }
    void RestoreState(State state);  // raises no OnChange; repaints

    unsigned DecimalPlaces = 2;
    bool ZeroEmpty = true;
    bool FormatOnEditing = false;
    bool BeepOnError = true;
    Money MinValue = 0;
    Money MaxValue = 0;
    bool ReadOnly = false;
    bool AutoSelect = true;

  private:
    std::string EditPattern() const;
    Money InRange(Money value) const;
    std::optional<long double> Parse(std::string_view text) const;
    std::string EditText(Money value) const;  // empty for zero, else in the edit pattern
    void Store(Money value, std::string text);
    void RefreshEditText() { Store(value_, EditText(value_)); }
    void RegroupEditText();
    void ReplaceText(std::string text, int caret) { ReplaceText(std::move(text), caret, value_); }
    void ReplaceText(std::string text, int caret, Money value);
    void Changed(State& before);
    void Beep();
    void Repaint();
    bool Accepts(std::string_view candidate) const;

    Money value_ = 0;
    std::string text_;
    std::string displayFormat_ = "$,0.00;-$,0.00";
    Separators seps_;
    int caret_ = 0;
    int anchor_ = 0;
    bool focused_ = false;
    bool formatting_ = false;
};

}  // namespace quilvern
