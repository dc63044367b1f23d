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
for name in make_string_table pack_archive make_skin_pack make_image make_font make_mesh make_character kelview make_wave make_xm make_animation make_world_data make_hud_textures; do
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
# <file>.tga in place of each <file>.image, and the files of a font (its image, page and
# glyph file) in place of each <file>.font, rendered from the DejaVu faces. Mesh descriptions
# (<folder>/<file>.shapes) become the text meshes <folder>/<mesh>.fmesh and character
# descriptions (<file>.character) the text skeletons <folder>/<character>.skel; then the
# engine's own loader reads each text mesh and skeleton of objects/ and writes its .kgc or .ksk
# cache beside it (kelview --bake), as the game does on the handset, so that both go into the
# archive. Animations are built the
# same way as images, <file>.kan in place of each <file>.kansrc.
mkdir -p "$out/Quorvane/data"
staging=$out/staging
for folder in "$HANDSET_SOURCE"/data/game/archives/*/; do
    [ -d "$folder" ] || continue
    name=$(basename "$folder")
    rm -rf "${staging:?}/$name"
    mkdir -p "$staging"
    cp -R "$folder" "$staging/$name"
    # Every language of the game's table gets its texts; untranslated ones read English.
    if [ -d "$staging/$name/text/eng" ]; then
        "$HANDSET_SOURCE/scripts/fill_language_texts.sh" "$staging/$name/text"
    fi
    while IFS= read -r -d '' description; do
        "$tools/make_image/make_image" "$description" "${description%.image}.tga"
        rm "$description"
    done < <(find "$staging/$name" -type f -name '*.image' -print0 | sort -z)
    # Sprite sheets (HUD atlases, frames, award badges, comic pages): <file>.dds in place of
    # each <file>.sprites.
    while IFS= read -r -d '' description; do
        "$tools/make_hud_textures/make_hud_textures" "$description" "${description%.sprites}.dds"
        rm "$description"
    done < <(find "$staging/$name" -type f -name '*.sprites' -print0 | sort -z)
    while IFS= read -r -d '' source; do
        "$tools/make_animation/make_animation" "$source" "${source%.kansrc}.kan"
        rm "$source"
    done < <(find "$staging/$name" -type f -name '*.kansrc' -print0 | sort -z)
    # Path animations: <file>.anim and its cache <file>.pathanim in place of each <file>.pathsrc;
    # cut-scene scripts are checked as the game reads them and go in as they are.
    while IFS= read -r -d '' source; do
        "$tools/make_world_data/make_world_data" pathanim "$source" "${source%.pathsrc}"
        rm "$source"
    done < <(find "$staging/$name" -type f -name '*.pathsrc' -print0 | sort -z)
    while IFS= read -r -d '' script; do
        "$tools/make_world_data/make_world_data" cutscene "$script"
    done < <(find "$staging/$name" -type f -name '*.cut' -print0 | sort -z)
    while IFS= read -r -d '' description; do
        "$tools/make_font/make_font" "$description" "${description%.font}"
        rm "$description"
    done < <(find "$staging/$name" -type f -name '*.font' -print0 | sort -z)
    while IFS= read -r -d '' description; do
        "$tools/make_mesh/make_mesh" "$description" "$(dirname "$description")"
        rm "$description"
    done < <(find "$staging/$name" -type f -name '*.shapes' -print0 | sort -z)
    while IFS= read -r -d '' description; do
        "$tools/make_character/make_character" "$description" "$(dirname "$description")"
        rm "$description"
    done < <(find "$staging/$name" -type f -name '*.character' -print0 | sort -z)
    objects=()
    if [ -d "$staging/$name/objects" ]; then
        mapfile -t objects < <(find "$staging/$name/objects" -maxdepth 1 -type f \( -name '*.fmesh' -o -name '*.skel' \) \
                                   -printf '%f\n' | sed 's/\.\(fmesh\|skel\)$//' | sort)
    fi
    if [ ${#objects[@]} -gt 0 ]; then
        "$tools/kelview/kelview" --bake --data "$staging/$name" "${objects[@]}"
    fi
    "$tools/pack_archive/pack_archive" "$staging/$name" "$out/Quorvane/data/$name.par"
done
# The player's own levels that come with the game: data/game/customlevels/ goes as it is into
# the data folder's customlevels/, where the custom level page lists them. The folder is made
# afresh, so a level taken out of the sources does not linger in a reused build folder.
rm -rf "$out/Quorvane/data/customlevels"
mkdir -p "$out/Quorvane/data/customlevels"
cp "$HANDSET_SOURCE"/data/game/customlevels/*.qvn "$out/Quorvane/data/customlevels/"
# The game's sounds and music: data/game/audio/ holds their readable sources (".tone" for
# make_wave, ".song" for make_xm) where the archive "audio.par" holds the files they make.
(cd "$HANDSET_SOURCE/data/game/audio" && find . -type f | sort) | while IFS= read -r file; do
    file=${file#./}
    source=$HANDSET_SOURCE/data/game/audio/$file
    mkdir -p "$(dirname "$staging/audio/$file")"
    case "$file" in
        *.tone) "$tools/make_wave/make_wave" "$source" "$staging/audio/${file%.tone}.wav" ;;
        *.song) "$tools/make_xm/make_xm" "$source" "$staging/audio/${file%.song}.xm" ;;
        *) echo "build_data: data/game/audio/$file is neither a .tone nor a .song source." >&2; exit 1 ;;
    esac
done
"$tools/pack_archive/pack_archive" "$staging/audio" "$out/Quorvane/data/audio.par"
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
