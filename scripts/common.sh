# Shared by scripts/run and scripts/test: install what is missing, configure and build.
# Source it; it defines vantola_setup.

VANTOLA_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
VANTOLA_BUILD="${VANTOLA_BUILD:-$VANTOLA_ROOT/build}"

# Debian packages the build, the tests and the benchmarks need.
VANTOLA_PACKAGES=(
    g++ cmake ninja-build pkg-config
    qt6-base-dev qt6-image-formats-plugins libpoppler-qt6-dev
    libgtest-dev libbenchmark-dev
    libjpeg-dev libpng-dev libjpeg-turbo-progs xvfb xauth xclip qpdf qt6-translations-l10n
    libarchive-dev libarchive-tools libopencv-imgproc-dev
    qt6-tools-dev qt6-l10n-tools
    dpkg-dev file lintian
)

vantola_install_packages() {
    local missing=()
    local package
    for package in "${VANTOLA_PACKAGES[@]}"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$package")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}" >&2
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update -qq >&2
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends \
        "${missing[@]}" >&2
}

# Extra CMake options for the build folder, e.g. VANTOLA_CMAKE_ARGS="-DVANTOLA_SANITIZE=ON".
vantola_setup() {
    vantola_install_packages
    # shellcheck disable=SC2086
    cmake -S "$VANTOLA_ROOT" -B "$VANTOLA_BUILD" -G Ninja ${VANTOLA_CMAKE_ARGS:-} "$@" >&2
    cmake --build "$VANTOLA_BUILD" -j "$(nproc)" >&2
}
