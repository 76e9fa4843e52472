#pragma once
// A single-line text (a product name, the title text, the currency selector's text)
// with a change notification raised after every change of the text, and only then.
// It holds no control characters: each one written becomes a blank, so that a pasted
// line break can never split a line of a report or of the settings file. It holds no
// more than the settings file keeps of a value, so what is shown is what comes back.
#include <cstddef>
#include <string>
#include <string_view>

#include "values/listeners.h"

namespace quilvern {

class TextField {
  public:
    static constexpr std::size_t kMaxLength = 2047;  // bytes; the rest of a longer text is cut

    explicit TextField(std::string text = {});

    const std::string& Text() const { return text_; }
    void SetText(std::string_view text);  // a handler that throws refuses the change

    Listeners OnChange;
    Listeners OnRepaint;

  private:
    std::string text_;
};

}  // namespace quilvern
