#!/usr/bin/env python3
"""Three real boards (the program, offscreen, each with its own home) on the desk started by
scripts/courts.sh, with the courts page in headless Chromium: F1 on each board shows on the
page, a killed board shows offline, and a match decided while the desk's broker was stopped
reaches the results once the broker is back, once, with a restart of its board in between.

Usage: boards_test.py PROGRAM. The keys go to the boards through their feed (/command with
the PIN), which runs a command exactly as its key does."""
import json
import os
import signal
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from harness import Board, Browser, Desk, wait_for, retained  # noqa: E402

PROGRAM = None


def score_of(desk, court):
    text = retained(desk.mqtt_port, f"courtlyx/v1/{court}/score", wait=1).get(f"courtlyx/v1/{court}/score")
    return json.loads(text) if text else None


class BoardsOnTheDeskTest(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.TemporaryDirectory()
        self.addCleanup(self.dir.cleanup)
        self.desk = Desk(os.path.join(self.dir.name, "desk"), courts="3").start()
        self.addCleanup(self.desk.kill_all)
        self.boards = {}
        for court in "123":
            board = Board(PROGRAM, os.path.join(self.dir.name, f"board{court}"), court, self.desk,
                          fmt="SET1-S:4/TB7")
            self.addCleanup(board.stop, signal.SIGKILL)
            board.start()
            self.boards[court] = board
        self.browser = Browser(os.path.join(self.dir.name, "profile"))
        self.addCleanup(self.browser.close)

    def points(self, court):
        return (f"[...document.querySelectorAll('.court[data-court=\"{court}\"] td.points')]"
                ".map(c => c.textContent).join('-')")

    def test_f1_on_each_board_shows_on_the_page_a_killed_board_goes_offline_and_a_result_waits_for_the_broker(self):
        # Pause starts each match; then F1 once on court 1, twice on 2, three times on 3.
        for court, board in self.boards.items():
            board.command("pause")
            for _ in range(int(court)):
                board.command("point", 1)
        expected = {"1": "15-0", "2": "30-0", "3": "40-0"}
        for court, shown in expected.items():
            seen = wait_for(lambda: (s := score_of(self.desk, court)) and s["sides"][0]["points"] == shown.split("-")[0] and s, 10)
            self.assertTrue(seen, f"court {court}'s score at a subscriber")
            harness.check_documents("score-feed", [seen])

        self.browser.open(f"http://127.0.0.1:{self.desk.web_port}/")
        for court, shown in expected.items():
            self.assertEqual(self.browser.wait_js(self.points(court), shown), shown, f"court {court} on the page")
        names = "[...document.querySelectorAll('.court td.player')].map(c => c.textContent).join('|')"
        self.assertEqual(self.browser.js(names), "|".join(["Name 1", "Name 2"] * 3))
        self.assertEqual(self.browser.js("[...document.querySelectorAll('.court .state')].map(n => n.textContent).join()"),
                         "live,live,live")

        # Court 2's board dies: the broker's last will marks it offline within 15 s.
        self.boards["2"].stop(signal.SIGKILL)
        state = "document.querySelector('.court[data-court=\"2\"] .state').textContent"
        self.assertEqual(self.browser.wait_js(state, "offline", timeout=15), "offline")

        # The desk's broker stops; court 3 decides its match meanwhile (F1 until side 1 has
        # won the set); the result reaches the page once the broker is back.
        self.assertEqual(self.desk.stop(), 0)
        board = self.boards["3"]
        for _ in range(4 * 4):
            if board.command("point", 1).get("winner") == 1:
                break
        else:
            self.fail("court 3's match was not decided")
        outbox = os.path.join(board.home, "data", "Courtlyx-Platz-3", "outbox")
        waiting = os.listdir(outbox)
        self.assertEqual(len(waiting), 1, "the result waits in the outbox")
        match = waiting[0].removesuffix(".json")
        # The board is closed and started again before the broker is back: still once.
        board.stop()
        board.start()
        self.desk.start()
        rows = "document.querySelectorAll('#result-rows tr').length"
        self.browser.js("location.hash = '#results'")
        self.assertEqual(self.browser.wait_js(rows, 1, timeout=20), 1)
        self.assertEqual(self.browser.js("document.querySelector('#result-rows td').textContent"), "3")
        csv = self.browser.js("fetch(document.getElementById('csv').href).then(r => r.text())").split("\n")
        self.assertEqual(csv[0], "pbp_id,date,tny_name,tour,draw,server1,server2,winner,pbp,score,adf_flag,wh_minutes,court")
        self.assertTrue(csv[1].startswith(match + ",") and csv[1].endswith(",3"), csv)
        self.assertEqual(csv[2:], [""])
        self.assertTrue(wait_for(lambda: not os.listdir(outbox), 10), "the outbox empties once the broker took it")
        results = retained(self.desk.mqtt_port, "courtlyx/v1/3/result/+")
        self.assertEqual(list(results), [f"courtlyx/v1/3/result/{match}"])
        harness.check_documents("broker-result", [json.loads(results[f"courtlyx/v1/3/result/{match}"])])
        self.assertEqual(self.browser.wait_js("location.hash = ''; " + self.points("1"), "15-0"), "15-0")


if __name__ == "__main__":
    if len(sys.argv) < 2 or not os.access(sys.argv[1], os.X_OK):
        print("usage: boards_test.py PROGRAM")
        sys.exit(2)
    PROGRAM = os.path.abspath(sys.argv.pop(1))
    harness.need(harness.MOSQUITTO, "mosquitto_pub", "mosquitto_sub", "mosquitto_passwd", harness.CHROMIUM)
    unittest.main(verbosity=2)
