// A notes or report file of any bytes read into a text area: every kind of line break
// becomes CR LF, and what is read is what is written back, byte for byte.
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/fuzz_support.h"
#include "storage/text_area.h"

namespace quilvern::fuzz {
namespace {

// CR LF stays one break; a CR or an LF on its own becomes one.
std::string CrLfBreaks(std::string_view bytes) {
    std::string text;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r' || bytes[i] == '\n') {
            text += "\r\n";
            if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
                ++i;
        } else {
            text += bytes[i];
        }
    }
    return text;
}

void CheckBreaks(std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r')
            FUZZ_CHECK(i + 1 < text.size() && text[i + 1] == '\n');
        if (text[i] == '\n')
            FUZZ_CHECK(i > 0 && text[i - 1] == '\r');
    }
}

}  // namespace
}  // namespace quilvern::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quilvern;
    using namespace quilvern::fuzz;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::string in = ScratchFile("in.txt");
    const std::string out = ScratchFile("out.txt");
    WriteBytes(in, bytes);

    TextArea area;
    int repaints = 0;
    area.OnRepaint.Add([&] { ++repaints; });
    area.ReadFromFile(in);
    const std::string text = area.Text();
    CheckBreaks(text);
    FUZZ_CHECK(text == CrLfBreaks(bytes));
    FUZZ_CHECK(text == NormaliseLineBreaks(bytes));
    // A view is told exactly when the text changed.
    FUZZ_CHECK(repaints == (text.empty() ? 0 : 1));

    area.WriteToFile(out);
    FUZZ_CHECK(ReadBytes(out) == text);
    repaints = 0;
    area.ReadFromFile(out);
    FUZZ_CHECK(area.Text() == text);
    FUZZ_CHECK(repaints == 0);
    return 0;
}
