#!/usr/bin/env bash
# Tries the two commands the way a new user meets them: makes a fresh, minimal Debian 12
# root (mmdebstrap --variant=minbase, with git), clones this checkout into it and runs
# ./test.sh there, which installs every package it needs and builds from nothing, then makes
# the Debian package with cpack.
#
#   scripts/fresh-check.sh [--keep] [--mount-root] [--command "CMD"] [ROOT]
#   scripts/fresh-check.sh [--keep] [--mount-root] --deb corvane_1.0.0_amd64.deb [ROOT]
#
#   --keep        leave the root in place afterwards (it is removed otherwise)
#   --mount-root  make the root a mount point of its own, as on a machine booted into it; by
#                 default it is entered with plain chroot, where no mounted file system holds "/"
#   --command     what to run in the clone instead of ./test.sh and the package build
#                 (for instance "./run.sh")
#   --deb FILE    instead of cloning: install the package with apt-get, as a user would,
#                 then start corvane (under xvfb-run) as a new user and check that its
#                 window shows and its records folder is ~/.local/share/corvane
#   ROOT          where to make the root; a new folder under build-fresh/ by default
#
# For developers and releases, not for CI: it downloads the whole Debian base and every
# package the tests need. It tests what is committed (HEAD), not changes in the work tree.
# Needs root: it mounts /proc, /sys and /dev into the new root and runs there with chroot (the
# tests in a network namespace of their own, with unshare, once the packages are installed).
set -euo pipefail
CORVANE_ROOT=$(cd "$(dirname "$0")/.." && pwd)

keep=0
mount_root=0
command="./test.sh && cd build && cpack -G DEB"
deb=
root=
while (($#)); do
    case $1 in
    --keep) keep=1 ;;
    --mount-root) mount_root=1 ;;
    --deb)
        deb=$(realpath "$2")
        shift
        ;;
    --command)
        command=$2
        shift
        ;;
    -h | --help)
        sed -n '2,23p' "$0" | sed 's/^# \{0,1\}//'
        exit 0
        ;;
    *) root=$1 ;;
    esac
    shift
done

if [[ $(id -u) -ne 0 ]]; then
    echo "fresh-check.sh needs root (mmdebstrap, mounts and chroot): run it with sudo." >&2
    exit 2
fi
if ! command -v mmdebstrap >/dev/null; then
    echo "Installing mmdebstrap"
    apt-get update
    DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends mmdebstrap
fi

root=${root:-$CORVANE_ROOT/build-fresh/root-$(date +%Y%m%d-%H%M%S)}
if [[ -e $root && -n $(ls -A "$root" 2>/dev/null) ]]; then
    echo "$root exists and is not empty; give a new folder." >&2
    exit 2
fi
mkdir -p "$root"
log=$root.log
mounted=()

cleanup() {
    local status=$? m
    for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do
        m=${mounted[i]}
        umount -l "$m" 2>/dev/null || true
    done
    if ((keep)); then
        echo "The root stays in $root."
    else
        # Only once nothing is mounted below it any more.
        if ! grep -q " $root/" /proc/mounts; then
            rm -rf --one-file-system "$root"
        fi
    fi
    exit $status
}
trap cleanup EXIT

mount_in() { # mount_in TARGET MOUNT-ARGUMENTS...
    local target=$root$1
    shift
    mkdir -p "$target"
    mount "$@" "$target"
    mounted+=("$target")
}

echo "Making a minimal Debian 12 root in $root (log: $log)"
start=$SECONDS
mmdebstrap --variant=minbase --include=git,ca-certificates bookworm "$root" \
    "deb http://deb.debian.org/debian bookworm main" \
    "deb http://deb.debian.org/debian bookworm-updates main" \
    "deb http://deb.debian.org/debian-security bookworm-security main" >"$log" 2>&1
echo "Root made in $((SECONDS - start)) s."

workdir=/root
if [[ -z $deb ]]; then
    workdir=/root/corvane
    git clone --quiet --no-local "$CORVANE_ROOT" "$root/root/corvane"
    echo "Cloned $(git -C "$CORVANE_ROOT" rev-parse --short HEAD) into /root/corvane."
else
    [[ -f $deb ]] || { echo "No package $deb" >&2; exit 2; }
    cp "$deb" "$root/root/"
    cat >"$root/root/check-package.sh" <<'EOS'
#!/bin/bash
# Installs the package as a user would, then runs corvane as a new user under xvfb-run.
set -euo pipefail
deb=$1
apt-get update -qq
DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "./$deb"
DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends xvfb xauth xdotool
dpkg -L corvane
useradd --create-home someone
runuser -u someone -- bash -s <<'EOU'
set -u
cd ~
# The check runs inside xvfb-run, which alone holds the virtual display's key.
xvfb-run -a -n 390 -s "-screen 0 1280x1024x24" bash -c '
    corvane >corvane.out 2>&1 &
    pid=$!
    shown=
    for i in $(seq 60); do
        if xdotool search --onlyvisible --name "^Corvane\$" >/dev/null 2>&1 && [[ -d .local/share/corvane/Data ]]; then
            shown=yes
            break
        fi
        sleep 1
    done
    kill $pid
    wait $pid
    [[ -n $shown ]]'
status=$?
ls -la .local/share/corvane .local/share/corvane/Data || true
cat corvane.out
((status == 0)) || { echo "corvane's window did not show, or it made no records folder"; exit 1; }
echo "corvane ran from the package: its window showed and its records live in ~/.local/share/corvane"
EOU
EOS
    command="bash check-package.sh $(basename "$deb")"
fi

# Plain chroot, as a container or a build root is often entered: no mounted file system holds
# "/" there, and what looks at the mounts (the backup window lists them as drives) must cope.
# With --mount-root the root is a mount point of its own, as on a machine booted into it.
if ((mount_root)); then
    mount --bind "$root" "$root"
    mounted+=("$root")
fi
mount_in /proc -t proc proc
mount_in /sys -t sysfs sysfs
mount_in /dev --bind /dev
mount_in /dev/pts --bind /dev/pts
mount_in /dev/shm -t tmpfs -o mode=1777 tmpfs
cp /etc/resolv.conf "$root/etc/resolv.conf"

in_root() { # in_root [ISOLATE...] -- COMMAND: runs COMMAND in the clone's folder in the new root
    local isolate=()
    while [[ $1 != -- ]]; do
        isolate+=("$1")
        shift
    done
    "${isolate[@]}" chroot "$root" /usr/bin/env -i HOME=/root LANG=C.UTF-8 TERM=dumb \
        PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
        bash -c "cd $workdir && $2" 2>&1 | tee -a "$log"
    return "${PIPESTATUS[0]}"
}

isolate=()
if [[ -z $deb ]]; then
    # The packages first, while the root can reach Debian's mirrors; then the tests in a network of
    # their own. The journeys' X servers listen on abstract sockets as well, which belong to the
    # network and not to the root's /tmp: X servers elsewhere on this machine with the same display
    # numbers would take the journeys' windows, and theirs the journeys'.
    echo "Installing the packages the tests need in the new root"
    in_root -- "CORVANE_ROOT=\$PWD; source scripts/setup.sh; corvane_install_missing_packages"
    isolate=(unshare --net sh -c 'ip link set lo up && exec "$@"' isolated)
fi
echo "Running $command in the new root"
start=$SECONDS
set +e
in_root "${isolate[@]}" -- "$command"
status=$?
set -e
echo "$command ended with status $status after $((SECONDS - start)) s (whole log: $log)."
exit "$status"
