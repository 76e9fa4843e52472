#!/bin/sh
# Run by "make install" after the files are in place. The earlier per-user install kept
# the program in PREFIX/lib/quilvern and the reports and notes beside it; the installed
# program now keeps them in the user's data folder. This moves each of those files, by
# its exact name, into the data folder, removes the old program, menu entry and AppStream
# file, and removes the old folder once it is empty, saying what it did. A file whose
# name the data folder holds already is never overwritten: it stays where it is, and so
# does the folder.  usage: move_old_files.sh PREFIX
set -eu

. "$(dirname "$0")/prefix_argument.sh"
old=$prefix/lib/quilvern
[ -d "$old" ] || exit 0

# The data folder as the program finds it (storage/data_directory.cpp).
case ${XDG_DATA_HOME:-} in
    /*) data=${XDG_DATA_HOME%/}/quilvern ;;
    *) data=$HOME/.local/share/quilvern ;;
esac

names="Notes.txt ReportYear.txt BackupYear.txt"
for month in 01 02 03 04 05 06 07 08 09 10 11 12; do
    names="$names Report$month.txt Backup$month.txt"
done

for name in $names; do
    [ -f "$old/$name" ] || continue
    if [ ! -d "$data" ]; then
        (umask 077 && mkdir -p -- "$data")
    fi
    if [ -e "$data/$name" ] || [ -L "$data/$name" ]; then
        echo "Kept $old/$name: $data holds a $name already"
        continue
    fi
    mv -n -- "$old/$name" "$data/$name"
    if [ -e "$old/$name" ]; then
        echo "Kept $old/$name: $data holds a $name already"
    else
        echo "Moved $old/$name to $data/"
    fi
done

for file in lib/quilvern/quilvern share/applications/quilvern.desktop \
    share/metainfo/quilvern.metainfo.xml; do
    if [ -f "$prefix/$file" ] || [ -L "$prefix/$file" ]; then
        rm -f -- "$prefix/$file"
        echo "Removed the earlier install's $prefix/$file"
    fi
done

if rmdir -- "$old" 2>/dev/null; then
    echo "Removed $old: your reports and notes are now in $data"
else
    echo "Kept $old: it still holds files that were not moved"
fi
