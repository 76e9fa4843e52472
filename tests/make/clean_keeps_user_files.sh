#!/usr/bin/env bash
# `make clean` removes what the build made and keeps the reports, backups and notes that
# runs of `make run` left beside build/quilvern.  clean_keeps_user_files.sh SOURCE_DIR
set -euo pipefail
source_dir=$1
build=$(mktemp -d)
trap 'rm -rf "$build"' EXIT
mkdir -p "$build/ui" "$build/asan"
touch "$build/quilvern" "$build/build.ninja" "$build/ui/x.o" "$build/asan/y" "$build/.Notes.txt.a1b2c3"
for file in Report01.txt Report12.txt ReportYear.txt Backup03.txt BackupYear.txt Notes.txt; do
  echo "kept $file" > "$build/$file"
done
make --no-print-directory -C "$source_dir" clean BUILD="$build"
left=$(cd "$build" && ls -A | sort | tr '\n' ' ')
expected="Backup03.txt BackupYear.txt Notes.txt Report01.txt Report12.txt ReportYear.txt "
if [ "$left" != "$expected" ]; then
  echo "after make clean: $left"
  echo "expected:         $expected"
  exit 1
fi
grep -q "kept Notes.txt" "$build/Notes.txt"
