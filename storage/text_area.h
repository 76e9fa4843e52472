#pragma once
// The text of a multi-line text area (a report, the scratch area, the notes): single
// Windows-1252 bytes with CR LF line breaks, built line by line, written to and read
// from files. Works the same whether a view shows it or not.
#include <cstddef>
#include <string>
#include <string_view>

#include "values/listeners.h"

namespace quilvern {

class TextArea {
  public:
    // Larger texts are refused with "Text exceeds memo capacity".
    static constexpr std::size_t kCapacity = std::size_t{64} << 20;

    const std::string& Text() const { return text_; }
    void SetText(std::string text);  // the user's edits, as the view delivers them
    void Clear();
    // Appends S and CR LF; after a text not ending in CR LF, CR LF and S instead.
    void AddLine(std::string_view line);

    // Replaces the file with the whole text, safely: the old file stays intact on
    // failure ("Cannot create file %s", "Stream write error"). No permission bit outside
    // `allowed` is set on it (see PermissionsOf).
    void WriteToFile(const std::string& path, unsigned allowed = 07777) const;
    // Replaces the text with the file's bytes, every line break made CR LF
    // ("Cannot open file %s", "Text exceeds memo capacity").
    void ReadFromFile(const std::string& path);

    Listeners OnRepaint;  // the text changed; a view shows it again

  private:
    void Replace(std::string text);

    std::string text_;
};

// Every CR LF, lone CR and lone LF becomes one CR LF.
std::string NormaliseLineBreaks(std::string_view bytes);

}  // namespace quilvern
