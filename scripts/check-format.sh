#!/usr/bin/env bash
# Fails, naming the files, when a C++ file of the project differs from its clang-format form.
set -euo pipefail
clang_format=${1:-clang-format}
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files --cached --others --exclude-standard -- '*.cpp' '*.h' 2>/dev/null ||
                     find host refhost plugin tween interp playback authoring palette tests bench \
                          -name '*.cpp' -o -name '*.h')
bad=()
for file in "${files[@]}"; do
    [ -f "$file" ] || continue
    if ! "$clang_format" --dry-run --Werror "$file" >/dev/null 2>&1; then
        bad+=("$file")
    fi
done
if [ ${#bad[@]} -gt 0 ]; then
    echo "Not formatted (run clang-format -i on them): ${bad[*]}"
    exit 1
fi
echo "${#files[@]} files formatted"
