#!/usr/bin/env bash
# The main job: installs what is missing, builds in Release, builds the demo data, installs
# the programs into the handset root and starts the game. Arguments go to the game.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

install_packages

build=$HANDSET_SOURCE/build/release
cmake -S "$HANDSET_SOURCE" -B "$build" -DCMAKE_BUILD_TYPE=Release -DHANDSET_TESTS=OFF
cmake --build "$build" -j "$HANDSET_JOBS"

"$HANDSET_SOURCE/scripts/install.sh" "$build"
root=${HANDSET_ROOT:-${XDG_DATA_HOME:-$HOME/.local/share}/handset}

# The platform picks the desktop window when a display exists and runs headless otherwise.
echo "== starting Quorvane (handset root: $root)"
exec "$root/fs/Program Files/Quorvane/quorvane" "$@"
