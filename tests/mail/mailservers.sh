#!/usr/bin/env bash
# Starts or stops the private mail servers of the integration tests: a Dovecot IMAP server and
# an SMTP sink, each with a STARTTLS port and an implicit-TLS port, on free loopback ports, the
# OAuth 2.0 token server that both ask about access tokens, and a second Dovecot server whose
# capabilities lack IDLE, with all their state in a fresh temporary folder. `start ENVFILE` writes the ports and folders to ENVFILE for the tests;
# `stop ENVFILE` stops the servers and removes the folder.
set -euo pipefail

action=${1:?start or stop}
envfile=${2:?path of the environment file}
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=serverlib.sh
. "$here/serverlib.sh"

stop() {
    local state
    state=$(env_value "$envfile" ENROLIX_MAIL_STATE)
    [ -n "$state" ] || { rm -f "$envfile"; return 0; }
    stop_process "$state/sink.pid"
    stop_process "$state/tokens.pid"
    stop_dovecot "$state"
    stop_dovecot "$state/noidle"
    case "$state" in
        /tmp/enrolix-mail.*) rm -rf "$state" ;;
    esac
    rm -f "$envfile"
}

start() {
    stop
    local state ports=() port
    state=$(mktemp -d /tmp/enrolix-mail.XXXXXX)
    chmod 755 "$state"
    echo "ENROLIX_MAIL_STATE=$state" > "$envfile"
    while [ ${#ports[@]} -lt 6 ]; do
        port=$(free_port)
        [[ " ${ports[*]} " == *" $port "* ]] || ports+=("$port")
    done
    local imap_port=${ports[0]} imaps_port=${ports[1]} smtp_port=${ports[2]} smtps_port=${ports[3]}
    local token_port=${ports[4]} noidle_port=${ports[5]}
    mkdir -p "$state/sink" "$state/tokens"

    openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=127.0.0.1" \
        -addext "subjectAltName=IP:127.0.0.1,DNS:localhost" \
        -keyout "$state/key.pem" -out "$state/cert.pem" 2>/dev/null
    chmod 644 "$state/cert.pem"

    cat > "$state/oauth2.conf.ext" <<CONF
introspection_mode = post
introspection_url = http://127.0.0.1:$token_port/introspect
force_introspection = yes
username_attribute = username
active_attribute = active
active_value = true
CONF
    write_dovecot_conf "$state" 127.0.0.1 "ssl = yes
ssl_cert = <$state/cert.pem
ssl_key = <$state/key.pem
auth_mechanisms = plain login xoauth2 oauthbearer
passdb {
  driver = oauth2
  mechanisms = xoauth2 oauthbearer
  args = $state/oauth2.conf.ext
}
service imap-login {
  chroot =
  inet_listener imap {
    address = 127.0.0.1
    port = $imap_port
  }
  inet_listener imaps {
    address = 127.0.0.1
    port = $imaps_port
    ssl = yes
  }
}"

    # The capabilities Dovecot names by default, but IDLE.
    write_dovecot_conf "$state/noidle" 127.0.0.1 "ssl = yes
ssl_cert = <$state/cert.pem
ssl_key = <$state/key.pem
imap_capability = IMAP4rev1 SASL-IR LOGIN-REFERRALS ID ENABLE SORT SORT=DISPLAY THREAD=REFERENCES \
THREAD=REFS THREAD=ORDEREDSUBJECT MULTIAPPEND URL-PARTIAL CATENATE UNSELECT CHILDREN NAMESPACE UIDPLUS \
LIST-EXTENDED I18NLEVEL=1 CONDSTORE QRESYNC ESEARCH ESORT SEARCHRES WITHIN CONTEXT=SEARCH LIST-STATUS \
BINARY MOVE SNIPPET=FUZZY PREVIEW=FUZZY PREVIEW STATUS=SIZE SAVEDATE LITERAL+ NOTIFY SPECIAL-USE
service imap-login {
  chroot =
  inet_listener imap {
    address = 127.0.0.1
    port = $noidle_port
  }
  inet_listener imaps {
    port = 0
  }
}"

    cat >> "$envfile" <<ENV
ENROLIX_IMAP_PORT=$imap_port
ENROLIX_IMAPS_PORT=$imaps_port
ENROLIX_SMTP_PORT=$smtp_port
ENROLIX_SMTPS_PORT=$smtps_port
ENROLIX_MAIL_CA=$state/cert.pem
ENROLIX_SINK_DIR=$state/sink
ENROLIX_TOKEN_URL=http://127.0.0.1:$token_port
ENROLIX_TOKEN_TOOL=$here/token_server.py
ENROLIX_IMAP_NOIDLE_PORT=$noidle_port
ENROLIX_NOIDLE_STATE=$state/noidle
ENV

    setsid /usr/bin/python3 "$here/token_server.py" serve "$token_port" "$state/tokens" \
        > "$state/tokens.log" 2>&1 < /dev/null &
    echo $! > "$state/tokens.pid"
    /usr/sbin/dovecot -c "$state/dovecot.conf" < /dev/null > "$state/dovecot.out" 2>&1
    /usr/sbin/dovecot -c "$state/noidle/dovecot.conf" < /dev/null > "$state/noidle/dovecot.out" 2>&1
    setsid /usr/bin/python3 "$here/smtp_sink.py" --root "$state/sink" --starttls "$smtp_port" --tls "$smtps_port" \
        --cert "$state/cert.pem" --key "$state/key.pem" --introspect "http://127.0.0.1:$token_port/introspect" \
        > "$state/sink.log" 2>&1 < /dev/null &
    echo $! > "$state/sink.pid"
    for port in "${ports[@]}"; do
        wait_for_port 127.0.0.1 "$port"
    done
}

case "$action" in
    start) start ;;
    stop) stop ;;
    *) echo "usage: $0 start|stop ENVFILE" >&2; exit 2 ;;
esac
