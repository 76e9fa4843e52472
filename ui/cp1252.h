#pragma once
// The boundary between the program's Windows-1252 bytes and Qt's Unicode strings.
#include <QString>
#include <string>
#include <string_view>

namespace quilvern {

QString FromCp1252(std::string_view bytes);
// A character that Windows-1252 cannot hold becomes '?'.
std::string ToCp1252(const QString& text);

}  // namespace quilvern
