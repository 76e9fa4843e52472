#include "storage/text_area.h"

#include <utility>

#include "storage/text_files.h"
#include "values/error.h"

namespace quilvern {
namespace {

constexpr std::string_view kLineBreak = "\r\n";

void CheckCapacity(std::size_t size) {
    if (size > TextArea::kCapacity) {
        throw Error("Text exceeds memo capacity");
    }
}

}  // namespace

std::string NormaliseLineBreaks(std::string_view bytes) {
    // Sized in a first pass so that a large file of short lines is not copied line by
    // line into a growing string.
    std::size_t size = bytes.size();
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r') {
            if (i + 1 < bytes.size() && bytes[i + 1] == '\n') {
                ++i;
            } else {
                ++size;
            }
        } else if (bytes[i] == '\n') {
            ++size;
        }
    }
    if (size == bytes.size()) {
        return std::string(bytes);
    }

    std::string text(size, '\0');
    char* out = text.data();
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        char c = bytes[i];
        if (c != '\r' && c != '\n') {
            *out++ = c;
            continue;
        }
        *out++ = '\r';
        *out++ = '\n';
        // A CR swallows the LF right after it: the pair is one break, not two.
        if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') {
            ++i;
        }
    }
    return text;
}

void TextArea::SetText(std::string text) {
    Replace(std::move(text));
}

void TextArea::Clear() {
    Replace({});
}

void TextArea::AddLine(std::string_view line) {
    CheckCapacity(text_.size() + line.size() + kLineBreak.size());
    if (text_.empty() || text_.ends_with(kLineBreak)) {
        text_.append(line);
        text_.append(kLineBreak);
    } else {
        text_.append(kLineBreak);
        text_.append(line);
    }
    OnRepaint.Raise();
}

void TextArea::WriteToFile(const std::string& path, unsigned allowed) const {
    WriteFileSafely(path, text_, allowed);
}

void TextArea::ReadFromFile(const std::string& path) {
    // A file too large to hold is refused before a byte of it is read.
    Replace(NormaliseLineBreaks(ReadFileBytes(path, kCapacity)));
}

void TextArea::Replace(std::string text) {
    CheckCapacity(text.size());
    if (text == text_) {
        return;
    }
    text_ = std::move(text);
    OnRepaint.Raise();
}

}  // namespace quilvern
