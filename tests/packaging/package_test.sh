#!/bin/bash
# The Debian package as a distribution and a player meet it: file list, modes, desktop entry and
# lintian; then installed for real, started twice through its launcher in Xvfb and driven by real
# clicks, and the launcher's refusals. The package is purged at the end whatever happens.
#   package_test.sh <build dir> <screen_hash helper>
set -u
bindir=$1
screen_hash=$2
failures=0 checks=0 installed=no game_pid= xvfb_pid=
work=$(mktemp -d /tmp/klakoria-package.XXXXXX)
chmod 755 "$work"  # the unprivileged cases must reach folders below it

cleanup() {
    [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    [ "$installed" = yes ] && dpkg --purge klakoria >/dev/null 2>&1
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

pass() { checks=$((checks + 1)); echo "ok:   $1"; }
fail() { checks=$((checks + 1)); failures=$((failures + 1)); echo "FAIL: $1"; }
check() { local what=$1; shift; if "$@"; then pass "$what"; else fail "$what"; fi; }
finish() { echo "$((checks - failures)) passed, $failures failed"; [ "$failures" -eq 0 ] || exit 1; exit "${1:-0}"; }
fatal() { fail "$1"; finish; }

# --- the package --------------------------------------------------------------------------
# CPack packs the tree as the build left it; it rebuilds nothing.
cpack --config "$bindir/CPackConfig.cmake" -G DEB -B "$work/out" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log"; fatal "cpack builds the package"; }
version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$bindir/CPackConfig.cmake")
arch=$(dpkg --print-architecture)
deb=$(ls "$work"/out/klakoria_"$version"-*_"$arch".deb 2>/dev/null | head -n 1)
[ -n "$deb" ] || fatal "the package is named klakoria_${version}-<release>_<architecture>.deb"

dpkg-deb -c "$deb" | awk '{ print $1, $6 }' | sed 's| \./| /|; s|/$||' >"$work/contents"
for file in /usr/games/klakoria /usr/lib/games/klakoria/klakoria \
    /usr/share/games/klakoria/{boulder.ttf,tileset.bmp,icon.bmp,Musik.wav} /usr/share/applications/klakoria.desktop \
    /usr/share/icons/hicolor/{32x32,128x128}/apps/klakoria.png /usr/share/man/man6/klakoria.6.gz \
    /usr/share/doc/klakoria/{copyright,changelog.Debian.gz}; do
    check "the package holds $file" grep -q " $file\$" "$work/contents"
done
check "only the launcher and the game are executable files" \
    test "$(awk '$1 ~ /^-..x/ { print $2 }' "$work/contents" | sort | tr '\n' ' ')" = \
    "/usr/games/klakoria /usr/lib/games/klakoria/klakoria "
check "every other file is 0644 and every folder 0755" \
    test -z "$(awk '($1 ~ /^-/ && $1 != "-rw-r--r--" && $1 != "-rwxr-xr-x") || ($1 ~ /^d/ && $1 != "drwxr-xr-x")' \
        "$work/contents")"

dpkg-deb -x "$deb" "$work/root"
game=$work/root/usr/lib/games/klakoria/klakoria
man=$work/root/usr/share/man/man6/klakoria.6.gz
check "the game binary is stripped" sh -c "file -L '$game' | grep -q ', stripped'"
check "the game binary carries no rpath" sh -c "! readelf -d '$game' | grep -Eq 'RPATH|RUNPATH'"
# gzip -9n: no file name (flags 0), no time stamp, "best compression" in the extra flags.
check "the manual page is gzipped with -9n" test "$(od -An -tu1 -j3 -N6 "$man" | tr -s ' ')" = " 0 0 0 0 0 2"
check "the manual page is German" sh -c "zcat '$man' | grep -q '^\.SH BESCHREIBUNG'"
depends=$(dpkg-deb -f "$deb" Depends | tr ',' '\n' | awk '{ print $1 }')
# Every library the game needs comes from a package it depends on.
for owner in $(readelf -d "$game" | sed -n 's/.*Shared library: \[\(.*\)\]/\1/p' |
    while read -r library; do dpkg -S "*/$library" | grep -m 1 ":$arch:" | cut -d: -f1; done | sort -u); do
    check "the package depends on $owner" grep -qxF "$owner" <<<"$depends"
done
check "the package is in section games" test "$(dpkg-deb -f "$deb" Section)" = games
desktop=$work/root/usr/share/applications/klakoria.desktop
check "desktop-file-validate accepts the menu entry" desktop-file-validate "$desktop"
for line in Name=Klakoria Exec=klakoria Icon=klakoria "Categories=Game;LogicGame;"; do
    check "the menu entry says $line" grep -qx "$line" "$desktop"
done
lintian --tag-display-limit 0 "$deb" >"$work/lintian.log" 2>&1
grep '^[EW]:' "$work/lintian.log"
check "lintian reports no errors" sh -c "! grep -q '^E:' '$work/lintian.log'"

# --- installed for real -----------------------------------------------------------------------
[ "$(id -u)" -eq 0 ] || { echo "skipped: installing the package needs root"; finish 77; }
installed=yes
DEBIAN_FRONTEND=noninteractive dpkg -i "$deb" >"$work/dpkg.log" 2>&1 ||
    { cat "$work/dpkg.log"; fatal "dpkg installs the package"; }
sha256sum /usr/games/klakoria /usr/lib/games/klakoria/klakoria /usr/share/games/klakoria/* >"$work/installed.sha256"

# Xvfb picks a free display number itself and writes it once it listens.
Xvfb -displayfd 3 -noreset -nolisten tcp -br -screen 0 800x600x24 3>"$work/display" >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 300); do grep -q '^[0-9]' "$work/display" 2>/dev/null && break; sleep 0.1; done
display=:$(head -n 1 "$work/display")
[ "$display" != ":" ] || fatal "Xvfb starts on a free display"
export DISPLAY=$display
home=$work/home
userdata=$home/.local/share/klakoria/Data
mkdir "$home"

wait_until() { for _ in $(seq 200); do "$@" && return 0; sleep 0.1; done; return 1; }  # up to 20 s
screen_differs_from() { [ "$("$screen_hash")" != "$1" ]; }
game_ended() { ! kill -0 "$game_pid" 2>/dev/null; }
click() {  # click <x> <y> <what>: answered once the next frame differs from the one before
    local before
    before=$("$screen_hash")
    xdotool mousemove "$1" "$2" click 1
    wait_until screen_differs_from "$before" || { fail "a click on $3 changes the screen"; return 1; }
}

# Started the way the menu entry does (Exec=klakoria): the Standart Click list is opened from the
# highscore menu and closed again, then Escape.
play_and_view_first_list() {  # <run number>
    env -i PATH=/usr/bin:/bin:/usr/games HOME="$home" DISPLAY="$display" SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy \
        klakoria >"$work/game$1.log" 2>&1 &
    game_pid=$!
    if timeout 20 xdotool search --sync --onlyvisible --name '^Klakoria$' >/dev/null 2>&1 &&
        wait_until screen_differs_from "$blank"; then
        xdotool mousemove 400 300
        click 400 245 "Highscores" && click 400 128 "Standart Click" && click 400 586 "zurueck zum Menue" &&
            pass "run $1: the highscore list opens from the menu and closes again"
        xdotool key Escape
        wait_until game_ended
    else
        cat "$work/game$1.log"
        fail "run $1: the window Klakoria shows the main menu"
    fi
    game_ended || kill "$game_pid"
    wait "$game_pid"
    check "run $1: Escape ends the game with status 0" test $? -eq 0
    game_pid=
}
blank=$("$screen_hash")
default_rows() { for score in 100 90 80 70 60 50 40 30 20 10; do printf ':);%d\n' "$score"; done; }
links_point_to_installation() {
    for asset in boulder.ttf tileset.bmp icon.bmp Musik.wav; do
        [ "$(readlink "$userdata/$asset")" = "/usr/share/games/klakoria/$asset" ] || return 1
    done
}

play_and_view_first_list 1
list_has_default_rows() { default_rows | cmp -s - "$userdata/var1.hsc"; }
check "the player's own Data/var1.hsc holds the default rows" list_has_default_rows
check "Data/ links each asset to the installed one" links_point_to_installation
check "the installed files are unchanged" sha256sum --quiet -c "$work/installed.sha256"
check "dpkg finds the installation unchanged" test -z "$(dpkg --verify klakoria)"
check "nothing is written below the installed asset folder" \
    test "$(LC_ALL=C ls /usr/share/games/klakoria | tr '\n' ' ')" = "Musik.wav boulder.ttf icon.bmp tileset.bmp "

# A second start keeps the player's list and repairs links gone stale: the icon gone, the tile
# template pointing to an old copy, the music to nothing.
{ echo "Testerin;4321"; default_rows | head -n 9; } >"$userdata/var1.hsc"
mkdir "$work/old" && cp /usr/share/games/klakoria/tileset.bmp "$work/old/"
rm "$userdata/icon.bmp"
ln -sfn "$work/old/tileset.bmp" "$userdata/tileset.bmp"
ln -sfn /nonexistent/Musik.wav "$userdata/Musik.wav"
play_and_view_first_list 2
check "the second start keeps the player's list" \
    test "$(head -n 1 "$userdata/var1.hsc") $(wc -l <"$userdata/var1.hsc")" = "Testerin;4321 10"
check "the second start refreshes the asset links" links_point_to_installation

# --- the launcher refuses to start without a folder of the player's own --------------------------
refusal() {  # refusal <description> <expected words in the message> <command>...
    local what=$1 words=$2
    shift 2
    timeout 30 "$@" >"$work/refusal.out" 2>"$work/refusal.err"
    local status=$?
    if [ $status -eq 1 ] && [ "$(wc -l <"$work/refusal.err")" -eq 1 ] && grep -q "$words" "$work/refusal.err" &&
        [ ! -s "$work/refusal.out" ]; then
        pass "$what: $(cat "$work/refusal.err")"
    else
        fail "$what (status $status): $(cat "$work/refusal.out" "$work/refusal.err")"
    fi
}
refusal "without HOME and XDG_DATA_HOME the launcher stops" "Weder HOME noch XDG_DATA_HOME" \
    env -i PATH=/usr/bin:/bin DISPLAY="$display" /usr/games/klakoria
# Root ignores file modes, so these run as nobody.
mkdir -p "$work/locked-home" "$work/locked-xdg/klakoria/Data"
chmod -R 755 "$work/locked-home" "$work/locked-xdg"
as_nobody=(setpriv --reuid=65534 --regid=65534 --clear-groups env -i PATH=/usr/bin:/bin DISPLAY="$display")
refusal "a home folder the player cannot write stops the launcher" "kann nicht angelegt oder beschrieben" \
    "${as_nobody[@]}" HOME="$work/locked-home" /usr/games/klakoria
refusal "an existing Data folder the player cannot write stops the launcher" \
    "$work/locked-xdg/klakoria/Data kann nicht" \
    "${as_nobody[@]}" HOME="$work/locked-home" XDG_DATA_HOME="$work/locked-xdg" /usr/games/klakoria
finish
