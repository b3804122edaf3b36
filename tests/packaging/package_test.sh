#!/bin/bash
# package_test.sh <build dir>: the Debian package's contents, dependencies, menu entry and lintian; then
# installed, started twice through its launcher in Xvfb, and the launcher's refusals; purged at the end.
set -u
bindir=$1 failures=0 installed=no game_pid= xvfb_pid=
work=$(mktemp -d /tmp/klakoria-package.XXXXXX)
chmod 755 "$work"  # the unprivileged cases must reach folders below it
cleanup() {
    [ -n "$game_pid$xvfb_pid" ] && kill $game_pid $xvfb_pid 2>/dev/null
    [ "$installed" = yes ] && dpkg --purge klakoria >/dev/null 2>&1
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM
check() { if "${@:2}"; then echo "ok:   $1"; else failures=$((failures + 1)); echo "FAIL: $1"; fi; }
finish() { echo "$failures failed"; [ "$failures" -eq 0 ] || exit 1; exit "${1:-0}"; }
fatal() { check "$1" false; finish; }

# --- the package; cpack first brings the tree up to date (nothing to do after a build) ---
cpack --config "$bindir/CPackConfig.cmake" -G DEB -B "$work/out" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log"; fatal "cpack builds the package"; }
version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$bindir/CPackConfig.cmake")
arch=$(dpkg --print-architecture)
deb=$(ls "$work"/out/klakoria_"$version"-*_"$arch".deb 2>/dev/null | head -n 1)
[ -n "$deb" ] || fatal "the package is named klakoria_${version}-<release>_<architecture>.deb"
dpkg-deb -x "$deb" "$work/root"
# The assets are checked once installed, the menu entry by its lines below.
icons=$work/root/usr/share/icons/hicolor
check "the package holds both icons" test -f "$icons/32x32/apps/klakoria.png" -a -f "$icons/128x128/apps/klakoria.png"
check "the manual page is German" grep -q '^\.SH BESCHREIBUNG' <(zcat "$work/root/usr/share/man/man6/klakoria.6.gz")
depends=$(dpkg-deb -f "$deb" Depends | tr ',' '\n' | awk '{ print $1 }')
for owner in $(readelf -d "$work/root/usr/lib/games/klakoria/klakoria" | sed -n 's/.*Shared library: \[\(.*\)\]/\1/p' |
    while read -r library; do dpkg -S "*/$library" | grep -m 1 ":$arch:" | cut -d: -f1; done | sort -u); do
    check "the package depends on $owner, which holds a library the game needs" grep -qxF "$owner" <<<"$depends"
done
entries=$(grep -cxE 'Name=Klakoria|Exec=klakoria|Icon=klakoria|Categories=Game;LogicGame;' \
    "$work/root/usr/share/applications/klakoria.desktop")
check "the menu entry names the game, its command, its icon and its categories" test "$entries" -eq 4
lintian --tag-display-limit 0 "$deb" >"$work/lintian.log" 2>&1
check "lintian reports no errors and no warnings" sh -c "! grep '^[EW]:' '$work/lintian.log'"

# --- installed for real ---
[ "$(id -u)" -eq 0 ] || { echo "skipped: installing the package needs root"; finish 77; }
installed=yes
DEBIAN_FRONTEND=noninteractive dpkg -i "$deb" >"$work/dpkg.log" 2>&1 ||
    { cat "$work/dpkg.log"; fatal "dpkg installs the package"; }
# Xvfb keeps its screen in a file: the game has drawn once its checksum changes.
mkdir "$work/fb"
Xvfb -displayfd 3 -fbdir "$work/fb" -noreset -nolisten tcp -screen 0 800x600x24 3>"$work/display" >/dev/null 2>&1 &
xvfb_pid=$!
wait_until() { for _ in $(seq 200); do "$@" && return 0; sleep 0.1; done; return 1; }  # up to 20 s
wait_until grep -q '^[0-9]' "$work/display" || fatal "Xvfb starts on a free display"
export DISPLAY=:$(head -n 1 "$work/display")
home=$work/home userdata=$work/home/.local/share/klakoria/Data assets=/usr/share/games/klakoria
mkdir "$home"
screen() { md5sum <"$work/fb/Xvfb_screen0"; }
differs_from() { [ "$(screen)" != "$1" ]; }
blank=$(screen)
click() { local before; before=$(screen); xdotool mousemove "$1" "$2" click 1 && wait_until differs_from "$before"; }
game_ended() { ! kill -0 "$game_pid" 2>/dev/null; }
play() {  # <run number>: started as the menu entry does; "Highscores", the first list, back, Escape
    env -i PATH=/usr/bin:/bin:/usr/games HOME="$home" DISPLAY="$DISPLAY" SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy \
        klakoria >"$work/game.log" 2>&1 &
    game_pid=$!
    timeout 20 xdotool search --sync --onlyvisible --name '^Klakoria$' >/dev/null && wait_until differs_from "$blank"
    check "run $1: the window Klakoria shows the main menu" test $? -eq 0
    check "run $1: the first highscore list opens and closes" eval 'click 400 245 && click 400 128 && click 400 586'
    xdotool key Escape
    wait_until game_ended || kill "$game_pid"
    wait "$game_pid"
    check "run $1: Escape ends the game with status 0 and no output" test $? -eq 0 -a ! -s "$work/game.log"
    game_pid=
}
links_point_to_installation() {
    for a in boulder.ttf tileset.bmp icon.bmp Musik.wav; do
        [ "$(readlink "$userdata/$a")" = "$assets/$a" ] || return 1
    done
}

play 1
check "the player's own Data/var1.hsc holds the default rows" \
    test "$(cat "$userdata/var1.hsc")" = "$(printf ':);%d\n' 100 90 80 70 60 50 40 30 20 10)"
check "Data/ links each asset to the installed one" links_point_to_installation
check "dpkg finds every installed file unchanged" test -z "$(dpkg --verify klakoria)"
check "nothing is written below the installed asset folder" \
    test "$(LC_ALL=C ls "$assets" | tr '\n' ' ')" = "Musik.wav boulder.ttf icon.bmp tileset.bmp "
# A second start keeps the player's list and repairs stale links: the icon gone, the tile
# template pointing to another file, the music to nothing.
sed -i '1s/.*/Testerin;4321/' "$userdata/var1.hsc"
rm "$userdata/icon.bmp" && ln -sfn "$assets/icon.bmp" "$userdata/tileset.bmp"
ln -sfn /nonexistent/Musik.wav "$userdata/Musik.wav"
play 2
check "the second start keeps the player's list" \
    test "$(head -n 1 "$userdata/var1.hsc") $(wc -l <"$userdata/var1.hsc")" = "Testerin;4321 10"
check "the second start refreshes the asset links" links_point_to_installation

# --- the launcher refuses to start without a folder of the player's own; root ignores modes, so as nobody ---
refusal() {  # <description> <expected words in the message> <command>...
    local status; timeout 30 "${@:3}" >"$work/refusal.out" 2>"$work/refusal.err"; status=$?
    check "$1 (status $status): $(cat "$work/refusal.err")" test $status -eq 1 -a ! -s "$work/refusal.out" \
        -a "$(wc -l <"$work/refusal.err")" -eq 1 -a -n "$(grep "$2" "$work/refusal.err")"
}
refusal "without HOME and XDG_DATA_HOME the launcher stops" "Weder HOME noch XDG_DATA_HOME" \
    env -i PATH=/usr/bin:/bin DISPLAY="$DISPLAY" /usr/games/klakoria
mkdir -p "$work/locked-home" "$work/locked-xdg/klakoria/Data"
chmod -R 755 "$work/locked-home" "$work/locked-xdg"
as_nobody=(setpriv --reuid=65534 --regid=65534 --clear-groups env -i PATH=/usr/bin:/bin DISPLAY="$DISPLAY")
refusal "a home folder the player cannot write stops the launcher" "kann nicht angelegt oder beschrieben" \
    "${as_nobody[@]}" HOME="$work/locked-home" /usr/games/klakoria
refusal "a Data folder the player cannot write stops the launcher" "$work/locked-xdg/klakoria/Data kann nicht" \
    "${as_nobody[@]}" HOME="$work/locked-home" XDG_DATA_HOME="$work/locked-xdg" /usr/games/klakoria
finish
