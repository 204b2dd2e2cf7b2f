#!/usr/bin/env bash
# Inside a session bus: starts GNOME Keyring with an unlocked login keyring, waits until it
# answers as the Secret Service, then runs the program.
set -euo pipefail

eval "$(printf 'test' | gnome-keyring-daemon --unlock --components=secrets)"
export GNOME_KEYRING_CONTROL
for _ in $(seq 1 100); do
    if dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
        org.freedesktop.DBus.NameHasOwner string:org.freedesktop.secrets 2> /dev/null | grep -q 'boolean true'; then
        exec "$@"
    fi
    sleep 0.05
done
echo "the keyring did not come up on the session bus" >&2
exit 1
