#!/usr/bin/env bash
# Installs the built programs and the demo data into the handset root, as the handset holds
# them: each program in "\Program Files\<Program>\" with its data, the phone application in
# "\Windows\". Usage: install.sh <build folder>; prints the handset root.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
build=$1

# The same default as the platform's own: HANDSET_ROOT, else a folder in the user's data directory.
root=${HANDSET_ROOT:-${XDG_DATA_HOME:-$HOME/.local/share}/handset}
fs=$root/fs
mkdir -p "$fs/Program Files/Quorvane" "$fs/Program Files/Calvane" "$fs/Windows"

install -m 755 "$build/game/program/quorvane" "$fs/Program Files/Quorvane/quorvane"
install -m 755 "$build/pimhelper/pellorin" "$fs/Program Files/Calvane/pellorin"
install -m 755 "$build/dialer/frame/libcalvane.so" "$fs/Program Files/Calvane/libcalvane.so"
install -m 755 "$build/platform/phoneapp/phoneapp" "$fs/Windows/phoneapp"

# Demo data: <build>/data/<Program>/ holds what goes into that program's folder.
for folder in "$build"/data/*/; do
    [ -d "$folder" ] || continue
    program=$(basename "$folder")
    mkdir -p "$fs/Program Files/$program"
    cp -R "$folder". "$fs/Program Files/$program/"
done
echo "== installed into $root"

# The dialer starts its helper by the handset path "\Program Files\Calvane\Pellorin.exe".
ln -sfn pellorin "$fs/Program Files/Calvane/Pellorin.exe"
