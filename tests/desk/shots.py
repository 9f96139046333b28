#!/usr/bin/env python3
"""Takes docs/courts-venue.png (1920x1080) and docs/courts-phone.png (390x844): the courts
page of a desk started with scripts/courts.sh, eight courts published with mosquitto_pub as
the boards publish them. Usage: shots.py [OUTPUT_FOLDER]"""
import os
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from harness import Browser, Desk  # noqa: E402
import documents as doc  # noqa: E402

MTB = "SET3-S:6/TB7-F:TB10"
COURTS = [
    ("1", doc.score(["Anna Berger", "Clara Dietz"], [(6, 4), (3, 2)], ["30", "15"], current=2, elapsed="1:12:40"), True),
    ("2", doc.score(["Jonas Weber", "Felix Braun"], [(7, 6), (6, 6)], ["4", "5"], tie_break=True, server=2,
                    current=2, elapsed="1:41:03"), True),
    ("3", doc.score(["Mia Schulz", "Lea Wolf"], [(6, 3), (6, 2)], ["", ""], current=3, winner=1, elapsed="1:02:03"), True),
    ("4", doc.score(["Paul Roth", "Tim Krause"], [(4, 6), (6, 3), (1, 0)], ["", ""], fmt=MTB, current=4, winner=1,
                    elapsed="1:55:20"), True),
    ("5", doc.score(["Ida Frank", "Emma Lang"], [(2, 1)], ["40", "ADV"], server=2, elapsed="14:22"), True),
    ("6", doc.score(["Luca Hahn", "Noah Vogel"], [(5, 5)], ["15", "0"], elapsed="38:51"), False),
    ("7", doc.score(["Sophie Koch", "Marie Huber"], [], ["", ""], phase="not-started", current=0, elapsed="0:00",
                    seconds=0), True),
    ("8", doc.score(["Max Keller", "Ben Schmid"], [(6, 7), (1, 0)], ["0", "30"], current=2, elapsed="58:09"), True),
]


def main():
    out = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(harness.TOP, "docs"))
    harness.need(harness.MOSQUITTO, "mosquitto_pub", harness.CHROMIUM)
    with tempfile.TemporaryDirectory() as scratch:
        desk = Desk(os.path.join(scratch, "state"), courts="8").start()
        try:
            harness.check_documents("score-feed", [score for _, score, _ in COURTS])
            for court, score, up in COURTS:
                desk.pub(f"courtlyx/v1/{court}/online", doc.dumps(doc.online(court, up)), court=court)
                desk.pub(f"courtlyx/v1/{court}/score", doc.dumps(score), court=court, qos=0)
            browser = Browser(os.path.join(scratch, "profile"))
            try:
                browser.open(f"http://127.0.0.1:{desk.web_port}/")
                if browser.wait_js("document.querySelectorAll('.court').length", len(COURTS)) != len(COURTS):
                    raise SystemExit("the page did not show every court")
                for name, width, height, mobile in [("courts-venue.png", 1920, 1080, False),
                                                    ("courts-phone.png", 390, 844, True)]:
                    browser.size(width, height, mobile)
                    time.sleep(0.5)
                    browser.screenshot(os.path.join(out, name))
                    print(os.path.join(out, name))
            finally:
                browser.close()
        finally:
            desk.stop()
            desk.kill_all()


if __name__ == "__main__":
    main()
