#pragma once
// A money amount being edited: the stored value, the text the user edits, and the
// rules that turn one into the other. Knows nothing of widgets; a view shows
// ShownText() and forwards the user's input here.
#include <functional>
#include <string>
#include <string_view>

#include "values/listeners.h"
#include "values/money.h"
#include "values/number_format.h"

namespace quilvern {

enum class FocusCause { Keyboard, LeftMouse };

class MoneyField {
  public:
    MoneyField();

    Money Value();               // parses the edit text; 0 when it does not parse
    void SetValue(Money value);  // raises OnChange only if the edit text changes
    const std::string& Text() const { return text_; }
    void SetText(std::string_view text);  // throws Error when the text is no number
    std::string FormattedText() const;    // the stored value in DisplayFormat
    Money StoredValue() const { return value_; }

    const std::string& DisplayFormat() const { return displayFormat_; }
    void SetDisplayFormat(std::string_view pattern);
    void SetSeparators(Separators seps);

    // What a view shows: the edit text with the focus, FormattedText without it.
    std::string ShownText() const { return focused_ ? text_ : FormattedText(); }
    bool Focused() const { return focused_; }
    int Caret() const { return caret_; }
    int Anchor() const { return anchor_; }  // the other end of the selection
    void Select(int anchor, int caret);     // clamped to the text

    // The user's input, as the keyboard, the clipboard and the focus deliver it.
    void TypeChar(char c);  // a character of code 32 or more
    void PressEscape();
    void Edit(std::string text, int caret);  // Backspace, Delete: the plain edit's result
    void Paste(std::string_view clipboard);
    std::string Cut();  // removes and returns the selection
    void FocusIn(FocusCause cause);
    void FocusOut();  // throws Error and keeps the focus when the text is no number

    unsigned DecimalPlaces = 2;
    bool ZeroEmpty = true;
    bool FormatOnEditing = false;
    bool BeepOnError = true;
    Money MinValue = 0;
    Money MaxValue = 0;
    bool ReadOnly = false;
    bool AutoSelect = true;

    Listeners OnChange;            // after each change of the edit text, see Changed()
    std::function<void()> OnBeep;  // the platform's warning sound
    Listeners OnRepaint;           // something the view shows has changed

  private:
    std::string EditPattern() const;
    Money InRange(Money value) const;
    std::optional<long double> ParseEditText() const;
    void RefreshEditText();
    void RegroupEditText();
    void ReplaceText(std::string text, int caret);
    void Changed();
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
