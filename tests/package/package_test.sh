#!/bin/sh
# Checks the Debian package that "make deb" built, without installing it: lintian finds
# no error and no warning; it holds exactly the program, the menu entry and AppStream
# file under the application's id, the icon, the manual page and the documentation;
# and the program unpacked from it, in a folder made read-only, run as an ordinary user
# through the end-to-end fixture, keeps a day's work in the user's data folder.
# usage: package_test.sh DEB SOURCE_DIR VERSION     (exit 77: no package built)
set -eu

deb=$1
source_dir=$2
version=$3

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

if [ ! -f "$deb" ]; then
    echo "no package at $deb: run make deb first"
    exit 77
fi
work=$(mktemp -d)
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT

[ "$(dpkg-deb -f "$deb" Package)" = quilvern ] || fail "the package is not called quilvern"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] ||
    fail "the package's version $(dpkg-deb -f "$deb" Version) is not the program's $version"

lintian --fail-on error,warning --tag-display-limit 0 "$deb" >"$work/lintian.log" 2>&1 ||
    { cat "$work/lintian.log" >&2; fail "lintian reports errors or warnings"; }
if grep -E '^(E|W): ' "$work/lintian.log" >&2; then fail "lintian reports errors or warnings"; fi

root=$work/root
dpkg-deb -x "$deb" "$root"
(cd "$root" && find . -type f -o -type l | sort) >"$work/files"
cat >"$work/expected" <<'LIST'
./usr/bin/quilvern
./usr/share/applications/org.quilvern.quilvern.desktop
./usr/share/doc/quilvern/README.md.gz
./usr/share/doc/quilvern/changelog.gz
./usr/share/doc/quilvern/copyright
./usr/share/icons/hicolor/scalable/apps/quilvern.svg
./usr/share/man/man1/quilvern.1.gz
./usr/share/metainfo/org.quilvern.quilvern.metainfo.xml
LIST
diff -u "$work/expected" "$work/files" || fail "the package holds other files than these"

metainfo=$root/usr/share/metainfo/org.quilvern.quilvern.metainfo.xml
appstreamcli validate --pedantic --no-net "$metainfo" || fail "appstreamcli rejects the metainfo"
grep -q "<release version=\"$version\"" "$metainfo" || fail "the metainfo has no release $version"
desktop-file-validate "$root/usr/share/applications/org.quilvern.quilvern.desktop" ||
    fail "desktop-file-validate rejects the desktop entry"
zcat "$root/usr/share/man/man1/quilvern.1.gz" >"$work/quilvern.1"
man --warnings -l "$work/quilvern.1" >/dev/null 2>"$work/man.log" && [ ! -s "$work/man.log" ] ||
    fail "the manual page has faults: $(cat "$work/man.log")"

# The program folder is read-only, for its own user and every other.
chmod a-w "$root/usr/bin" "$root/usr"
QUILVERN_INSTALLED=1 python3 "$source_dir/e2e/run.py" "$root/usr/bin/quilvern" test_package ||
    fail "the unpacked program failed the end-to-end tests"
echo "package: ok"
