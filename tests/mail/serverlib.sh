# Shell functions shared by the scripts that start the test mail servers (sourced, not run).

free_port() {
    /usr/bin/python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
}

# wait_for_port HOST PORT: until something accepts connections there, five seconds at most.
wait_for_port() {
    local host=$1 port=$2
    for _ in $(seq 1 100); do
        if /usr/bin/python3 -c "import socket; socket.create_connection(('$host', $port), 0.2)" 2>/dev/null; then
            return 0
        fi
        sleep 0.05
    done
    echo "nothing answers on $host port $port" >&2
    return 1
}

# env_value FILE KEY: the value of KEY in an environment file, without running the file.
env_value() {
    if [ -f "$1" ]; then sed -n "s/^$2=//p" "$1" | head -n 1; fi
}

# write_dovecot_conf STATE ADDRESS SETTINGS: a Dovecot instance listening on ADDRESS with all
# its state in STATE, every user's password "secret"; SETTINGS (TLS, listeners, further
# authentication) are appended as they stand.
write_dovecot_conf() {
    local state=$1 address=$2 settings=$3
    local login_user internal_user mail_user
    mkdir -p "$state/run" "$state/state" "$state/mail" "$state/home"
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
    cat > "$state/dovecot.conf" <<CONF
base_dir = $state/run
state_dir = $state/state
instance_name = enrolix-test-$(basename "$state")
listen = $address
protocols = imap
log_path = $state/dovecot.log
default_login_user = $login_user
default_internal_user = $internal_user
first_valid_uid = 1
mail_location = maildir:$state/mail/%u
disable_plaintext_auth = no
passdb {
  driver = static
  mechanisms = plain login
  args = password=secret
}
userdb {
  driver = static
  args = uid=$mail_user gid=$mail_user home=$state/home/%u
}
service anvil {
  chroot =
}
service stats {
  unix_listener stats-reader {
    mode = 0666
  }
  unix_listener stats-writer {
    mode = 0666
  }
}
$settings
CONF
}

# stop_dovecot STATE: stops the instance of STATE and waits until its master has gone.
stop_dovecot() {
    local pid
    [ -f "$1/run/master.pid" ] || return 0
    pid=$(cat "$1/run/master.pid")
    kill "$pid" 2>/dev/null || true
    for _ in $(seq 1 100); do
        kill -0 "$pid" 2>/dev/null || return 0
        sleep 0.05
    done
}

# stop_process PIDFILE: stops the process whose id the file holds.
stop_process() {
    [ -f "$1" ] && kill "$(cat "$1")" 2>/dev/null || true
}
