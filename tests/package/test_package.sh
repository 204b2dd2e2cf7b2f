#!/usr/bin/env bash
# The Debian package of a build: made with cpack, unpacked into a temporary root (dpkg-deb -x),
# checked for every file it must hold, its packaged attendant run once against a request in a
# Maildir of a temporary data folder, and its metadata put to lintian (no error),
# appstreamcli, desktop-file-validate and man. Usage: test_package.sh BUILD_FOLDER
set -euo pipefail

build=${1:?the build folder}
work=$(mktemp -d /tmp/enrolix-package.XXXXXX)
trap 'rm -rf "$work"' EXIT

. "$(dirname "$0")/common.sh"
require_tools cpack dpkg-deb dpkg-shlibdeps lintian appstreamcli desktop-file-validate man
deb=$(make_package "$build" "$work/out")
root=$work/root
dpkg-deb -x "$deb" "$root"

metainfo=usr/share/metainfo/org.enrolix.enrolix.metainfo.xml
desktop=usr/share/applications/enrolix.desktop
unit=usr/lib/systemd/user/enrolix-attendant.service
for file in usr/bin/enrolix usr/bin/enrolix-attendant usr/share/enrolix/enrolix2/Welcome.htm "$desktop" \
    usr/share/icons/hicolor/64x64/apps/enrolix.png "$metainfo" usr/share/man/man1/enrolix.1.gz \
    usr/share/man/man1/enrolix-attendant.1.gz "$unit" usr/share/doc/enrolix/copyright \
    usr/share/doc/enrolix/changelog.gz; do
    [ -f "$root/$file" ] || fail "the package lacks /$file"
done
grep -qx "ExecStart=/usr/bin/enrolix-attendant" "$root/$unit" || fail "the unit does not start /usr/bin/enrolix-attendant"
depends=$(dpkg-deb -f "$deb" Depends)
for library in libqt6core6 libqt6widgets6 libqt6dbus6 libcurl3-gnutls libgmime-3.0-0 libqt6keychain1 libqt6networkauth6; do
    [[ "$depends" == *"$library "* ]] || fail "Depends lacks $library, a library linked: $depends"
done
# The keyring library loads the Secret Service client at run time, which no link shows.
[[ "$depends" == *"libsecret-1-0"* ]] || fail "Depends lacks libsecret-1-0, which the keyring library loads: $depends"

# The packaged attendant answers a request dropped into the inbox of the default Maildir.
export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data
data=$XDG_DATA_HOME/enrolix
put_request "$data"
"$root/usr/bin/enrolix-attendant" --once 2> "$work/attendant.log" ||
    { cat "$work/attendant.log" >&2; fail "the packaged enrolix-attendant --once failed"; }
grep -qx "pass: 1 replies sent, 0 passed over, 0 left for a later pass" "$work/attendant.log" ||
    fail "the pass did not answer the request: $(cat "$work/attendant.log")"
check_answered "$data"

lintian --tag-display-limit 0 --fail-on error "$deb" > "$work/lintian.txt" 2>&1 ||
    { cat "$work/lintian.txt" >&2; fail "lintian reports errors"; }
grep -E '^[EW]: ' "$work/lintian.txt" || true
appstreamcli validate --no-net "$root/$metainfo" || fail "appstreamcli does not accept the metadata"
desktop-file-validate "$root/$desktop" || fail "desktop-file-validate does not accept the desktop entry"
for page in enrolix enrolix-attendant; do
    MANWIDTH=80 man --warnings -l "$root/usr/share/man/man1/$page.1.gz" > "$work/$page.txt" 2> "$work/$page.err"
    [ ! -s "$work/$page.err" ] || fail "man warns about $page(1): $(cat "$work/$page.err")"
    grep -q "^NAME" "$work/$page.txt" && grep -Eq "^ +$page +- " "$work/$page.txt" || fail "man does not render $page(1)"
done
echo "package $(basename "$deb"): installed into a temporary root, attendant answered, lintian without errors"
