#!/usr/bin/env bash
# Builds the demo data from data/ into an output folder, with the data tools of a build folder.
# Usage: build_data.sh <build folder> <output folder>
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
build=$1
out=$2
mkdir -p "$out"

# The dialer's texts: CalvaneRes.dll, built from its UTF-8 source.
if [ -x "$build/tools/make_string_table/make_string_table" ] && [ -f "$HANDSET_SOURCE/data/dialer/CalvaneRes.txt" ]; then
    mkdir -p "$out/Calvane"
    "$build/tools/make_string_table/make_string_table" "$HANDSET_SOURCE/data/dialer/CalvaneRes.txt" "$out/Calvane/CalvaneRes.dll"
    echo "== data: Calvane/CalvaneRes.dll"
fi

# The game's archives: every folder data/game/archives/<name>/ becomes <name>.par in the
# game's data folder; files in data/game/program/ go into the program folder as they are.
if [ -x "$build/tools/pack_archive/pack_archive" ] && [ -d "$HANDSET_SOURCE/data/game/archives" ]; then
    mkdir -p "$out/Quorvane/data"
    for folder in "$HANDSET_SOURCE"/data/game/archives/*/; do
        [ -d "$folder" ] || continue
        name=$(basename "$folder")
        "$build/tools/pack_archive/pack_archive" "$folder" "$out/Quorvane/data/$name.par"
    done
fi
if [ -d "$HANDSET_SOURCE/data/game/program" ]; then
    mkdir -p "$out/Quorvane"
    cp -R "$HANDSET_SOURCE/data/game/program/." "$out/Quorvane/"
fi

# The dialer's skin and layout packs: every folder data/dialer/packs/<name>/ becomes the
# encrypted pack <name>.dat in the dialer's program folder.
if [ -x "$build/tools/make_skin_pack/make_skin_pack" ] && [ -d "$HANDSET_SOURCE/data/dialer/packs" ]; then
    mkdir -p "$out/Calvane"
    for folder in "$HANDSET_SOURCE"/data/dialer/packs/*/; do
        [ -d "$folder" ] || continue
        name=$(basename "$folder")
        "$build/tools/make_skin_pack/make_skin_pack" "$folder" "$out/Calvane/$name.dat"
    done
fi
