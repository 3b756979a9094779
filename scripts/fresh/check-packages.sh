#!/usr/bin/env bash
# Checks Corvane's packages on a fresh, minimal Debian 12 system as its users meet them, as root and
# as a new user. Run by scripts/fresh-check.sh --deb inside the new root, as root:
#
#   check-packages.sh NEW [OLD]
#
# NEW holds the packages to check (corvane_*.deb and corvane-browser_*.deb), OLD the packages of
# an earlier release to upgrade from (without it the upgrade is not checked). Each check prints
# PASS or FAIL; FIGURE lines tell how many packages apt pulls in and the room they take. The
# sessions' screenshots and logs go to /var/tmp/corvane-check. Exits with the number of failed
# checks (0: all passed).
# shellcheck disable=SC2317 # the checks are functions that check() runs, which shellcheck takes for unreachable
set -uo pipefail
new=$(cd "$1" && pwd)
old=
[[ -n ${2:-} ]] && old=$(cd "$2" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
out=/var/tmp/corvane-check
mkdir -p "$out"
chmod 755 "$out"
passed=0
failed=0
users=(root someone)
export DEBIAN_FRONTEND=noninteractive
apt=(apt-get -y -q -o Dpkg::Use-Pty=0)

corvane_deb=$(ls "$new"/corvane_*.deb)
browser_deb=$(ls "$new"/corvane-browser_*.deb)

check() { # check DESCRIPTION COMMAND...: runs COMMAND and counts it passed or failed
    local what=$1
    shift
    if "$@"; then
        echo "PASS: $what"
        passed=$((passed + 1))
    else
        echo "FAIL: $what"
        failed=$((failed + 1))
    fi
}
figure() { echo "FIGURE: $*"; }
step() { echo "---- $*"; }

installed_count() { dpkg-query -W -f='${db:Status-Status}\n' | grep -c '^installed$'; }
used_mib() {
    apt-get clean
    echo $(($(du -sx --block-size=1K / | cut -f1) / 1024))
}
# pulls ARGS...: how many packages apt would install for "apt-get install ARGS", as simulated now.
pulls() { apt-get install -s "$@" 2>/dev/null | grep -c '^Inst '; }
# apt_install [WHAT] ARGS...: apt-get install ARGS; with WHAT, the figure of what it added.
apt_install() {
    local what=$1 before_n before_mib
    shift
    before_n=$(installed_count)
    [[ -n $what ]] && before_mib=$(used_mib)
    if ! "${apt[@]}" install "$@" >>"$out/apt.log" 2>&1; then
        tail -n 15 "$out/apt.log"
        return 1
    fi
    [[ -z $what ]] || figure "$what: $(($(installed_count) - before_n)) packages installed, $(($(used_mib) - before_mib)) MiB"
}

home_of() { getent passwd "$1" | cut -d: -f6; }
# as USER COMMAND...: runs COMMAND as USER, in a clean environment like a login's, without a display.
as() {
    local user=$1 uid
    shift
    uid=$(id -u "$user")
    mkdir -p "/run/user/$uid"
    chown "$user:" "/run/user/$uid"
    chmod 700 "/run/user/$uid"
    runuser -u "$user" -- env -i HOME="$(home_of "$user")" USER="$user" LOGNAME="$user" LANG=C.UTF-8 \
        PATH=/usr/local/bin:/usr/bin:/bin XDG_RUNTIME_DIR="/run/user/$uid" "$@"
}
# session USER WHAT [NAME=VALUE...]: one desktop session (session.sh WHAT) in a virtual X server.
# Each session's server starts looking for a free display number above the last one's, which
# may still be shutting down.
display=390
session() {
    local user=$1 what=$2
    shift 2
    mkdir -p "$out/$user"
    chown "$user:" "$out/$user"
    display=$((display + 1))
    as "$user" "$@" xvfb-run -a -n "$display" -s "-screen 0 1280x1024x24 -dpi 96" \
        bash "$here/session.sh" "$what" "$out/$user"
}
# records USER: the checksums of the user's records folder (the lock of a running Corvane aside).
records() {
    local folder
    folder=$(home_of "$1")/.local/share/corvane
    [[ -d $folder ]] || return 0
    (cd "$folder" && find . -type f ! -name corvane.lock -print0 | sort -z | xargs -0 -r sha256sum)
}
snapshot() { for user in "${users[@]}"; do records "$user" >"$out/records-$user.$1"; done; }
records_kept() { # records_kept SNAPSHOT: every user's records are as they were at SNAPSHOT
    local user
    for user in "${users[@]}"; do
        [[ -s $out/records-$user.$1 ]] || { echo "  $user had no records to keep"; return 1; }
        records "$user" | cmp -s - "$out/records-$user.$1" || { echo "  $user's records changed"; return 1; }
    done
}
version_answers() { # version_answers USER: corvane --version, with no display, prints the version
    local said status expected
    expected=$(dpkg-query -W -f='${Version}' corvane)
    expected=${expected%-*}
    said=$(as "$1" corvane --version 2>&1)
    status=$?
    echo "  corvane --version as $1: status $status, \"$(head -n 1 <<<"$said")\""
    ((status == 0)) && [[ $said == *"$expected"* ]]
}
# Only what dpkg put there is under /usr: no file written at run time, none left behind.
usr_untouched() {
    local listed found
    listed=$(dpkg -L corvane corvane-browser 2>/dev/null | grep -E '^/usr/(lib|share)/corvane(/|$)' | sort -u)
    found=$(find /usr/lib/corvane /usr/share/corvane 2>/dev/null | sort -u)
    [[ $listed == "$found" ]] || { diff <(echo "$listed") <(echo "$found") | sed 's/^/  /'; return 1; }
    # And what it put there is as it came.
    dpkg --verify corvane || return 1
    ! is_installed corvane-browser || dpkg --verify corvane-browser
}
is_installed() { [[ $(dpkg-query -W -f='${db:Status-Status}' "$1" 2>/dev/null) == installed ]]; }
purge() { "${apt[@]}" purge corvane corvane-browser >>"$out/apt.log" 2>&1; }
no_web_engine() { ! dpkg-query -W -f='${Package} ${db:Status-Status}\n' 'libqt6webengine*' 2>/dev/null | grep -q ' installed$'; }
gone() { [[ ! -e /usr/lib/corvane && ! -e /usr/share/corvane && ! -e /usr/bin/corvane ]]; }

step "What apt pulls in on this fresh root"
apt-get update -q >>"$out/apt.log" 2>&1 || { tail "$out/apt.log"; exit 1; }
# Without recommended packages, and with them (apt's default).
figures() { # figures WHAT DEB...
    local what=$1
    shift
    figure "$what: $(pulls --no-install-recommends "$@") packages, $(pulls "$@") with recommended packages"
}
figures "corvane alone" "$corvane_deb"
figures "corvane and corvane-browser" "$corvane_deb" "$browser_deb"
[[ -z $old ]] || figures "the earlier release ($(basename -a "$old"/*.deb | paste -sd ' '))" "$old"/*.deb

step "corvane alone"
check "corvane installs" apt_install "corvane" --no-install-recommends "$corvane_deb"
check "corvane brings no Qt WebEngine" no_web_engine
useradd --create-home --shell /bin/bash someone
for user in "${users[@]}"; do
    check "$user: corvane --version works with no display" version_answers "$user"
done
# What the sessions need: a virtual X server, a window manager, xdotool, xclip, xprop, and ImageMagick's
# import for screenshots.
"${apt[@]}" install --no-install-recommends xvfb xauth xdotool xclip x11-utils openbox imagemagick >>"$out/apt.log" 2>&1 \
    || { tail "$out/apt.log"; exit 1; }
for user in "${users[@]}"; do
    check "$user: Corvane starts, files a record, and its browser command names corvane-browser" session "$user" first
    check "$user: the records live in ~/.local/share/corvane" test -s "$(home_of "$user")/.local/share/corvane/Data/userDB.pdb"
done
check "nothing is written under /usr" usr_untouched

step "corvane-browser added"
check "corvane-browser installs" apt_install "corvane-browser, added" --no-install-recommends "$browser_deb"
check "someone: the built-in browser opens" session someone browser
check "root: the built-in browser says how it starts as root" session root refused
check "root: the built-in browser opens without its sandbox" session root browser QTWEBENGINE_DISABLE_SANDBOX=1
check "nothing is written under /usr" usr_untouched

if [[ -n $old ]]; then
    step "Upgrade from the earlier release"
    snapshot before-old
    purge
    check "the earlier release installs" apt_install "" --no-install-recommends "$old"/*.deb
    check "every user's records are kept while the earlier release is installed" records_kept before-old
    snapshot before-upgrade
    check "the upgrade installs" apt_install "" --no-install-recommends "$corvane_deb" "$browser_deb"
    check "the upgrade is of the new version" test "$(dpkg-query -W -f='${Version}' corvane)" \
        = "$(dpkg-deb -f "$corvane_deb" Version)"
    check "every user's records are kept by the upgrade" records_kept before-upgrade
    check "someone: the upgraded Corvane shows the records and opens the built-in browser" session someone again
    check "root: the upgraded Corvane shows the records and opens the built-in browser" \
        session root again QTWEBENGINE_DISABLE_SANDBOX=1
    check "nothing is written under /usr" usr_untouched
else
    echo "NOTE: no earlier release given (--upgrade-from): the upgrade is not checked."
fi

step "Purge"
snapshot before-purge
check "corvane and corvane-browser are purged" purge
check "nothing of Corvane is left under /usr" gone
check "every user's records are kept by the purge" records_kept before-purge

echo "---- $passed checks passed, $failed failed."
exit "$failed"
