#!/usr/bin/env bash
# Starts or stops the test host of the STARTTLS tests: a network namespace of this run, joined
# to this machine by a veth pair, at an address that is not loopback (198.18.0.0/15, the range
# set aside for tests). There a Dovecot IMAP server (port 143) and an SMTP sink (port 587)
# listen without any TLS, each keeping every byte that its clients send, one file per
# connection (Dovecot's rawlog before sign-on; the sink's record). A proxy on a loopback port of this machine leads to each, so the same servers are
# also reached through loopback. `start ENVFILE` writes the address, ports and folders to
# ENVFILE; where no namespace can be made (not root, no network namespaces), ENVFILE holds only
# ENROLIX_TEST_HOST_SKIP and why. `stop ENVFILE` ends the processes of the namespace and the
# proxies, and removes the namespace, its link and the state folder.
set -eEuo pipefail

action=${1:?start or stop}
envfile=${2:?path of the environment file}
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=serverlib.sh
. "$here/serverlib.sh"

skip() {
    echo "ENROLIX_TEST_HOST_SKIP=$1" > "$envfile"
    exit 0
}

stop() {
    local ns link state
    ns=$(env_value "$envfile" ENROLIX_TEST_HOST_NETNS)
    link=$(env_value "$envfile" ENROLIX_TEST_HOST_LINK)
    state=$(env_value "$envfile" ENROLIX_TEST_HOST_STATE)
    if [ -n "$state" ]; then
        stop_process "$state/imap-proxy.pid"
        stop_process "$state/smtp-proxy.pid"
        stop_dovecot "$state"
    fi
    if [ -n "$ns" ] && [ -e "/run/netns/$ns" ]; then
        local pids
        for _ in $(seq 1 100); do
            pids=$(ip netns pids "$ns")
            [ -n "$pids" ] || break
            # shellcheck disable=SC2086
            kill $pids 2>/dev/null || true
            sleep 0.05
        done
        ip netns delete "$ns"
    fi
    if [ -n "$link" ]; then
        ip link delete "$link" 2>/dev/null || true
    fi
    case "$state" in
        /tmp/enrolix-testhost.*) rm -rf "$state" ;;
    esac
    rm -f "$envfile"
}

# proxy PORT NAME: a loopback proxy of this machine to PORT of the test host; prints its port.
proxy() {
    local port
    setsid /usr/bin/python3 "$here/fault_proxy.py" "$1" --target-host "$address" \
        > "$state/$2-proxy.port" 2> "$state/$2-proxy.log" < /dev/null &
    echo $! > "$state/$2-proxy.pid"
    for _ in $(seq 1 100); do
        port=$(head -n 1 "$state/$2-proxy.port")
        [ -z "$port" ] || { echo "$port"; return 0; }
        sleep 0.05
    done
    echo "the $2 proxy did not start" >&2
    return 1
}

start() {
    stop
    [ "$(id -u)" -eq 0 ] || skip "the test host needs root to make a network namespace"
    command -v ip > /dev/null || skip "the test host needs the ip command (iproute2)"
    local tag=$(($$ % 100000)) ns link subnet address state imap_proxy smtp_proxy
    ns=enrolix-test-$tag
    link=enx$tag
    subnet=198.18.$((tag % 250)).$((tag / 250 % 64 * 4))
    ip netns add "$ns" 2> /dev/null || skip "network namespaces cannot be made here (ip netns add failed)"
    echo "ENROLIX_TEST_HOST_NETNS=$ns" > "$envfile"
    trap 'stop; exit 1' ERR
    if ! ip link add "$link" type veth peer name eth0 netns "$ns" 2> /dev/null; then
        stop
        skip "veth links cannot be made here (ip link add failed)"
    fi
    echo "ENROLIX_TEST_HOST_LINK=$link" >> "$envfile"
    address=${subnet%.*}.$((${subnet##*.} + 2))
    ip addr add "${subnet%.*}.$((${subnet##*.} + 1))/30" dev "$link"
    ip link set "$link" up
    ip -n "$ns" addr add "$address/30" dev eth0
    ip -n "$ns" link set eth0 up
    ip -n "$ns" link set lo up

    state=$(mktemp -d /tmp/enrolix-testhost.XXXXXX)
    chmod 755 "$state"
    echo "ENROLIX_TEST_HOST_STATE=$state" >> "$envfile"
    mkdir -p "$state/sink" "$state/smtp-capture" "$state/run/login/rawlogs"
    [ "$(id -u)" -ne 0 ] || chown dovenull "$state/run/login/rawlogs"
    write_dovecot_conf "$state" "$address" "ssl = no
service imap-login {
  chroot =
  executable = imap-login -R rawlogs
  inet_listener imap {
    address = $address
    port = 143
  }
  inet_listener imaps {
    port = 0
  }
}"
    ip netns exec "$ns" /usr/sbin/dovecot -c "$state/dovecot.conf" < /dev/null > "$state/dovecot.out" 2>&1
    ip netns exec "$ns" setsid /usr/bin/python3 "$here/smtp_sink.py" --root "$state/sink" --listen "$address" \
        --plain 587 --record "$state/smtp-capture" > "$state/sink.log" 2>&1 < /dev/null &
    wait_for_port "$address" 143
    wait_for_port "$address" 587
    imap_proxy=$(proxy 143 imap)
    smtp_proxy=$(proxy 587 smtp)

    cat >> "$envfile" <<ENV
ENROLIX_TEST_HOST_ADDRESS=$address
ENROLIX_TEST_HOST_LOOPBACK_IMAP_PORT=$imap_proxy
ENROLIX_TEST_HOST_LOOPBACK_SMTP_PORT=$smtp_proxy
ENROLIX_TEST_HOST_IMAP_CAPTURE=$state/run/login/rawlogs
ENROLIX_TEST_HOST_IMAP_LOG=$state/dovecot.log
ENROLIX_TEST_HOST_SMTP_CAPTURE=$state/smtp-capture
ENROLIX_TEST_HOST_SINK_DIR=$state/sink
ENV
}

case "$action" in
    start) start ;;
    stop) stop ;;
    *) echo "usage: $0 start|stop ENVFILE" >&2; exit 2 ;;
esac
