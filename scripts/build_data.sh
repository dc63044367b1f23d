#!/usr/bin/env bash
# Builds the demo data from data/ into an output folder, with the data tools of a build folder.
# Each tool says what it wrote; a tool missing from the build folder is an error.
# Usage: build_data.sh <build folder> <output folder>
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
build=$1
out=$2
mkdir -p "$out"

tools=$build/tools
for name in make_string_table pack_archive make_skin_pack make_image make_animation; do
    if [ ! -x "$tools/$name/$name" ]; then
        echo "build_data: $tools/$name/$name is missing; build $build first." >&2
        exit 1
    fi
done

# The dialer's texts: CalvaneRes.dll, built from its UTF-8 source.
mkdir -p "$out/Calvane"
"$tools/make_string_table/make_string_table" "$HANDSET_SOURCE/data/dialer/CalvaneRes.txt" "$out/Calvane/CalvaneRes.dll"

# The game's archives: every folder data/game/archives/<name>/ becomes <name>.par in the
# game's data folder; files in data/game/program/ go into the program folder as they are.
# Images are painted from their descriptions first: a staged copy of the folder gets
# <file>.tga in place of each <file>.image; animations are built the same way, <file>.kan in
# place of each <file>.kansrc.
mkdir -p "$out/Quorvane/data"
staging=$out/staging
for folder in "$HANDSET_SOURCE"/data/game/archives/*/; do
    [ -d "$folder" ] || continue
    name=$(basename "$folder")
    rm -rf "${staging:?}/$name"
    mkdir -p "$staging"
    cp -R "$folder" "$staging/$name"
    while IFS= read -r -d '' description; do
        "$tools/make_image/make_image" "$description" "${description%.image}.tga"
        rm "$description"
    done < <(find "$staging/$name" -type f -name '*.image' -print0 | sort -z)
    while IFS= read -r -d '' source; do
        "$tools/make_animation/make_animation" "$source" "${source%.kansrc}.kan"
        rm "$source"
    done < <(find "$staging/$name" -type f -name '*.kansrc' -print0 | sort -z)
    "$tools/pack_archive/pack_archive" "$staging/$name" "$out/Quorvane/data/$name.par"
done
rm -rf "$staging"
cp -R "$HANDSET_SOURCE/data/game/program/." "$out/Quorvane/"
(cd "$HANDSET_SOURCE/data/game/program" && find . -type f | sort) | while IFS= read -r file; do
    echo "build_data: copied data/game/program/${file#./} to $out/Quorvane/${file#./}"
done

# The dialer's skin and layout packs: every folder data/dialer/packs/<name>/ becomes the
# encrypted pack <name>.dat in the dialer's program folder.
for folder in "$HANDSET_SOURCE"/data/dialer/packs/*/; do
    [ -d "$folder" ] || continue
    name=$(basename "$folder")
    "$tools/make_skin_pack/make_skin_pack" "$folder" "$out/Calvane/$name.dat"
done
