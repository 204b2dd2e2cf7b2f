#!/usr/bin/env bash
# Runs a test program in a session bus of its own: `with_keyring.sh keyring PROGRAM...` with a
# GNOME Keyring whose login keyring is unlocked, `with_keyring.sh none PROGRAM...` with no
# Secret Service on the bus at all (none running, none that the bus could start). The keyring's
# files live in a temporary folder that goes with the run.
set -euo pipefail

mode=${1:?keyring or none}
shift
here=$(cd "$(dirname "$0")" && pwd)
for tool in dbus-run-session gnome-keyring-daemon; do
    command -v "$tool" > /dev/null || { echo "$tool is missing (scripts/install-deps)" >&2; exit 77; }
done
state=$(mktemp -d /tmp/enrolix-keyring.XXXXXX)
trap 'rm -rf "$state"' EXIT
mkdir -m 700 "$state/runtime" "$state/data" "$state/home"

case "$mode" in
    keyring)
        HOME=$state/home XDG_DATA_HOME=$state/data XDG_RUNTIME_DIR=$state/runtime \
            dbus-run-session -- "$here/unlocked_keyring.sh" "$@"
        ;;
    none)
        # A bus that knows no services to start: the Secret Service is neither there nor startable.
        sed "s|@STATE@|$state|" "$here/bare_session.conf" > "$state/session.conf"
        HOME=$state/home XDG_DATA_HOME=$state/data XDG_RUNTIME_DIR=$state/runtime \
            dbus-run-session --config-file="$state/session.conf" -- "$@"
        ;;
    *) echo "usage: $0 keyring|none PROGRAM..." >&2; exit 2 ;;
esac
