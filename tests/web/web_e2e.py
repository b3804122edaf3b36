# The web page in headless Chromium: the title menu, a game started and a pair removed by clicks, and
# the list the ended game saved still there after a reload. A script added to the page plays it and
# posts its verdict back.
#
# usage: web_e2e.py BUILD_WEB_DIR   (the folder ./dev web-build fills)

import functools
import http.server
import os
import signal
import subprocess
import sys
import tempfile
import threading

# Clicks and pixels in the 800 x 600 picture; every wait polls until a generous deadline. The first
# run saves the list and reloads; the second compares.
PLAYER = b"""<script>
const canvas = document.getElementById('canvas');
const pixels = (x, y, w, h) => canvas.getContext('2d').getImageData(x, y, w, h).data;
const dark = (x, y, w, h) => pixels(x, y, w, h).every((v, i) => v == 0 || i % 4 == 3);
const click = (x, y, box = canvas.getBoundingClientRect()) => ['mousedown', 'mouseup'].forEach(
    type => canvas.dispatchEvent(new MouseEvent(type, {bubbles: true, clientX: box.x + x, clientY: box.y + y})));
// The colour in the middle of each of the 25 x 18 places of the board, row by row.
const tiles = () => [...Array(450).keys()].map(i => pixels(i % 25 * 32 + 22, (i / 25 | 0) * 32 + 22, 1, 1).join());
const filled = () => tiles().filter(colour => colour != '0,0,0,255').length;
const list = () => Module.FS.readFile('/klakoria/Data/var1.hsc').join();
const until = (holds, what) => new Promise((done, fail) => {
    const end = Date.now() + 30000;
    const poll = () => Module.passes && holds() ? done() : Date.now() > end ? fail('no ' + what) : setTimeout(poll, 20);
    poll();
});
async function play() {
    await until(() => !dark(200, 10, 400, 70), 'title');
    if (sessionStorage.list)
        return sessionStorage.list == list() ? 'ok' : 'the reload lost the list';
    // "Spielen", "Standart Click", two neighbours of one colour, "(ende)", "Ja", which writes the list.
    click(400, 145);
    await until(() => !dark(260, 105, 80, 25), 'variant menu');
    click(400, 118);
    await until(() => filled() == 450, 'full board');
    const pair = tiles().findIndex((colour, i, all) => i % 25 < 24 && colour == all[i + 1]);
    click(pair % 25 * 32 + 16, (pair / 25 | 0) * 32 + 16);
    await until(() => filled() <= 448, 'pair removed');
    click(230, 588);
    await until(() => dark(0, 300, 800, 260), 'question');
    click(310, 215);
    await until(() => Module.filesPersisted, 'list stored');
    sessionStorage.list = list();
    location.reload();
}
const tell = verdict => verdict && fetch('/', {method: 'POST', body: String(verdict)});
addEventListener('load', () => play().then(tell, tell));
</script>"""


class Page(http.server.SimpleHTTPRequestHandler):
    def do_GET(self):
        if self.path != "/":
            return super().do_GET()
        self.send_response(200)
        self.end_headers()
        self.wfile.write(open(os.path.join(self.directory, "index.html"), "rb").read() + PLAYER)

    def do_POST(self):
        self.server.verdict = self.rfile.read(int(self.headers["Content-Length"])).decode()
        self.send_response(204)
        self.end_headers()
        self.server.told.set()


def main():
    if not os.path.exists(os.path.join(sys.argv[1], "klakoria.wasm")):
        print("no web build in %s: ./dev web-build makes it" % sys.argv[1])
        return 77
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), functools.partial(Page, directory=sys.argv[1]))
    server.verdict, server.told = "no verdict within 120 s", threading.Event()
    threading.Thread(target=server.serve_forever, daemon=True).start()
    with tempfile.TemporaryDirectory() as profile:
        chromium = subprocess.Popen(["chromium", "--headless", "--no-sandbox", "--user-data-dir=" + profile,
                                     "http://127.0.0.1:%d/" % server.server_address[1]], start_new_session=True)
        server.told.wait(120)
        os.killpg(chromium.pid, signal.SIGKILL)
        chromium.wait()
    print(server.verdict)
    return 0 if server.verdict == "ok" else 1


if __name__ == "__main__":
    sys.exit(main())
