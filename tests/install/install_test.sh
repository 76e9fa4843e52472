#!/bin/sh
# Installs into a temporary prefix as "make install" does (the install rules, then
# data/move_old_files.sh), checks what landed there, and uninstalls again with the script
# "make uninstall" uses. The user's reports, notes and settings must survive; an earlier
# install's reports and notes move into the data folder.
# usage: install_test.sh CMAKE BUILD_DIR DATA_DIR
set -eu

cmake=$1
build=$2
data_dir=$3
uninstall=$data_dir/uninstall.sh
move_old=$data_dir/move_old_files.sh

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

work=$(mktemp -d)
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT
# A space and a quote in the prefix catch a script that does not quote the path.
prefix="$work/user's home/.local"
export HOME="$work/home"
export XDG_CONFIG_HOME="$work/config"
unset XDG_DATA_HOME
data="$HOME/.local/share/quilvern"
mkdir -p "$HOME" "$XDG_CONFIG_HOME"

install() {
    "$cmake" --install "$build" --prefix "$prefix" >"$work/install.log" ||
        { cat "$work/install.log" >&2; fail "cmake --install failed"; }
    "$move_old" "$prefix" >"$work/moved.log" ||
        { cat "$work/moved.log" >&2; fail "moving the earlier install's files failed"; }
}

expected="$work/expected"
cat >"$expected" <<LIST
$prefix/bin/quilvern
$prefix/share/applications/org.quilvern.quilvern.desktop
$prefix/share/icons/hicolor/scalable/apps/quilvern.svg
$prefix/share/man/man1/quilvern.1
$prefix/share/metainfo/org.quilvern.quilvern.metainfo.xml
LIST

# --- an install where nothing was before ------------------------------------------
install
[ ! -s "$work/moved.log" ] || fail "a first install reported moves: $(cat "$work/moved.log")"
# The manifest names every file the install rules wrote, so a rule added without the
# uninstall list (or the other way round) shows up here.
sort "$build/install_manifest.txt" >"$work/installed"
sort "$expected" | diff -u - "$work/installed" ||
    fail "the installed files differ from the list data/uninstall.sh removes"
[ ! -e "$prefix/lib" ] || fail "the install made $prefix/lib"
[ ! -e "$data" ] || fail "the install made the data folder: the program makes it"

program="$prefix/bin/quilvern"
[ -x "$program" ] || fail "the program is not executable"
[ "$(head -c 4 "$program" | od -An -c | tr -d ' ')" = '177ELF' ] ||
    fail "bin/quilvern is not the program itself"
# The installed build keeps its files in the data folder: the self-contained one, which
# keeps them beside itself, must not be what got installed.
grep -q 'QUILVERN_INSTALLED_COPY' "$build/app/CMakeFiles/quilvern_installed.dir/flags.make" 2>/dev/null ||
    grep -q 'QUILVERN_INSTALLED_COPY' "$build/build.ninja" ||
    fail "the installed program is not built as an installed copy"
cmp -s "$program" "$build/quilvern" && fail "the self-contained build/quilvern was installed"

desktop="$prefix/share/applications/org.quilvern.quilvern.desktop"
desktop-file-validate "$desktop" || fail "desktop-file-validate rejects the desktop entry"
grep -qx 'Exec=quilvern' "$desktop" || fail "the desktop entry does not start the quilvern command"
grep -qx 'Icon=quilvern' "$desktop" || fail "the desktop entry does not name the quilvern icon"
grep -q '<svg' "$prefix/share/icons/hicolor/scalable/apps/quilvern.svg" ||
    fail "the icon is not an SVG picture"
metainfo="$prefix/share/metainfo/org.quilvern.quilvern.metainfo.xml"
appstreamcli validate --pedantic --no-net "$metainfo" || fail "appstreamcli rejects the metainfo"
grep -q '<id>org.quilvern.quilvern</id>' "$metainfo" || fail "the metainfo has another id"
grep -q '<launchable type="desktop-id">org.quilvern.quilvern.desktop</launchable>' "$metainfo" ||
    fail "the metainfo does not launch the desktop entry named after its id"
man --warnings -l "$prefix/share/man/man1/quilvern.1" >/dev/null 2>"$work/man.log" &&
    [ ! -s "$work/man.log" ] || fail "the manual page has faults: $(cat "$work/man.log")"

# What the program writes while it is used: reports and notes in the data folder,
# settings and the crash-recovery copies under the configuration folder.
mkdir -p "$data"
printf 'Notes of the user\r\n' >"$data/Notes.txt"
printf 'January report\r\n' >"$data/Report01.txt"
for file in Quilvern.ini Quilvern.ini.recovery Quilvern.ini.notes.recovery; do
    printf '[Settings]\r\n' >"$XDG_CONFIG_HOME/$file"
done
cp -p "$data/Notes.txt" "$data/Report01.txt" "$work/"

"$uninstall" "$prefix" >"$work/uninstall.log" || fail "uninstall failed"
while IFS= read -r file; do
    if [ -e "$file" ] || [ -L "$file" ]; then fail "left behind: $file"; fi
done <"$expected"
for file in Notes.txt Report01.txt; do
    cmp -s "$work/$file" "$data/$file" || fail "uninstall removed or changed $file"
done
for file in Quilvern.ini Quilvern.ini.recovery Quilvern.ini.notes.recovery; do
    [ -f "$XDG_CONFIG_HOME/$file" ] || fail "uninstall removed the settings file $file"
done
"$uninstall" "$prefix" >/dev/null || fail "uninstall with nothing installed failed"
rm -r "$data"

# --- an install over the earlier one, which kept everything in lib/quilvern ----------
old="$prefix/lib/quilvern"
mkdir -p "$old" "$prefix/bin" "$prefix/share/applications" "$prefix/share/metainfo"
printf '#!/bin/sh\nexec %s "$@"\n' "'$old/quilvern'" >"$prefix/bin/quilvern"
printf '\177ELF the earlier program' >"$old/quilvern"
chmod +x "$prefix/bin/quilvern" "$old/quilvern"
printf '[Desktop Entry]\n' >"$prefix/share/applications/quilvern.desktop"
printf '<component/>\n' >"$prefix/share/metainfo/quilvern.metainfo.xml"
user_files="Notes.txt Report01.txt Backup01.txt Report12.txt Backup12.txt ReportYear.txt BackupYear.txt"
for name in $user_files; do
    printf 'the user'"'"'s %s\r\n' "$name" >"$old/$name"
    cp -p "$old/$name" "$work/$name"
done
install
for name in $user_files; do
    cmp -s "$work/$name" "$data/$name" || fail "$name was not moved into the data folder whole"
    grep -qF "Moved $old/$name to $data/" "$work/moved.log" || fail "the move of $name was not told"
done
[ ! -e "$old" ] || fail "the earlier install's folder was left: $(ls -A "$old")"
grep -qF "Removed $old" "$work/moved.log" || fail "the removal of the old folder was not told"
[ "$(stat -c %a "$data")" = 700 ] || fail "the data folder is not private: $(stat -c %a "$data")"
for file in share/applications/quilvern.desktop share/metainfo/quilvern.metainfo.xml; do
    [ ! -e "$prefix/$file" ] || fail "the earlier install's $file was left"
done
[ "$(head -c 4 "$prefix/bin/quilvern" | od -An -c | tr -d ' ')" = '177ELF' ] ||
    fail "the earlier install's launcher script was not replaced by the program"

# --- a file of the same name in the data folder is never overwritten ----------------
"$uninstall" "$prefix" >/dev/null
mkdir -p "$old"
printf 'older notes\r\n' >"$old/Notes.txt"
printf 'older March\r\n' >"$old/Report03.txt"
printf 'newer notes\r\n' >"$work/newer"
cp -p "$work/newer" "$data/Notes.txt"
printf 'not a report\r\n' >"$old/Letter.txt"
install
cmp -s "$work/newer" "$data/Notes.txt" || fail "the data folder's Notes.txt was overwritten"
[ "$(cat "$old/Notes.txt")" = "$(printf 'older notes\r')" ] || fail "the old Notes.txt was lost"
grep -qF "Kept $old/Notes.txt" "$work/moved.log" || fail "keeping the old Notes.txt was not told"
[ -f "$data/Report03.txt" ] && [ ! -e "$old/Report03.txt" ] || fail "Report03.txt was not moved"
[ -f "$old/Letter.txt" ] || fail "a file the program never made was moved or removed"
grep -qF "Kept $old" "$work/moved.log" || fail "keeping the old folder was not told"

# A relative prefix depends on where make happens to run, so both scripts refuse it;
# the file it would name stays.
mkdir -p "$work/relative/bin" "$work/relative/lib/quilvern"
: >"$work/relative/bin/quilvern"
: >"$work/relative/lib/quilvern/Notes.txt"
if (cd "$work" && "$uninstall" relative 2>/dev/null); then fail "uninstall accepted a relative prefix"; fi
if (cd "$work" && "$move_old" relative 2>/dev/null); then fail "the move accepted a relative prefix"; fi
[ -f "$work/relative/bin/quilvern" ] || fail "uninstall removed a file under a relative prefix"
[ -f "$work/relative/lib/quilvern/Notes.txt" ] || fail "a file under a relative prefix was moved"

echo "install and uninstall: ok"
