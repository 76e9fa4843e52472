#pragma once
// A single-line field as its view drives it: the text to show with its selection, and
// every way the user's input reaches it (a typed character, an editing key, a paste, a
// drop, a cut, the focus). The money and the quantity field implement it, each with its
// own rules; a view forwards to it and shows ShownText(), never editing text itself.
#include <functional>
#include <string>
#include <string_view>

#include "values/listeners.h"

namespace quilvern {

enum class FocusCause { Keyboard, LeftMouse };

class EditableField {
  public:
    virtual ~EditableField() = default;

    virtual const std::string& Text() const = 0;  // the text the user edits
    virtual std::string ShownText() const = 0;
    virtual bool Focused() const = 0;
    virtual int Caret() const = 0;
    virtual int Anchor() const = 0;                  // the other end of the selection
    virtual void Select(int anchor, int caret) = 0;  // clamped to the text
    virtual bool Editable() const = 0;  // false: typing, pasting and cutting change nothing

    virtual void TypeChar(char c) = 0;  // a typed character, judged by the field's rules
    // The result of an editing key (Backspace, Delete and their word forms) as a plain
    // edit makes it: taken without a check.
    virtual void Edit(std::string text, int caret) = 0;
    // Replaces the selection, from the clipboard, the X11 primary selection or a drop.
    virtual void Paste(std::string_view text) = 0;
    std::string Cut();  // removes the selection as an Edit and returns it
    virtual void FocusIn(FocusCause cause) = 0;
    virtual void FocusOut() = 0;  // throws Error and keeps the focus when the field refuses

    // After each change of the field's text. A handler refuses the change by throwing:
    // the field is then put back as it was and the error goes on to the caller.
    Listeners OnChange;
    Listeners OnRepaint;           // something the view shows has changed
    std::function<void()> OnBeep;  // the platform's warning sound

  protected:
    // The text with the selection replaced by `text` up to its first line break, as a
    // single-line edit pastes; `caret` is set after what was inserted.
    std::string WithPasted(std::string_view text, int& caret) const;
};

}  // namespace quilvern
