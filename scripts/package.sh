#!/usr/bin/env bash
# Makes Corvane's two Debian packages with what building them needs and nothing more: installs
# the build packages that are missing, builds a Release in build-package/ and runs cpack there.
# It runs no tests (./test.sh does).
#
#   scripts/package.sh
#
# The packages land in build-package/package/:
#   corvane_<version>_<arch>.deb          the program; Qt's core, GUI, widgets and SVG libraries
#   corvane-browser_<version>_<arch>.deb  its built-in browser window, with Qt WebEngine
# Install them with apt, which brings the libraries they need:
#   sudo apt install ./build-package/package/corvane_*.deb ./build-package/package/corvane-browser_*.deb
#
# The packages name who made them (their Maintainer field and changelog): DEBFULLNAME and DEBEMAIL,
# as Debian's own tools read them, else git's user.name and user.email.
set -euo pipefail
CORVANE_ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$CORVANE_ROOT/scripts/setup.sh"

if [[ ${1:-} == -h || ${1:-} == --help ]]; then
    sed -n '2,16p' "$0" | sed 's/^# \{0,1\}//'
    exit 0
fi

build_dir=$CORVANE_ROOT/build-package
corvane_install_missing_packages "${corvane_build_packages[@]}"
# -U: the packager is looked for anew on every run.
cmake -S "$CORVANE_ROOT" -B "$build_dir" -U CORVANE_PACKAGER \
    -DCMAKE_BUILD_TYPE=Release -DCORVANE_BUILD_TESTS=OFF -DCORVANE_BUILD_BENCH=OFF
cmake --build "$build_dir" --parallel "$(nproc)"
rm -f "$build_dir"/package/*.deb
(cd "$build_dir" && cpack -G DEB)

echo
echo "The packages:"
for deb in "$build_dir"/package/*.deb; do
    printf '  %s  (%s KiB)\n' "${deb#"$CORVANE_ROOT"/}" "$(($(stat -c %s "$deb") / 1024))"
done
echo "Install them with:"
echo "  sudo apt install$(printf ' %s' "$build_dir"/package/*.deb)"
