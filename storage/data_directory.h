#pragma once
// Where the reports, backups and notes live, decided once at start-up. A self-contained
// copy (the one built in build/, or copied anywhere) keeps them beside itself; an
// installed copy (the package, "make install") keeps each user's in
// $XDG_DATA_HOME/quilvern/. Whether a copy is installed is fixed when it is built, never
// guessed from whether its folder can be written: root can write /usr/bin. The settings
// file is found elsewhere (SettingsFilePath) and is the same for both.
#include <string>

namespace quilvern {

enum class CopyKind { SelfContained, Installed };

// The folder with its trailing separator. For an installed copy it is
// $XDG_DATA_HOME/quilvern/, or ~/.local/share/quilvern/ when XDG_DATA_HOME is unset,
// empty or relative; a missing folder (and a missing $XDG_DATA_HOME) is made with mode
// 0700. A folder that cannot be made is still returned: the first file written there
// fails with the usual "Cannot create file" message, naming it.
std::string DataDirectory(CopyKind kind, const std::string& programDirectory);

}  // namespace quilvern
