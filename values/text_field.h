#pragma once
// A single-line text (a product name, the title text, the currency selector's text)
// with a change notification raised after every change of the text, and only then.
#include <string>
#include <string_view>

#include "values/listeners.h"

namespace quilvern {

class TextField {
  public:
    explicit TextField(std::string text = {}) : text_(std::move(text)) {}

    const std::string& Text() const { return text_; }
    void SetText(std::string_view text) {
        if (text == text_)
            return;
        text_ = text;
        OnRepaint.Raise();
        OnChange.Raise();
    }

    Listeners OnChange;
    Listeners OnRepaint;

  private:
    std::string text_;
};

}  // namespace quilvern
