#!/usr/bin/env bash
# Tries Corvane the way a new user meets it, on a fresh, minimal Debian 12 root (mmdebstrap
# --variant=minbase, with git), entered with chroot.
#
#   scripts/fresh-check.sh [--keep] [--mount-root] [--command "CMD"] [ROOT]
#   scripts/fresh-check.sh [--keep] [--mount-root] --deb PACKAGES [--upgrade-from OLD-PACKAGES] [ROOT]
#
# Without --deb it clones this checkout into the root, installs the packages the tests need and
# runs ./test.sh there in a network namespace of its own (unshare), building from nothing, then
# makes the packages with scripts/package.sh.
#
#   --keep          leave the root in place afterwards (it is removed otherwise)
#   --mount-root    make the root a mount point of its own, as on a machine booted into it; by
#                   default it is entered with plain chroot, where no mounted file system holds "/"
#   --command       what to run in the clone instead (for instance "./run.sh")
#   --deb PACKAGES  instead of cloning: check the packages in the folder PACKAGES (or beside the
#                   .deb file given), corvane and corvane-browser as scripts/package.sh makes them
#                   in build-package/package, with scripts/fresh/check-packages.sh: corvane
#                   installs without Qt WebEngine and runs, as root and as a new user, its browser
#                   command naming corvane-browser; with corvane-browser the built-in browser opens;
#                   upgrade and purge keep every user's records; nothing is written under /usr.
#                   The sessions' screenshots (PNG) and logs are kept beside the log, in ROOT.check/
#   --upgrade-from OLD-PACKAGES
#                   with --deb: the packages of an earlier release, installed before the upgrade
#   ROOT            where to make the root; a new folder under build-fresh/ by default
#
# For developers and releases, not for CI: it downloads the whole Debian base and every
# package the checks need. Without --deb it tests what is committed (HEAD), not the work tree.
# Needs root: it mounts /proc, /sys and /dev into the new root and runs there with chroot.
set -euo pipefail
CORVANE_ROOT=$(cd "$(dirname "$0")/.." && pwd)

keep=0
mount_root=0
command="./test.sh && scripts/package.sh"
deb=
old=
root=
while (($#)); do
    case $1 in
    --keep) keep=1 ;;
    --mount-root) mount_root=1 ;;
    --deb | --upgrade-from)
        folder=$(realpath "$2")
        [[ -f $folder ]] && folder=$(dirname "$folder")
        if [[ $1 == --deb ]]; then deb=$folder; else old=$folder; fi
        shift
        ;;
    --command)
        command=$2
        shift
        ;;
    -h | --help)
        sed -n '2,29p' "$0" | sed 's/^# \{0,1\}//'
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

# shellcheck disable=SC2317 # run by the EXIT trap
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
    exit "$status"
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
    check=$root/opt/corvane-check
    mkdir -p "$check/new"
    for name in corvane corvane-browser; do
        compgen -G "$deb/${name}_*.deb" >/dev/null || { echo "No ${name}_*.deb in $deb" >&2; exit 2; }
        cp "$deb/${name}"_*.deb "$check/new/"
    done
    check_args="/opt/corvane-check/new"
    if [[ -n $old ]]; then
        mkdir -p "$check/old"
        cp "$old"/*.deb "$check/old/"
        check_args+=" /opt/corvane-check/old"
    fi
    cp "$CORVANE_ROOT/scripts/fresh/check-packages.sh" "$CORVANE_ROOT/scripts/fresh/session.sh" "$check/"
    echo "Checking $(cd "$check/new" && echo *)${old:+, upgrading from $(cd "$check/old" && echo *)}"
    command="bash /opt/corvane-check/check-packages.sh $check_args"
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
if [[ -n $deb && -d $root/var/tmp/corvane-check ]]; then
    # The sessions' logs and screenshots outlive the root.
    rm -rf "$root.check"
    cp -r "$root/var/tmp/corvane-check" "$root.check"
    echo "The sessions' screenshots and logs: $root.check"
fi
echo "$command ended with status $status after $((SECONDS - start)) s (whole log: $log)."
exit "$status"
