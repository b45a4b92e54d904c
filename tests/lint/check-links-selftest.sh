#!/usr/bin/env bash
# Makes sure check-links.sh fails where it should, on a small tree of its own: a missing file,
# an anchor no heading makes, in README.md as in docs/; and passes a tree whose links all hold,
# including an anchor into a heading with code in it, and links in code, which are not links.
# Usage: check-links-selftest.sh
set -euo pipefail

if ! command -v perl >/dev/null 2>&1; then
    echo "perl is not installed; skipping the link check's own test."
    exit 77
fi
check=$(dirname "$0")/check-links.sh
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
mkdir "$tree/docs"

write_tree() {
    printf '# Top\n\n## Using it\n\n[a](docs/a.md#the-a-file) [b](#using-it) [s](https://x.invalid/)\n' >"$tree/README.md"
    printf '# The `a` file\n\n[up](../README.md#top) `[code](nowhere.md)`\n\n```\n[x](gone.md)\n```\n' >"$tree/docs/a.md"
}
expect() { # pass|fail WHAT
    local status=0
    bash "$check" "$tree" >"$tree/out" 2>&1 || status=$?
    if { [ "$1" = pass ] && [ "$status" -ne 0 ]; } || { [ "$1" = fail ] && [ "$status" -ne 1 ]; }; then
        echo "FAIL: expected the check to $1 on $2; it exited $status:" >&2
        cat "$tree/out" >&2
        exit 1
    fi
}

write_tree && expect pass "links that all hold"
write_tree && sed -i 's|docs/a.md#|docs/b.md#|' "$tree/README.md" && expect fail "a missing file"
write_tree && sed -i 's|#using-it|#using|' "$tree/README.md" && expect fail "an anchor of no heading"
write_tree && sed -i 's|README.md#top|README.md#bottom|' "$tree/docs/a.md" && expect fail "an anchor in docs/"
write_tree && printf '[c](c.txt)\n' >>"$tree/docs/a.md" && expect fail "a missing file in docs/"
echo "check-links.sh passes and fails where it should."
