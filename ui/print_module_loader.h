#pragma once
// Loads the print module (ui/print_module/print_module.h) from the bytes built into the
// program, the first time it is asked for: through an anonymous in-memory file, so
// nothing is written to disk and the program stays one file that runs from any folder.
#include "ui/print_module/print_module.h"

namespace quilvern {

// Throws Error("Printing is not available: ...") when the module cannot be loaded,
// for instance where Qt's print support library is not installed.
PrintEntry LoadPrintModule();

// Whether this run has loaded it yet.
bool PrintModuleLoaded();

}  // namespace quilvern
