# Sourced by the package checks: how they fail, how they make the package of a build, and the
# request that its attendant must answer.

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

require_tools() {
    for tool in "$@"; do
        command -v "$tool" > /dev/null || fail "$tool is missing (scripts/install-deps installs it)"
    done
}

# make_package BUILD_FOLDER OUT_FOLDER: prints the path of the enrolix_*.deb made there.
make_package() {
    cpack --config "$1/CPackConfig.cmake" -B "$2" > "$2.log" 2>&1 ||
        { cat "$2.log" >&2; fail "cpack could not make the package"; }
    local deb
    deb=$(echo "$2"/enrolix_*.deb)
    [ -f "$deb" ] || fail "cpack made no enrolix_*.deb"
    echo "$deb"
}

# put_request DATA_FOLDER: an open event E00001 and Ann's registration for it in the inbox of
# the folder's default Maildir.
put_request() {
    mkdir -p "$1/mail/inbox/new" "$1/mail/inbox/cur" "$1/mail/inbox/tmp"
    printf 'Course on packaging\r\nMay 4\r\n' > "$1/E00001.scn"
    : > "$1/E00001.sc"
    printf '%s\r\n' "From: Ann Example <ann@example.org>" "To: registrations@example.com" \
        "Subject: Register for Event   (Enrolix)" "Date: Mon, 07 Dec 2026 09:00:00 +0000" \
        "Message-ID: <package-test@example.org>" "" "E00001" > "$1/mail/inbox/new/1.request"
}

# check_answered DATA_FOLDER: the request of put_request got its one reply and Ann is signed up.
check_answered() {
    local replies=("$1"/mail/outbox/new/*)
    [ ${#replies[@]} -eq 1 ] && [ -f "${replies[0]}" ] || fail "not one reply in the outbox: ${replies[*]}"
    grep -q "^Subject: Registration Request Processed" "${replies[0]}" || fail "the reply is not the registration's"
    grep -q "^To: Ann Example <ann@example.org>" "${replies[0]}" || fail "the reply does not go to the sender"
    [ "$(cat "$1/E00001.sc")" = $'Ann Example\r' ] || fail "the sign-up list is not Ann's: $(cat -A "$1/E00001.sc")"
}
