#!/usr/bin/env bash
# Fails when clang-tidy (configured by .clang-tidy) reports anything on our own .cpp files.
# The files and their flags come from the build's compile_commands.json, so only what this
# build really compiles is checked, and new files are picked up as they join the build.
# Usage: check-tidy.sh CLANG_TIDY SOURCE_DIR BUILD_DIR [PATH...]
#   PATHs, relative to SOURCE_DIR, limit the check to those of our folders or files (all of
#   our folders by default).
set -euo pipefail

clang_tidy=$1
source_dir=$(cd "$2" && pwd)
build_dir=$(cd "$3" && pwd)
shift 3
paths=("$@")
if [ ${#paths[@]} -eq 0 ]; then
    paths=(engine window tests fuzz)
fi

if [ ! -x "$clang_tidy" ]; then
    echo "clang-tidy is not installed (scripts/deps.sh installs it); skipping the clang-tidy check."
    exit 77
fi
database=$build_dir/compile_commands.json
if [ ! -f "$database" ]; then
    echo "error: $database is missing; configure with CMAKE_EXPORT_COMPILE_COMMANDS=ON" >&2
    exit 1
fi

# CMake writes one '"file": "/absolute/path"' line per entry. Files it generates in the
# build tree and anything outside our folders are not ours to judge.
files=()
while IFS= read -r file; do
    case $file in
        "$build_dir"/*) continue ;;
    esac
    for path in "${paths[@]}"; do
        case $file in
            "$source_dir/$path" | "$source_dir/$path"/*.cpp) files+=("$file") ;;
        esac
    done
done < <(sed -n 's/^ *"file": *"\(.*\)",\{0,1\}$/\1/p' "$database" | sort -u)
if [ ${#files[@]} -eq 0 ]; then
    echo "error: $database names none of our .cpp files in: ${paths[*]}" >&2
    exit 1
fi

# One clang-tidy per file, as many at once as there are processors; xargs fails if any of
# them did. Each one's report is printed whole once it is done, so reports do not
# interleave, and without the "N warnings generated" chatter about system headers (those
# warnings are neither shown nor counted).
tidy_one='
report=$("$0" -p "$1" --quiet --warnings-as-errors="*" "$2" 2>&1) && status=0 || status=$?
report=$(printf "%s\n" "$report" | grep -v "^[0-9]* warnings\{0,1\} generated\.$" || true)
if [ -n "$report" ]; then printf "%s\n" "$report"; fi
exit "$status"'
if ! printf '%s\0' "${files[@]}" | xargs -0 -n 1 -P "$(nproc)" bash -c "$tidy_one" "$clang_tidy" "$build_dir"; then
    echo "clang-tidy reported problems in our files (see above)." >&2
    exit 1
fi
echo "clang-tidy found nothing in ${#files[@]} file(s)."
