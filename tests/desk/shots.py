#!/usr/bin/env python3
"""Takes docs/courts-venue.png (1920x1080) and docs/courts-phone.png (390x844): the courts
page of a desk started with scripts/courts.sh and six real boards (offscreen, keys pressed
through their feeds): four matches under way, one decided, one board killed.
Usage: shots.py PROGRAM [OUTPUT_FOLDER]"""
import os
import signal
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from harness import Board, Browser, Desk  # noqa: E402

# court: names, format (None: the board's own), points for side 1 / side 2 in order
GAME1, GAME2 = [1] * 4, [2] * 4
COURTS = {
    "1": (("Anna Berger", "Clara Dietz"), None, (GAME1 + GAME2) * 2 + GAME1 * 6 + GAME2 + [1, 2, 1]),
    "2": (("Jonas Weber", "Felix Braun"), None, GAME1 * 6 + (GAME1 + GAME2) * 6 + [1, 2, 1, 1]),
    "3": (("Mia Schulz", "Lea Wolf"), "SET1-S:4/TB7", GAME1 * 4),
    "4": (("Ida Frank", "Emma Lang"), "SET3-S:4NOAD/TB5NOAD@3", GAME2 * 2 + GAME1 + [1, 1, 2, 2, 2]),
    "5": (("Luca Hahn", "Noah Vogel"), None, GAME1 * 3 + GAME2 * 2),
    "6": (("Sophie Koch", "Marie Huber"), None, None),
}


def main():
    if len(sys.argv) < 2:
        raise SystemExit("usage: shots.py PROGRAM [OUTPUT_FOLDER]")
    program = os.path.abspath(sys.argv[1])
    out = os.path.abspath(sys.argv[2] if len(sys.argv) > 2 else os.path.join(harness.TOP, "docs"))
    harness.need(harness.MOSQUITTO, "mosquitto_pub", harness.CHROMIUM)
    with tempfile.TemporaryDirectory() as scratch:
        desk = Desk(os.path.join(scratch, "desk"), courts=str(len(COURTS))).start()
        boards = []
        try:
            for court, (names, fmt, points) in COURTS.items():
                board = Board(program, os.path.join(scratch, "board" + court), court, desk, fmt=fmt, names=names)
                boards.append(board)
                board.start()
                if points is not None:
                    board.command("pause")
                    for side in points:
                        board.command("point", side)
            boards[4].stop(signal.SIGKILL)
            browser = Browser(os.path.join(scratch, "profile"))
            try:
                browser.open(f"http://127.0.0.1:{desk.web_port}/")
                state = "[...document.querySelectorAll('.court .state')].map(n => n.textContent).join()"
                want = "live,live,beendet,live,offline,bereit"
                if browser.wait_js(state, want, timeout=20) != want:
                    raise SystemExit("the page did not show the courts as played: " + str(browser.js(state)))
                for name, width, height, mobile in [("courts-venue.png", 1920, 1080, False),
                                                    ("courts-phone.png", 390, 844, True)]:
                    browser.size(width, height, mobile)
                    time.sleep(0.5)
                    browser.screenshot(os.path.join(out, name))
                    print(os.path.join(out, name))
            finally:
                browser.close()
        finally:
            for board in boards:
                board.stop()
            desk.stop()
            desk.kill_all()


if __name__ == "__main__":
    main()
