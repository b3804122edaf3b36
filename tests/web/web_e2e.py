# The web page in headless Chromium: the title menu, a game started and a pair removed by clicks, and
# the list the ended game saved still there after a reload. A script added to the page plays it and
# goes to an address that tells the server its verdict.
#
# usage: web_e2e.py BUILD_WEB_DIR   (the folder ./dev web-build fills)

import http.server
import os
import signal
import subprocess
import sys
import tempfile

# Clicks and pixels in the 800 x 600 picture; every wait polls until a generous deadline. The first
# run saves the list and reloads; the second compares.
PLAYER = b"""<script>
const pixels = (x, y, w, h) => Module.canvas.getContext('2d').getImageData(x, y, w, h).data;
const dark = (x, y, w, h) => pixels(x, y, w, h).every((v, i) => v == 0 || i % 4 == 3);
const click = (x, y, box = Module.canvas.getBoundingClientRect()) => ['mousedown', 'mouseup'].forEach(
    type => Module.canvas.dispatchEvent(new MouseEvent(type, {clientX: box.x + x, clientY: box.y + y})));
// The colour in the middle of each of the 25 x 18 places of the board, row by row.
const tiles = () => [...Array(450).keys()].map(
    i => pixels(i % 25 * 32 + 22, (i / 25 | 0) * 32 + 22, 1, 1).join());
const filled = () => tiles().filter(colour => colour != '0,0,0,255').length;
const list = () => Module.FS.readFile('Data/var1.hsc').join();
const until = (holds, what) => new Promise((done, fail) => {
    const end = Date.now() + 30000;
    const poll = () => holds() ? done()
                       : Date.now() > end ? fail('no ' + what) : setTimeout(poll, 20);
    poll();
});
async function play() {
    await until(() => !dark(200, 10, 400, 70), 'title');
    if (sessionStorage.list)
        return sessionStorage.list == list() ? 'ok' : 'the reload lost the list';
    // "Spielen", "Standart Click", two neighbours of one colour, "(ende)", "Ja", which writes the list.
    click(400, 145);
    await until(() => !dark(260, 105, 80, 25), 'menu');
    click(400, 118);
    await until(() => filled() == 450, 'board');
    const pair = tiles().findIndex((colour, i, all) => i % 25 < 24 && colour == all[i + 1]);
    click(pair % 25 * 32 + 16, (pair / 25 | 0) * 32 + 16);
    await until(() => filled() <= 448, 'removal');
    click(230, 588);
    await until(() => dark(0, 300, 800, 260), 'question');
    click(310, 215);
    await until(() => Module.filesPersisted, 'save');
    sessionStorage.list = list();
    location.reload();
}
const tell = verdict => verdict && location.assign('/?' + verdict);
addEventListener('load', () => play().then(tell, tell));
</script>"""


# The page with the player added; the player ends at "/?<verdict>".
class Page(http.server.SimpleHTTPRequestHandler):
    def do_GET(self):
        if self.path.startswith("/?"):
            self.server.verdict = self.path[2:]
        elif self.path != "/":
            return super().do_GET()
        self.send_response(200)
        self.end_headers()
        self.wfile.write(open("index.html", "rb").read() + PLAYER)


def main():
    if not os.path.exists(sys.argv[1] + "/klakoria.wasm"):
        print("no web build in " + sys.argv[1])
        return 77
    os.chdir(sys.argv[1])
    server = http.server.HTTPServer(("127.0.0.1", 0), Page)
    server.verdict, server.timeout = None, 60
    server.handle_timeout = lambda: setattr(server, "verdict", "timeout")
    with tempfile.TemporaryDirectory() as profile:
        chromium = subprocess.Popen(["chromium", "--headless", "--no-sandbox", "--user-data-dir=" + profile,
                                     "http://127.0.0.1:%d/" % server.server_address[1]], start_new_session=True)
        while server.verdict is None:
            server.handle_request()
        os.killpg(chromium.pid, signal.SIGKILL)
        chromium.wait()
    print(server.verdict)
    return 0 if server.verdict == "ok" else 1


if __name__ == "__main__":
    sys.exit(main())
