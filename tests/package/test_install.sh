#!/usr/bin/env bash
# The Debian package installed the way a coordinator installs it: apt-get install ./enrolix_*.deb
# on a fresh Debian system (debootstrap) that boots with systemd in a container. There, the
# desktop entry started through gio shows the welcome window on an X server, and
# `systemctl --user` starts the packaged attendant unit, which answers a request and stops
# cleanly. Needs root; exits 77 (skipped) where this machine cannot boot a container.
# Usage: test_install.sh BUILD_FOLDER
set -euo pipefail

build=${1:?the build folder}
. "$(dirname "$0")/common.sh"

skip() {
    echo "SKIP: $*"
    exit 77
}

[ "$(id -u)" -eq 0 ] || skip "installing a package into a booted container needs root"
require_tools cpack debootstrap systemd-nspawn nsenter
work=$(mktemp -d /var/tmp/enrolix-install.XXXXXX)
root=$work/root
nspawn_pid=
cleanup() {
    if [ -n "$nspawn_pid" ]; then
        kill -TERM "$nspawn_pid" 2> /dev/null || true
        timeout 60 tail --pid="$nspawn_pid" -f /dev/null || kill -KILL "$nspawn_pid" 2> /dev/null || true
    fi
    rm -rf --one-file-system "$work"
}
trap cleanup EXIT

deb=$(make_package "$build" "$work/out")

# The same release and mirror as this machine's own packages.
. /etc/os-release
mirror=$(sed -n 's/^URIs: *\([^ ]*\).*/\1/p' /etc/apt/sources.list.d/debian.sources 2> /dev/null | head -1)
[ -n "$mirror" ] || mirror=$(awk '$1 == "deb" { print $2; exit }' /etc/apt/sources.list 2> /dev/null)
[ -n "$mirror" ] || mirror=http://deb.debian.org/debian
debootstrap --variant=minbase --include=systemd,systemd-sysv,dbus,dbus-user-session,libpam-systemd \
    "$VERSION_CODENAME" "$root" "$mirror" > "$work/debootstrap.log" 2>&1 ||
    { tail -20 "$work/debootstrap.log" >&2; fail "debootstrap could not make a $VERSION_CODENAME system"; }
cp -a /etc/apt/sources.list.d/. "$root/etc/apt/sources.list.d/" 2> /dev/null || true
[ ! -f /etc/apt/sources.list ] || cp /etc/apt/sources.list "$root/etc/apt/"
cp "$deb" "$root/root/"
echo enrolix-install > "$root/etc/hostname"

in_container() { systemd-nspawn -q --register=no --keep-unit -D "$root" --pipe "$@"; }
in_container bash -c "apt-get update -q && DEBIAN_FRONTEND=noninteractive apt-get install -y -q \
        /root/$(basename "$deb") xvfb xauth x11-utils libglib2.0-bin &&
    useradd -m coord && mkdir -p /var/lib/systemd/linger && touch /var/lib/systemd/linger/coord" \
    > "$work/install.log" 2>&1 || { tail -30 "$work/install.log" >&2; fail "apt-get could not install the package"; }

# Boot; the container's systemd is the child of nspawn that runs /usr/lib/systemd/systemd.
systemd-nspawn --register=no --keep-unit -D "$root" -b --console=passive > "$work/boot.log" 2>&1 &
nspawn_pid=$!
# Waits for it while nspawn lives.
for _ in $(seq 100); do
    leader=$(pgrep -P "$nspawn_pid" -x systemd || true)
    [ -z "$leader" ] && kill -0 "$nspawn_pid" 2> /dev/null || break
    sleep 0.2
done
[ -n "$leader" ] || skip "systemd-nspawn cannot boot a container here: $(tail -3 "$work/boot.log")"
inside() { nsenter -t "$leader" -a "$@"; }
# Early in the boot the system bus may not be up yet ("Failed to connect to bus"): ask again.
state=
for _ in $(seq 90); do
    state=$(inside timeout 90 systemctl is-system-running --wait 2>&1 || true)
    [[ "$state" == running || "$state" == degraded ]] && break
    sleep 1
done
[[ "$state" == running || "$state" == degraded ]] || fail "the container did not boot: $state"
as_coord() { inside su - coord -c "export XDG_RUNTIME_DIR=/run/user/\$(id -u); $1"; }
# The user manager comes up with coord's first session; on a loaded machine its bus may not be
# there yet when the first systemctl --user asks ("Failed to connect to bus"), so ask again.
user_state=
for _ in $(seq 60); do
    user_state=$(as_coord "timeout 60 systemctl --user is-system-running --wait" 2>&1 || true)
    [[ "$user_state" == running || "$user_state" == degraded ]] && break
    sleep 1
done
[[ "$user_state" == running || "$user_state" == degraded ]] ||
    fail "the user manager of coord did not start: $user_state"

# The application menu's entry starts the program, which shows its welcome window.
cat > "$root/usr/local/bin/launch-from-menu" << 'EOF'
#!/bin/sh
gio launch /usr/share/applications/enrolix.desktop || exit 1
for i in $(seq 50); do
    xwininfo -root -tree | grep -qF '"Welcome to Enrolix"' && { pkill -x enrolix; exit 0; }
    sleep 0.2
done
exit 1
EOF
chmod 755 "$root/usr/local/bin/launch-from-menu"
as_coord "xvfb-run -a launch-from-menu" > "$work/launch.log" 2>&1 ||
    fail "the desktop entry did not bring up the welcome window: $(tail -5 "$work/launch.log")"

# The attendant unit: started by systemctl --user, it answers at once, then stops on request.
home=$root/home/coord
data=$home/.local/share/enrolix
put_request "$data"
chown -R --reference="$home" "$home/.local"
as_coord "systemctl --user enable --now enrolix-attendant.service" > "$work/unit.log" 2>&1 ||
    fail "systemctl --user could not start the attendant: $(cat "$work/unit.log")"
for _ in $(seq 150); do
    compgen -G "$data/mail/outbox/new/*" > /dev/null && break
    sleep 0.2
done
[ "$(as_coord "systemctl --user is-active enrolix-attendant.service")" = active ] ||
    fail "the attendant is not running: $(as_coord "journalctl --user -u enrolix-attendant --no-pager | tail -5")"
check_answered "$data"
as_coord "systemctl --user stop enrolix-attendant.service"
result=$(as_coord "systemctl --user show -p Result -p ExecMainStatus --value enrolix-attendant.service" | tr '\n' ' ')
[ "$result" = "success 0 " ] || fail "the attendant did not end cleanly on stop: $result"
as_coord "journalctl --user -u enrolix-attendant --no-pager" | grep -q "pass: 1 replies sent" ||
    fail "the attendant's log lacks its pass line"
echo "package $(basename "$deb"): installed by apt-get, started from its menu entry and by systemctl --user"
