#!/usr/bin/env bash
# Builds Corvane, installs a copy in your own data folder and starts it.
# The copy lives outside build/, so the records beside it survive a rebuild.
set -euo pipefail
CORVANE_ROOT=$(cd "$(dirname "$0")" && pwd)
source "$CORVANE_ROOT/scripts/setup.sh"

corvane_install_missing_packages
corvane_build "$CORVANE_ROOT/build"

dest=${XDG_DATA_HOME:-$HOME/.local/share}/corvane
mkdir -p "$dest"
chmod 700 "$dest"
# The program and the files it reads from beside itself (browser library, help page, language files).
install -m 755 "$CORVANE_ROOT/build/bin/corvane" "$dest/corvane"
install -m 644 "$CORVANE_ROOT/build/bin/corvane-browser.so" "$dest/corvane-browser.so"
install -m 644 "$CORVANE_ROOT/build/bin/help.html" "$dest/help.html"
rm -rf "$dest/intl" && cp -r "$CORVANE_ROOT/build/bin/intl" "$dest/intl"
echo "Corvane is installed in $dest; its records live in $dest/Data."

if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
    echo "No display found: starting Corvane under xvfb-run (a virtual X server you cannot see)."
    exec xvfb-run -a -s "-screen 0 1280x1024x24" "$dest/corvane" "$@"
fi
exec "$dest/corvane" "$@"
