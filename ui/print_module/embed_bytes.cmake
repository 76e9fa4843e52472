# Writes the bytes of INPUT into OUTPUT as the C++ array kPrintModule.
file(READ ${INPUT} hex HEX)
string(LENGTH "${hex}" digits)
math(EXPR size "${digits} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "'\\\\x\\1'," bytes "${hex}")
string(REGEX REPLACE "(([^,]*,){24})" "\\1\n" bytes "${bytes}")
file(WRITE ${OUTPUT} "// Generated from the print module; see ui/print_module/CMakeLists.txt.
#include <cstddef>
namespace quilvern {
extern const char kPrintModule[];
extern const std::size_t kPrintModuleSize;
alignas(16) const char kPrintModule[] = {
${bytes}};
const std::size_t kPrintModuleSize = ${size};
}  // namespace quilvern
")
