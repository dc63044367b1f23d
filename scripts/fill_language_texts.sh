#!/usr/bin/env bash
# Gives every language folder of the game's language table its text files. A folder without
# a file of its own gets the English one; a translated file gets the English line of each key
# it lacks appended after its own lines (the text table keeps the first line of a key, keys
# compared without case), so that a text added in English later reads in English there rather
# than as the table's unknown-text fallback. Idempotent: a second run adds nothing.
# Usage: fill_language_texts.sh <text folder holding eng/ and the translated folders>
set -euo pipefail
if [ $# -ne 1 ] || [ ! -d "$1/eng" ]; then
    echo "usage: fill_language_texts.sh <text folder with an eng/ folder>" >&2
    exit 2
fi
text=$1
# The folder names in the order of the game's language table (profile option 3).
languages="cze dan ger gre spa fre ita hun dut nor pol por porbra rus fin swe tur kor ara eng chitra chisim chitratw"
for file in "$text"/eng/*.text; do
    [ -f "$file" ] || continue
    name=$(basename "$file")
    for language in $languages; do
        [ "$language" = eng ] && continue
        mkdir -p "$text/$language"
        target=$text/$language/$name
        if [ ! -f "$target" ]; then
            cp "$file" "$target"
            continue
        fi
        missing=$(awk 'NR == FNR { if (NF) seen[toupper($1)] = 1; next } NF && !(toupper($1) in seen)' "$target" "$file")
        if [ -n "$missing" ]; then
            # A last line without its line end would swallow the first English key.
            if [ -n "$(tail -c 1 "$target")" ]; then echo >> "$target"; fi
            printf '%s\n' "$missing" >> "$target"
        fi
    done
done
