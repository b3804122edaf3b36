#!/bin/bash
# package_test.sh <build dir>: the Debian package builds and lintian finds nothing to report; installed, its
# launcher starts the game in Xvfb, where a highscore list opened and left on Escape is written below the
# player's home. Purged at the end.
set -u
work=$(mktemp -d /tmp/klakoria-package.XXXXXX) installed=no
cleanup() {
    [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID"
    [ "$installed" = yes ] && dpkg --purge klakoria >/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $1"
    cat "$work/log"
    exit 1
}

cpack --config "$1/CPackConfig.cmake" -G DEB -B "$work/out" >"$work/log" 2>&1 || fail "cpack builds the package"
lintian --tag-display-limit 0 "$work"/out/klakoria_*.deb >"$work/log" 2>&1
grep -q '^[EW]:' "$work/log" && fail "lintian reports no errors and no warnings"
[ "$(id -u)" -eq 0 ] || { echo "skipped: installing the package needs root"; exit 77; }
installed=yes
DEBIAN_FRONTEND=noninteractive dpkg -i "$work"/out/klakoria_*.deb >"$work/log" 2>&1 || fail "dpkg installs the package"
coproc XVFB { exec Xvfb -displayfd 1 -noreset -nolisten tcp -screen 0 800x600x24 2>/dev/null; }
read -r -t 20 display <&"${XVFB[0]}" || fail "Xvfb starts"
# Started as the menu entry does. The clicks wait in the window's queue: "Highscores", the first list.
timeout 60 env -i PATH=/usr/bin:/bin HOME="$work/home" DISPLAY=":$display" /usr/games/klakoria >"$work/log" 2>&1 &
game=$!
DISPLAY=":$display" timeout 20 xdotool search --sync --onlyvisible --name '^Klakoria$' || fail "the window opens"
DISPLAY=":$display" xdotool mousemove 400 245 click 1 mousemove 400 128 click 1 key Escape
wait "$game" || fail "Escape ends the game with status 0"
[ -s "$work/log" ] && fail "the game prints nothing"
test "$(cat "$work/home/.local/share/klakoria/Data/var1.hsc")" = "$(printf ':);%d\n' 100 90 80 70 60 50 40 30 20 10)" ||
    fail "the first list holds the default rows in the player's own Data/"
echo "ok"
