#include "app/program.h"

// The installed build (the package, "make install") is the same program built with
// QUILVERN_INSTALLED_COPY: it keeps each user's files in the user's data folder.
#ifdef QUILVERN_INSTALLED_COPY
constexpr quilvern::CopyKind kCopyKind = quilvern::CopyKind::Installed;
#else
constexpr quilvern::CopyKind kCopyKind = quilvern::CopyKind::SelfContained;
#endif

int main(int argc, char** argv) {
    return quilvern::RunProgram(argc, argv, kCopyKind);
}
