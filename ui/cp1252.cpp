#include "ui/cp1252.h"

#include <array>

namespace quilvern {
namespace {

// Bytes 0x80..0x9F; 0 marks the five bytes that the code page leaves undefined.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char16_t ToUnicode(unsigned char byte) {
    if (byte >= 0x80 && byte < 0xA0) {
        const char16_t mapped = kHighControls[byte - 0x80];
        return mapped != 0 ? mapped : byte;  // undefined bytes pass through as C1 controls
    }
    return byte;
}

char ToByte(char16_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<char>(c);
    for (std::size_t i = 0; i < kHighControls.size(); ++i) {
        if (kHighControls[i] == c || (kHighControls[i] == 0 && c == 0x80 + i)) {
            return static_cast<char>(0x80 + i);
        }
    }
    return '?';
}

}  // namespace

QString FromCp1252(std::string_view bytes) {
    QString text(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        text[static_cast<qsizetype>(i)] = QChar(ToUnicode(static_cast<unsigned char>(bytes[i])));
    }
    return text;
}

std::string ToCp1252(const QString& text) {
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
        bytes += c.isSurrogate() ? '?' : ToByte(c.unicode());
    }
    return bytes;
}

}  // namespace quilvern
