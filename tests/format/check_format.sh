#!/usr/bin/env bash
# Fails, naming the files, when clang-format would change any tracked C++ file of the
# source tree (.clang-format holds the style).  check_format.sh SOURCE_DIR [CLANG_FORMAT]
set -euo pipefail
cd "$1"
clang_format=${2:-clang-format}
mapfile -d '' files < <(git ls-files -z -- '*.h' '*.cpp')
if [ ${#files[@]} -eq 0 ]; then
  echo "no tracked .h or .cpp files found in $1"
  exit 1
fi
if report=$("$clang_format" --dry-run -Werror "${files[@]}" 2>&1); then
  echo "all ${#files[@]} files are formatted"
  exit 0
fi
failing=$(grep -oE '^[^:]+:[0-9]+:[0-9]+: error: code should be clang-formatted' <<<"$report" |
          cut -d: -f1 | sort -u)
if [ -z "$failing" ]; then
  echo "$report"
  exit 1
fi
echo "clang-format would change $(wc -l <<<"$failing") of ${#files[@]} files:"
sed 's/^/  /' <<<"$failing"
echo "See the changes with: $clang_format --dry-run FILE"
exit 1
