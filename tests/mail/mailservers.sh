#!/usr/bin/env bash
# Starts or stops the private mail servers of the integration tests: a Dovecot IMAP server and
# an SMTP sink, each with a STARTTLS port and an implicit-TLS port, on free loopback ports, with
# all their state in a fresh temporary folder. `start ENVFILE` writes the ports and folders to
# ENVFILE for the tests; `stop ENVFILE` stops both servers and removes the folder.
set -euo pipefail

action=${1:?start or stop}
envfile=${2:?path of the environment file}
here=$(cd "$(dirname "$0")" && pwd)

free_port() {
    /usr/bin/python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
}

wait_for_port() {
    local port=$1
    for _ in $(seq 1 100); do
        if /usr/bin/python3 -c "import socket,sys; socket.create_connection(('127.0.0.1', $port), 0.2)" 2>/dev/null; then
            return 0
        fi
        sleep 0.05
    done
    echo "nothing answers on port $port" >&2
    return 1
}

stop() {
    [ -f "$envfile" ] || return 0
    # shellcheck disable=SC1090
    . "$envfile"
    if [ -f "$ENROLIX_MAIL_STATE/sink.pid" ]; then
        kill "$(cat "$ENROLIX_MAIL_STATE/sink.pid")" 2>/dev/null || true
    fi
    if [ -f "$ENROLIX_MAIL_STATE/run/master.pid" ]; then
        local pid
        pid=$(cat "$ENROLIX_MAIL_STATE/run/master.pid")
        kill "$pid" 2>/dev/null || true
        for _ in $(seq 1 100); do
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.05
        done
    fi
    case "$ENROLIX_MAIL_STATE" in
        /tmp/enrolix-mail.*) rm -rf "$ENROLIX_MAIL_STATE" ;;
    esac
    rm -f "$envfile"
}

start() {
    stop
    local state imap_port imaps_port smtp_port smtps_port
    state=$(mktemp -d /tmp/enrolix-mail.XXXXXX)
    chmod 755 "$state"
    imap_port=$(free_port)
    imaps_port=$(free_port)
    smtp_port=$(free_port)
    while [ "$imaps_port" = "$imap_port" ]; do imaps_port=$(free_port); done
    while [ "$smtp_port" = "$imap_port" ] || [ "$smtp_port" = "$imaps_port" ]; do smtp_port=$(free_port); done
    smtps_port=$(free_port)
    while [ "$smtps_port" = "$imap_port" ] || [ "$smtps_port" = "$imaps_port" ] || [ "$smtps_port" = "$smtp_port" ]; do
        smtps_port=$(free_port)
    done
    mkdir -p "$state/run" "$state/state" "$state/mail" "$state/home" "$state/sink"

    openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=127.0.0.1" \
        -addext "subjectAltName=IP:127.0.0.1,DNS:localhost" \
        -keyout "$state/key.pem" -out "$state/cert.pem" 2>/dev/null
    chmod 644 "$state/cert.pem"

    local login_user internal_user mail_user chroot_line
    if [ "$(id -u)" -eq 0 ]; then
        login_user=dovenull
        internal_user=dovecot
        mail_user=dovecot
        chown dovecot:dovecot "$state/mail" "$state/home"
    else
        login_user=$(id -un)
        internal_user=$(id -un)
        mail_user=$(id -un)
    fi
    chroot_line="chroot ="

    cat > "$state/dovecot.conf" <<CONF
base_dir = $state/run
state_dir = $state/state
instance_name = enrolix-test-$(basename "$state")
listen = 127.0.0.1
protocols = imap
log_path = $state/dovecot.log
default_login_user = $login_user
default_internal_user = $internal_user
first_valid_uid = 1
mail_location = maildir:$state/mail/%u
ssl = yes
ssl_cert = <$state/cert.pem
ssl_key = <$state/key.pem
disable_plaintext_auth = no
auth_mechanisms = plain login
passdb {
  driver = static
  args = password=secret
}
userdb {
  driver = static
  args = uid=$mail_user gid=$mail_user home=$state/home/%u
}
service imap-login {
  $chroot_line
  inet_listener imap {
    address = 127.0.0.1
    port = $imap_port
  }
  inet_listener imaps {
    address = 127.0.0.1
    port = $imaps_port
    ssl = yes
  }
}
service anvil {
  $chroot_line
}
service stats {
  unix_listener stats-reader {
    mode = 0666
  }
  unix_listener stats-writer {
    mode = 0666
  }
}
CONF

    cat > "$envfile" <<ENV
ENROLIX_MAIL_STATE=$state
ENROLIX_IMAP_PORT=$imap_port
ENROLIX_IMAPS_PORT=$imaps_port
ENROLIX_SMTP_PORT=$smtp_port
ENROLIX_SMTPS_PORT=$smtps_port
ENROLIX_MAIL_CA=$state/cert.pem
ENROLIX_SINK_DIR=$state/sink
ENV

    /usr/sbin/dovecot -c "$state/dovecot.conf" < /dev/null > "$state/dovecot.out" 2>&1
    setsid /usr/bin/python3 "$here/smtp_sink.py" "$smtp_port" "$smtps_port" "$state/sink" "$state/cert.pem" "$state/key.pem" \
        > "$state/sink.log" 2>&1 < /dev/null &
    echo $! > "$state/sink.pid"
    wait_for_port "$imap_port"
    wait_for_port "$imaps_port"
    wait_for_port "$smtp_port"
    wait_for_port "$smtps_port"
}

case "$action" in
    start) start ;;
    stop) stop ;;
    *) echo "usage: $0 start|stop ENVFILE" >&2; exit 2 ;;
esac
