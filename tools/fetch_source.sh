#!/usr/bin/env bash
# Fetches the pinned stroke source data (hanzi-writer-data 2.0.1, Arphic Public
# License) into tools/.cache/hanzi-writer-data and checks its digest.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
cache="$here/.cache"
want=72baf3d82b114e60d6e40ea05f24d2262a05cd39d544e2f322ba2fceb7beff15
dest="$cache/hanzi-writer-data"
[ -f "$dest/一.json" ] && exit 0
mkdir -p "$cache"
cd "$cache"
npm pack --silent hanzi-writer-data@2.0.1 >/dev/null
echo "$want  hanzi-writer-data-2.0.1.tgz" | sha256sum -c --quiet -
rm -rf package "$dest"
tar xzf hanzi-writer-data-2.0.1.tgz
mv package "$dest"
