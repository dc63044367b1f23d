# Shared by run.sh and test.sh: the Debian packages the project needs, and its folders.
# Sourced, not run.

HANDSET_SOURCE=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
HANDSET_JOBS=${HANDSET_JOBS:-$(nproc)}

HANDSET_PACKAGES=(
    cmake g++ make pkg-config
    libgtest-dev libgmock-dev libbenchmark-dev
    zlib1g-dev libminizip-dev libsqlite3-dev libfreetype-dev fonts-dejavu-core
    libsdl2-dev libegl-dev libgles-dev libegl-mesa0 libgl1-mesa-dri libxmp-dev libpng-dev libx11-dev
    xvfb xauth clang-14 libclang-rt-14-dev
)

# Installs whatever of HANDSET_PACKAGES is missing, and says what it installs.
install_packages() {
    local missing=()
    local package
    for package in "${HANDSET_PACKAGES[@]}"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$package")
        fi
    done
    if [ ${#missing[@]} -eq 0 ]; then
        echo "== packages: all present"
        return 0
    fi
    echo "== packages: installing ${missing[*]}"
    local sudo=""
    if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
    export DEBIAN_FRONTEND=noninteractive
    $sudo apt-get update -q
    $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
}

# Builds the demo data from data/ into <build>/data, with the data tools of the given
# (configured) build folder: the build's target demo_data, which a whole build makes too and
# which remakes only what comes from a changed source.
build_demo_data() {
    cmake --build "$1" --target demo_data -j "$HANDSET_JOBS"
}
