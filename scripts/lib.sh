# Shared by scripts/run and scripts/test: installs what the build needs on a
# Debian machine when it is missing, then configures and builds.

RAVELO_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
RAVELO_PACKAGES=(cmake g++ clang libclang-rt-14-dev ninja-build qt6-base-dev qt6-serialport-dev libqt6opengl6-dev
                 libgl-dev libxkbcommon-dev libqcustomplot-dev libbenchmark-dev
                 fonts-dejavu-core    # the panel draws its legends in DejaVu Sans
                 fonts-droid-fallback)  # and the full-width characters of its texts

ravelo_install_packages() {
    local missing=()
    local package
    for package in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$package")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    if ! command -v apt-get >/dev/null 2>&1; then
        echo "Missing packages: ${missing[*]} (install them with your package manager)" >&2
        return 1
    fi
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    echo "Installing: ${missing[*]}"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
}

# ravelo_build BUILD_DIR [cmake options...]
ravelo_build() {
    local dir="$1"
    shift
    ravelo_install_packages "${RAVELO_PACKAGES[@]}"
    local generator=()
    [ -f "$dir/CMakeCache.txt" ] || generator=(-G Ninja)
    cmake -S "$RAVELO_ROOT" -B "$dir" "${generator[@]}" "$@"
    cmake --build "$dir" --parallel
}
