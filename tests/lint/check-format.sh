#!/usr/bin/env bash
# Fails when any tracked C++ file of ours is not formatted the way .clang-format says.
# Usage: check-format.sh CLANG_FORMAT SOURCE_DIR
set -euo pipefail

clang_format=$1
cd "$2"

if [ ! -x "$clang_format" ]; then
    echo "clang-format is not installed (scripts/deps.sh installs it); skipping the format check."
    exit 77
fi

folders=(engine window tests fuzz)
patterns=()
for folder in "${folders[@]}"; do
    for extension in h hpp cpp cc; do
        patterns+=("$folder/*.$extension")
    done
done

# Tracked files only, so scratch files in a checkout are not judged; outside a git checkout
# (an unpacked archive, say) every file in those folders is ours.
files=()
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    mapfile -t files < <(git ls-files -- "${patterns[@]}")
else
    mapfile -t files < <(find "${folders[@]}" -type f \( -name '*.h' -o -name '*.hpp' -o -name '*.cpp' -o -name '*.cc' \) 2>/dev/null | sort)
fi
if [ ${#files[@]} -eq 0 ]; then
    echo "error: found no C++ files to check in ${folders[*]}" >&2
    exit 1
fi

if ! "$clang_format" --dry-run --Werror "${files[@]}"; then
    echo "Some files are not formatted; fix them with: clang-format -i FILE..." >&2
    exit 1
fi
echo "${#files[@]} files are formatted."
