#!/bin/sh
# Removes what "make install" put under PREFIX and nothing else. The reports and notes
# live in the user's data folder and the settings under ~/.config: neither is touched.
# Files of the earlier layout (the program in lib/quilvern and the entries named
# quilvern.*) go too, the old folder only once nothing is left in it. The list follows
# the install rules in data/CMakeLists.txt; tests/install/install_test.sh keeps the two
# in step.
set -eu

. "$(dirname "$0")/prefix_argument.sh"

for file in \
    bin/quilvern \
    share/applications/org.quilvern.quilvern.desktop \
    share/icons/hicolor/scalable/apps/quilvern.svg \
    share/metainfo/org.quilvern.quilvern.metainfo.xml \
    share/man/man1/quilvern.1 \
    lib/quilvern/quilvern \
    share/applications/quilvern.desktop \
    share/metainfo/quilvern.metainfo.xml; do
    path=$prefix/$file
    if [ -f "$path" ] || [ -L "$path" ]; then
        rm -f -- "$path"
        echo "Removed $path"
    fi
done

folder=$prefix/lib/quilvern
if [ -d "$folder" ]; then
    if rmdir -- "$folder" 2>/dev/null; then
        echo "Removed $folder"
    else
        echo "Kept $folder: it still holds your reports and notes"
    fi
fi
