#!/usr/bin/env bash
# Validates the AppStream data, pedantically and without the network, and fails on any remark
# at all, not only on the errors appstreamcli itself fails for.
# Usage: validate-metainfo.sh FILE
set -euo pipefail

if ! out=$(appstreamcli validate --pedantic --no-net "$1" 2>&1); then
    echo "$out"
    exit 1
fi
echo "$out"
# The remarks accepted: the id's capital letter, which the desktop entry's and the icon's
# names share, as reverse-DNS application ids conventionally have it; and, from an AppStream
# older than 1.0, not knowing the <developer> tag that 1.0 has in place of <developer_name>.
if grep -E '^[EWIP]: ' <<<"$out" \
    | grep -v -E '^P: [^ ]+ cid-contains-uppercase-letter |^I: [^ ]+ unknown-tag developer$'; then
    echo "appstreamcli has remarks on $1" >&2
    exit 1
fi
