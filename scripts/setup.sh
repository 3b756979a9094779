# shellcheck shell=bash
# Shared by run.sh and test.sh: install what is missing, then configure and build.
# Sourced, not run; expects CORVANE_ROOT to be set.

# What building Corvane and its packages needs: Qt, libcsv (File > Import and Export), the
# compiler, rsvg-convert (the icon's pictures), dpkg-shlibdeps and file (the packages' dependencies).
corvane_build_packages=(
    qt6-base-dev libgl-dev qt6-webengine-dev qt6-svg-dev
    libcsv-dev cmake make g++ librsvg2-bin dpkg-dev file
)
# ... and what the tests, benchmarks and checks need besides.
corvane_packages=(
    "${corvane_build_packages[@]}" libx11-dev
    xvfb xauth xdotool x11-utils xclip imagemagick openbox
    weston qt6-wayland wl-clipboard xwayland
    dbus-daemon libglib2.0-bin at-spi2-core python3-pyatspi
    clang libclang-rt-14-dev strace clang-format shellcheck
)

# corvane_install_missing_packages [PACKAGE...]: installs those of the packages (all of
# corvane_packages by default) that are missing.
corvane_install_missing_packages() {
    local missing=() p
    (($#)) || set -- "${corvane_packages[@]}"
    for p in "$@"; do
        if [[ "$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null)" != "install ok installed" ]]; then
            missing+=("$p")
        fi
    done
    [[ ${#missing[@]} -eq 0 ]] && return 0

    echo "Installing missing Debian packages: ${missing[*]}"
    local sudo=()
    if [[ $(id -u) -ne 0 ]]; then
        command -v sudo >/dev/null || { echo "Please install as root: ${missing[*]}" >&2; return 1; }
        sudo=(sudo)
    fi
    "${sudo[@]}" apt-get update
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
}

# corvane_build BUILD_DIR [extra cmake arguments...]
corvane_build() {
    local dir=$1
    shift
    if [[ ! -f "$dir/CMakeCache.txt" ]]; then
        cmake -S "$CORVANE_ROOT" -B "$dir" "$@"
    fi
    cmake --build "$dir" --parallel "$(nproc)"
}

# QtWebEngine refuses to start its sandbox as root and ends the process.
if [[ $(id -u) -eq 0 ]]; then
    export QTWEBENGINE_DISABLE_SANDBOX=1
fi
