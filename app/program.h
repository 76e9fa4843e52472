#pragma once
// The program's run from start to end: the application object, the polite ends, the one
// running copy, the leftover sweep, the main window and the event loop, in that order.
// main() is this and nothing else; a test runs the same sequence in a child process.
#include <functional>

#include "storage/data_directory.h"

namespace quilvern {

class TForm1;

// Returns the exit status. `kind` decides where the reports and notes live (see
// DataDirectory). `shown`, when set, is called once the window is shown and the event
// loop is about to run, as the place where a test drives the real window.
int RunProgram(int& argc, char** argv, CopyKind kind,
               const std::function<void(TForm1& form)>& shown = {});

}  // namespace quilvern
