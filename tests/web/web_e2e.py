"""The web page in headless Chromium: the title menu, a variant, a group removed on the board, no work
while idle, a highscore list that a reload keeps, and the picture at twice the size taking clicks.

usage: web_e2e.py BUILD_WEB_DIR   (the folder ./dev web-build fills)"""

import os
import sys
import time

import browser

TILE = 32
COLUMNS, ROWS = 25, 18
LIST_FILE = "/klakoria/Data/var1.hsc"

# Records what the page hands to Web Audio: the contexts, the buffers' rate and their loudest sample.
AUDIO_PROBE = """
window.audioProbe = {contexts: [], rate: 0, peak: 0};
const createBuffer = AudioContext.prototype.createBuffer;
AudioContext.prototype.createBuffer = function(channels, length, rate) {
    const buffer = createBuffer.call(this, channels, length, rate);
    audioProbe.rate = rate;
    const channelData = buffer.getChannelData.bind(buffer);
    buffer.getChannelData = c => {
        const data = channelData(c);
        setTimeout(() => data.forEach(v => { audioProbe.peak = Math.max(audioProbe.peak, Math.abs(v)); }));
        return data;
    };
    return buffer;
};
const BrowserAudioContext = AudioContext;
window.AudioContext = function() {
    const context = new BrowserAudioContext();
    audioProbe.contexts.push(context);
    return context;
};
"""


def pixel(picture, x, y):
    width, _, data = picture
    at = 4 * (y * width + x)
    return tuple(data[at:at + 3])


def red_pixels(picture, left, top, right, bottom):
    return sum(1 for y in range(top, bottom) for x in range(left, right, 2)
               if pixel(picture, x, y) == (255, 0, 0))


def title_drawn(page):
    picture = page.picture()
    return picture and red_pixels(picture, 200, 10, 600, 80) > 500


def variants_shown(page):
    return red_pixels(page.picture(), 260, 105, 340, 130) > 50  # "Standart Click"; the main menu is black there


def cells(picture):
    """The colour of every cell of the board, None for an empty one, read inside the tile's face."""
    board = {}
    for row in range(ROWS):
        for column in range(COLUMNS):
            colour = pixel(picture, column * TILE + 22, row * TILE + 22)
            board[column, row] = colour if colour != (0, 0, 0) else None
    return board


def a_pair(board):
    for (column, row), colour in board.items():
        if colour and board.get((column + 1, row)) == colour:
            return column, row
    raise AssertionError("no two neighbouring tiles of one colour on the board")


def filled(page):
    return sum(1 for colour in cells(page.picture()).values() if colour)


def unchanged(read):
    """The value read, when a second read a moment later finds it again; None otherwise."""
    first = read()
    time.sleep(0.2)
    return first if read() == first else None


def check(condition, message):
    if not condition:
        raise AssertionError(message)


def play(page, base):
    page.call("Page.addScriptToEvaluateOnNewDocument", source=AUDIO_PROBE)
    page.open(base + "index.html")
    browser.poll(lambda: title_drawn(page), "title menu")
    # Once the first frame is up the page waits for input: no pass runs, whatever the time.
    settled = browser.poll(lambda: unchanged(lambda: page.evaluate("Module.passes")), "the first passes done")
    time.sleep(1.5)
    check(page.evaluate("Module.passes") == settled, "the idle title menu ran passes")

    page.click(400, 145)  # "Spielen"
    browser.poll(lambda: variants_shown(page), "variant screen")
    # The browser lets the music sound from the first click on; the 11025 Hz piece plays at 22050 Hz.
    browser.poll(lambda: page.evaluate("audioProbe.contexts.some(c => c.state == 'running')"), "music")
    check(page.evaluate("audioProbe.rate") == 22050, "music at %s Hz" % page.evaluate("audioProbe.rate"))
    browser.poll(lambda: page.evaluate("audioProbe.peak") > 0.1, "audible music")
    page.click(400, 118)  # "Standart Click"
    browser.poll(lambda: filled(page) == COLUMNS * ROWS, "full board")
    before = page.evaluate("Module.passes")
    browser.poll(lambda: page.evaluate("Module.passes") >= before + 2, "ticks of the running game")

    column, row = a_pair(cells(page.picture()))
    page.click(column * TILE + 16, row * TILE + 16)
    browser.poll(lambda: filled(page) <= COLUMNS * ROWS - 2, "the group removed")

    # Ending the game writes its list (replaceFile), which the page copies to the IndexedDB.
    page.click(230, 588)  # "(ende)"
    browser.poll(lambda: red_pixels(page.picture(), 250, 150, 550, 195) > 200, "confirmation")
    page.click(310, 215)  # "Ja"
    browser.poll(lambda: page.evaluate("Module.filesPersisted") >= 1, "the list stored")
    saved = page.evaluate("Array.from(Module.FS.readFile('%s'))" % LIST_FILE)
    check(len(saved) > 0, "empty list file")
    return saved


def reload_at_twice_the_size(page, saved):
    page.call("Emulation.setDeviceMetricsOverride", width=1700, height=1300, deviceScaleFactor=1, mobile=False)
    page.reload()
    browser.poll(lambda: title_drawn(page), "title menu after the reload")
    width = page.evaluate("document.getElementById('canvas').getBoundingClientRect().width")
    check(width == 1600, "picture %s pixels wide in a 1700 pixel window, not 1600" % width)
    check(page.evaluate("Array.from(Module.FS.readFile('%s'))" % LIST_FILE) == saved, "the reload lost the list")
    page.click(400, 145)  # "Spielen", through the magnification
    browser.poll(lambda: variants_shown(page), "variant screen at twice the size")


def main():
    folder = sys.argv[1]
    if not os.path.exists(os.path.join(folder, "klakoria.wasm")):
        print("no web build in %s: ./dev web-build makes it" % folder)
        return 77
    started = time.monotonic()
    with browser.serve(folder) as base, browser.Browser() as page:
        try:
            reload_at_twice_the_size(page, play(page, base))
        except Exception:
            print("\n".join(page.console), file=sys.stderr)
            raise
    print("web page played in %.1f s" % (time.monotonic() - started))
    return 0


if __name__ == "__main__":
    sys.exit(main())
