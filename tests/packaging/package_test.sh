#!/bin/bash
# package_test.sh <build dir>: the Debian package builds and lintian finds nothing to report; installed, its
# launcher starts the game in Xvfb, where a highscore list opened and left on Escape is written below the
# player's home. Purged at the end.
set -u
work=$(mktemp -d /tmp/klakoria-package.XXXXXX)
cleanup() {
    kill "${XVFB_PID:-}" 2>/dev/null
    [ "$(id -u)" -eq 0 ] && dpkg --purge klakoria >/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $1"
    cat "$work/log"
    exit 1
}

cpack --config "$1/CPackConfig.cmake" -G DEB -B "$work" >"$work/log" 2>&1 || fail "cpack builds the package"
lintian --fail-on error,warning "$work"/klakoria_*.deb >"$work/log" 2>&1 ||
    fail "lintian reports no errors or warnings"
[ "$(id -u)" -eq 0 ] || { echo "skipped: installing the package needs root"; exit 77; }
dpkg -i "$work"/klakoria_*.deb >"$work/log" 2>&1 || fail "dpkg installs the package"
coproc XVFB { exec Xvfb -displayfd 1 2>/dev/null; }
read -r -t 20 display <&"${XVFB[0]}" || fail "Xvfb starts"
export DISPLAY=:$display
# Started as the menu entry does. The clicks wait in the window's queue: "Highscores", the first list.
timeout 60 env -i PATH=/usr/bin:/bin HOME="$work/home" DISPLAY="$DISPLAY" SDL_AUDIODRIVER=dummy /usr/games/klakoria \
    >"$work/log" 2>&1 &
timeout 20 xdotool search --sync --onlyvisible --name '^Klakoria$' >/dev/null || fail "the window opens"
xdotool mousemove 400 245 click 1 mousemove 400 128 click 1 key Escape
wait $! || fail "Escape ends the game with status 0"
[ -s "$work/log" ] && fail "the game prints nothing"
[ "$(cat "$work/home/.local/share/klakoria/Data/var1.hsc")" = "$(printf ':);%d\n' 100 90 80 70 60 50 40 30 20 10)" ] ||
    fail "the first list holds the default rows in the player's own Data/"
