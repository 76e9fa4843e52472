#!/bin/sh
# Installs into a temporary prefix, checks what landed there, and uninstalls again with
# the script "make uninstall" uses. The user's reports, notes and settings must survive.
# usage: install_test.sh CMAKE BUILD_DIR UNINSTALL_SCRIPT
set -eu

cmake=$1
build=$2
uninstall=$3

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# A space and a quote in the prefix catch a launcher that does not quote the path.
prefix="$work/user's home/.local"
program_dir="$prefix/lib/quilvern"
export HOME="$work/home"
export XDG_CONFIG_HOME="$work/config"
mkdir -p "$HOME" "$XDG_CONFIG_HOME"

"$cmake" --install "$build" --prefix "$prefix" >"$work/install.log" ||
    { cat "$work/install.log" >&2; fail "cmake --install failed"; }

expected="$work/expected"
cat >"$expected" <<LIST
$prefix/bin/quilvern
$prefix/lib/quilvern/quilvern
$prefix/share/applications/quilvern.desktop
$prefix/share/icons/hicolor/scalable/apps/quilvern.svg
$prefix/share/metainfo/quilvern.metainfo.xml
LIST
# The manifest names every file the install rules wrote, so a rule added without the
# uninstall list (or the other way round) shows up here.
sort "$build/install_manifest.txt" >"$work/installed"
sort "$expected" | diff -u - "$work/installed" ||
    fail "the installed files differ from the list data/uninstall.sh removes"

while IFS= read -r file; do
    [ -f "$file" ] || fail "not installed: $file"
done <"$expected"

[ -x "$program_dir/quilvern" ] || fail "the program is not executable"
[ "$(head -c 4 "$program_dir/quilvern" | od -An -c | tr -d ' ')" = '177ELF' ] ||
    fail "lib/quilvern/quilvern is not the program"
[ -x "$prefix/bin/quilvern" ] || fail "the quilvern command is not executable"

# Put a stand-in where the program lives so the command can be run without opening a
# window: it must start exactly that file and pass every argument through unchanged.
mv "$program_dir/quilvern" "$work/program"
cat >"$program_dir/quilvern" <<'STUB'
#!/bin/sh
printf '%s\n' "$0" "$@"
STUB
chmod +x "$program_dir/quilvern"
# shellcheck disable=SC2016  # a literal "$HOME" shows whether the command expands it
"$prefix/bin/quilvern" 'two words' '$HOME' '' >"$work/started"
# shellcheck disable=SC2016
printf '%s\n' "$program_dir/quilvern" 'two words' '$HOME' '' | diff -u - "$work/started" ||
    fail "the quilvern command does not start the installed program with its arguments"
mv "$work/program" "$program_dir/quilvern"

desktop="$prefix/share/applications/quilvern.desktop"
desktop-file-validate "$desktop" || fail "desktop-file-validate rejects quilvern.desktop"
grep -qx 'Exec=quilvern' "$desktop" || fail "the desktop entry does not start the quilvern command"
grep -qx 'Icon=quilvern' "$desktop" || fail "the desktop entry does not name the quilvern icon"
grep -q '<svg' "$prefix/share/icons/hicolor/scalable/apps/quilvern.svg" ||
    fail "the icon is not an SVG picture"

metainfo="$prefix/share/metainfo/quilvern.metainfo.xml"
appstreamcli validate --no-net "$metainfo" || fail "appstreamcli rejects quilvern.metainfo.xml"
grep -q '<launchable type="desktop-id">quilvern.desktop</launchable>' "$metainfo" ||
    fail "the metainfo does not launch quilvern.desktop"

# What the program writes while it is used: reports and notes beside it, settings and
# the crash-recovery copies under the configuration folder.
printf 'Notes of the user\r\n' >"$work/Notes.txt"
printf 'January report\r\n' >"$work/Report01.txt"
cp "$work/Notes.txt" "$work/Report01.txt" "$program_dir/"
for file in Quilvern.ini Quilvern.ini.recovery Quilvern.ini.notes.recovery; do
    printf '[Settings]\r\n' >"$XDG_CONFIG_HOME/$file"
done

"$uninstall" "$prefix" || fail "uninstall failed"

while IFS= read -r file; do
    if [ -e "$file" ] || [ -L "$file" ]; then fail "left behind: $file"; fi
done <"$expected"
for file in Notes.txt Report01.txt; do
    cmp -s "$work/$file" "$program_dir/$file" || fail "uninstall removed or changed $file"
done
for file in Quilvern.ini Quilvern.ini.recovery Quilvern.ini.notes.recovery; do
    [ -f "$XDG_CONFIG_HOME/$file" ] || fail "uninstall removed the settings file $file"
done

# Once the user has cleared the folder, the next uninstall takes the folder too, and it
# is fine to run when nothing is installed.
rm "$program_dir/Notes.txt" "$program_dir/Report01.txt"
"$uninstall" "$prefix" || fail "uninstall of an empty program folder failed"
[ ! -e "$program_dir" ] || fail "the empty program folder was kept"
"$uninstall" "$prefix" || fail "uninstall with nothing installed failed"

# A relative prefix depends on where make happens to run, so it is refused; the file
# it would name stays.
mkdir -p "$work/relative/bin"
: >"$work/relative/bin/quilvern"
if (cd "$work" && "$uninstall" relative 2>/dev/null); then fail "uninstall accepted a relative prefix"; fi
[ -f "$work/relative/bin/quilvern" ] || fail "uninstall removed a file under a relative prefix"

echo "install and uninstall: ok"
