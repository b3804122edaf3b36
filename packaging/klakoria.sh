#!/bin/sh
# Starts Klakoria for the calling user.
#
# The game reads its font, images and music from Data/ below its working directory and writes
# its four highscore lists there too. So every user gets a folder of their own,
# ${XDG_DATA_HOME:-$HOME/.local/share}/klakoria, whose Data/ links to the installed assets and
# keeps that user's var1.hsc..var4.hsc and settings (klakoria.cfg): no two users share a list,
# and nothing installed is ever written. The arguments go to the game unchanged.
set -u

fail() {
    printf 'klakoria: %s\n' "$1" >&2
    exit 1
}

# The installed tree is found from this script's own place (<prefix>/games/klakoria), so the
# same script serves /usr from the package and /usr/local from a plain `cmake --install`.
self=$(readlink -f -- "$0") || fail "Kann den eigenen Installationsort nicht bestimmen."
prefix=${self%/*}
prefix=${prefix%/*}
game=$prefix/lib/games/klakoria/klakoria
assets=$prefix/share/games/klakoria

# A relative XDG_DATA_HOME is invalid and therefore ignored.
case ${XDG_DATA_HOME:-} in
    /*) base=$XDG_DATA_HOME ;;
    *)
        [ -n "${HOME:-}" ] ||
            fail "Weder HOME noch XDG_DATA_HOME ist gesetzt; es gibt keinen Ordner für Highscores."
        base=$HOME/.local/share
        ;;
esac
folder=$base/klakoria

if ! { mkdir -p -- "$folder/Data" 2>/dev/null && [ -w "$folder/Data" ] && [ -x "$folder/Data" ]; }; then
    fail "Der Ordner $folder/Data kann nicht angelegt oder beschrieben werden."
fi

# Refreshed on every start, so a moved or reinstalled asset is always found.
for asset in boulder.ttf tileset.bmp icon.bmp Musik.wav; do
    ln -sfn -- "$assets/$asset" "$folder/Data/$asset" 2>/dev/null ||
        fail "Der Ordner $folder/Data kann nicht angelegt oder beschrieben werden."
done

cd -- "$folder" || fail "Kann nicht in den Ordner $folder wechseln."
exec "$game" "$@"
