"""What the web page downloads and how long it takes from navigation to the title menu's first
frame, in headless Chromium with a fresh profile for every start (nothing cached).

usage: bench/web_measure.py [BUILD_WEB_DIR] [STARTS]"""

import os
import statistics
import sys

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "tests", "web"))
import browser  # noqa: E402

# Stamps the moment the game's canvas (its context, once SDL made it) first holds the red title,
# looking at every frame the browser paints.
FIRST_FRAME_PROBE = """
addEventListener('DOMContentLoaded', () => (function watch() {
    const row = window.Module && Module.ctx && Module.ctx.getImageData(200, 45, 400, 1).data;
    if (row && row.some((v, i) => i % 4 == 0 && v == 255)) {
        window.firstFrame = performance.now();
        return;
    }
    requestAnimationFrame(watch);
})());
"""
PAGE_FILES = ["index.html", "klakoria.js", "klakoria.wasm", "klakoria.data"]


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else "build-web"
    starts = int(sys.argv[2]) if len(sys.argv) > 2 else 5
    sizes = {name: os.path.getsize(os.path.join(folder, name)) for name in PAGE_FILES}
    for name, size in sizes.items():
        print("%-14s %9d bytes" % (name, size))
    print("%-14s %9d bytes (%.2f MB)" % ("together", sum(sizes.values()), sum(sizes.values()) / 1e6))
    times = []
    with browser.serve(folder) as base:
        for _ in range(starts):
            with browser.Browser() as page:
                page.call("Page.addScriptToEvaluateOnNewDocument", source=FIRST_FRAME_PROBE)
                page.open(base + "index.html")
                times.append(browser.poll(lambda: page.evaluate("window.firstFrame"), "first frame"))
    print("navigation to first frame: " + ", ".join("%.0f" % t for t in times)
          + " ms; median %.0f ms" % statistics.median(times))


if __name__ == "__main__":
    main()
