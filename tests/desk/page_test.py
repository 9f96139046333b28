#!/usr/bin/env python3
"""The courts page in headless Chromium, served by the desk's mosquitto and fed by
mosquitto_pub with documents as the boards publish them.

With COURTLYX_DESK_SHOTS=DIR set it also saves the venue and phone pictures there."""
import os
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from harness import Browser, Desk  # noqa: E402
import documents as doc  # noqa: E402

EVIL = '<script>window.hacked=1</script><b>Mal"ory</b>'
COURTS = {
    "1": doc.score(["Graf", "Seles"], [(6, 4), (2, 3)], ["30", "40"], server=2, current=2),
    "2": doc.score(["Becker", "Edberg"], [(7, 6), (6, 6)], ["5", "3"], tie_break=True, current=2),
    "3": doc.score([EVIL, "Navrátilová"], [(3, 2)], ["ADV", "40"], elapsed="31:05", seconds=1865),
}
FILLERS = [("Sampras", "Agassi"), ("Hingis", "Davenport"), ("Kuerten", "Rios"), ("Henin", "Clijsters"),
           ("Safin", "Hewitt"), ("Mauresmo", "Pierce"), ("Ivanišević", "Rafter"), ("Sánchez", "Martínez"),
           ("Stich", "Krajicek")]
RESULT_ID = "20261209-100005"


def today_iso(hour, minute):
    import datetime
    now = datetime.datetime.now().astimezone()
    return now.replace(hour=hour, minute=minute, second=8, microsecond=0).isoformat()


def card(court, what):
    return f"document.querySelector('.court[data-court=\"{court}\"] {what}')?.textContent"


def row(court, side):
    return (f"Array.from(document.querySelectorAll('.court[data-court=\"{court}\"] tr.side{side} td'))"
            ".map(c => c.textContent).join('|')")


class CourtsPageTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.dir = tempfile.TemporaryDirectory()
        cls.desk = Desk(os.path.join(cls.dir.name, "state"), courts="12").start()
        harness.check_documents("score-feed", COURTS.values())
        for court, score in COURTS.items():
            assert cls.desk.pub(f"courtlyx/v1/{court}/online", doc.dumps(doc.online(court)), court=court) == 0
            assert cls.desk.pub(f"courtlyx/v1/{court}/score", doc.dumps(score), court=court, qos=0) == 0
        cls.browser = Browser(os.path.join(cls.dir.name, "profile"))
        cls.browser.open(f"http://127.0.0.1:{cls.desk.web_port}/")

    @classmethod
    def tearDownClass(cls):
        cls.browser.close()
        cls.desk.stop()
        cls.desk.kill_all()
        cls.dir.cleanup()

    def js(self, expression):
        return self.browser.js(expression)

    def wait_js(self, expression, expected):
        return self.browser.wait_js(expression, expected)

    def test_1_every_court_with_names_sets_points_and_server_names_only_as_text(self):
        b = self.browser
        self.assertEqual(self.wait_js("document.querySelectorAll('.court').length", 3), 3)
        self.assertEqual(self.js("document.getElementById('status').textContent"),
                         f"Verbunden mit ws://127.0.0.1:{self.desk.web_port}/")
        self.assertEqual(self.js(row("1", 1)), "|Graf|6|2|30")
        self.assertEqual(self.js(row("1", 2)), "\u25CF|Seles|4|3|40")
        self.assertEqual(self.js(row("2", 1)), "\u25CF|Becker|7|6|5")
        self.assertEqual(self.js(row("2", 2)), "|Edberg|6TB|6|3", "the set won in the tie-break is marked")
        self.assertEqual(self.js(card("2", ".tiebreak")), "Tiebreak")
        self.assertEqual(self.js(row("3", 1)), f"\u25CF|{EVIL}|3|ADV")
        self.assertEqual(self.js(row("3", 2)), "|Navrátilová|2|40")
        self.assertEqual(self.js(card("3", ".time")), "Spielzeit 31:05")
        self.assertEqual(self.js("[...document.querySelectorAll('.court .name')].map(n => n.textContent).join()"),
                         "Platz 1,Platz 2,Platz 3")
        self.assertEqual(self.js("[...document.querySelectorAll('.court .state')].map(n => n.textContent).join()"),
                         "live,live,live")
        self.assertEqual(self.js("String(window.hacked) + document.querySelectorAll('#courts b, #courts script').length"),
                         "undefined0")
        # A document that is not one is passed over; the court keeps what it showed.
        self.desk.pub("courtlyx/v1/1/score", '{"version":1,"sides":"<i>x</i>"}', court="1", qos=0)
        self.desk.pub("courtlyx/v1/1/score", "kein JSON", court="1", qos=0)
        b.js("new Promise(r => setTimeout(r, 500))")
        self.assertEqual(self.js(row("1", 1)), "|Graf|6|2|30")

    def test_2_a_court_gone_shows_offline_and_a_finished_one_beendet(self):
        self.desk.pub("courtlyx/v1/2/online", doc.dumps(doc.online("2", False)), court="2")
        self.assertEqual(self.wait_js(card("2", ".state"), "offline"), "offline")
        self.assertEqual(self.js("document.querySelector('.court[data-court=\"2\"]').className"), "court offline")
        finished = doc.score(["Graf", "Seles"], [(6, 4), (6, 3)], ["", ""], current=3, winner=1)
        harness.check_documents("score-feed", [finished])
        self.desk.pub("courtlyx/v1/1/score", doc.dumps(finished), court="1", qos=0)
        self.assertEqual(self.wait_js(card("1", ".state"), "beendet"), "beendet")
        self.assertEqual(self.js(row("1", 1)), "|Graf|6|6", "no points and no server once decided")
        self.assertEqual(self.js(card("1", ".winner")), "Graf")
        self.desk.pub("courtlyx/v1/2/online", doc.dumps(doc.online("2")), court="2")
        self.assertEqual(self.wait_js(card("2", ".state"), "live"), "live")

    def test_3_results_list_and_its_csv_and_an_undo_takes_a_result_back(self):
        names = ['Müller, Anna', 'Said "Ace" Ali']
        result = doc.result("3", RESULT_ID, names, ["7-6(5)", "6-4"], "7-6(5) 6-4", 2,
                            today_iso(10, 0), today_iso(11, 2), 3723, "SSRS;RRRR.", "Club, Sommer")
        yesterday = doc.result("1", "20200101-090000", ["Alt", "Älter"], ["6-0", "6-0"], "6-0 6-0", 1,
                               "2020-01-01T09:00:00+01:00", "2020-01-01T10:00:00+01:00", 3600, "S;", "Alt")
        harness.check_documents("broker-result", [result, yesterday])
        self.desk.pub(f"courtlyx/v1/3/result/{RESULT_ID}", doc.dumps(result), court="3")
        self.desk.pub("courtlyx/v1/1/result/20200101-090000", doc.dumps(yesterday), court="1")
        self.js("location.hash = '#results'")
        rows = "[...document.querySelectorAll('#result-rows tr')].map(r => [...r.cells].map(c => c.textContent).join('|')).join('/')"
        self.assertEqual(self.wait_js(rows, f"3|11:02|{names[0]} – {names[1]}|7-6(5) 6-4|1:02:03"),
                         f"3|11:02|{names[0]} – {names[1]}|7-6(5) 6-4|1:02:03")
        self.assertEqual(self.js("document.querySelector('#result-rows .winner').textContent"), names[1])
        self.assertEqual(self.js("document.getElementById('older').textContent"), "1 von früheren Tagen ausgeblendet")
        self.assertTrue(self.js("getComputedStyle(document.getElementById('courts')).display === 'none'"))
        csv = self.js("fetch(document.getElementById('csv').href).then(r => r.text())")
        self.assertEqual(csv, "pbp_id,date,tny_name,tour,draw,server1,server2,winner,pbp,score,adf_flag,wh_minutes,court\n"
                              f'{RESULT_ID},09 Dec 26,"Club, Sommer",,,"Müller, Anna","Said ""Ace"" Ali",2,'
                              "SSRS;RRRR.,7-6(5) 6-4,0,62,3\n")
        self.assertRegex(self.js("document.getElementById('csv').download"), r"^ergebnisse-\d{4}-\d\d-\d\d\.csv$")
        self.js("document.getElementById('all-days').click()")
        self.assertEqual(self.wait_js("document.querySelectorAll('#result-rows tr').length", 2), 2)
        self.js("document.getElementById('all-days').click()")

        self.desk.pub(f"courtlyx/v1/3/result/{RESULT_ID}", "", court="3")
        self.assertEqual(self.wait_js("document.querySelectorAll('#result-rows tr').length", 0), 0)
        self.assertEqual(self.js("fetch(document.getElementById('csv').href).then(r => r.text())"),
                         "pbp_id,date,tny_name,tour,draw,server1,server2,winner,pbp,score,adf_flag,wh_minutes,court\n")
        self.assertFalse(self.js("document.getElementById('no-results').hidden"))
        self.desk.pub(f"courtlyx/v1/3/result/{RESULT_ID}", doc.dumps(result), court="3")
        self.assertEqual(self.wait_js("document.querySelectorAll('#result-rows tr').length", 1), 1)

    def test_4_one_court_opens_alone(self):
        self.js("location.hash = '#court=3'")
        self.assertEqual(self.wait_js("[...document.querySelectorAll('.court')].map(c => c.dataset.court).join()", "3"), "3")
        self.js("location.hash = ''")
        self.assertEqual(self.wait_js("document.querySelectorAll('.court').length", 3), 3)

    def test_5_twelve_courts_fill_the_venue_screen_and_a_phone_takes_them_in_one_column(self):
        b = self.browser
        for i, (one, two) in enumerate(FILLERS):
            court = str(4 + i)
            score = doc.score([one, two], [(6, i % 5), (i % 4, 2)], ["15", "30"], current=2, server=1 + i % 2)
            self.desk.pub(f"courtlyx/v1/{court}/online", doc.dumps(doc.online(court)), court=court)
            self.desk.pub(f"courtlyx/v1/{court}/score", doc.dumps(score), court=court, qos=0)
        self.assertEqual(self.wait_js("document.querySelectorAll('.court').length", 12), 12)
        b.size(1920, 1080)
        inside = ("[...document.querySelectorAll('.court')].every(c => { const r = c.getBoundingClientRect();"
                  " return r.top >= 0 && r.left >= 0 && r.bottom <= innerHeight && r.right <= innerWidth; })")
        self.assertTrue(self.js(inside), "every court on the screen")
        self.assertEqual(self.js("document.scrollingElement.scrollHeight <= innerHeight"), True)
        self.assertEqual(self.js("new Set([...document.querySelectorAll('.court')].map(c => c.getBoundingClientRect().left)).size"), 4)
        self.assertGreaterEqual(self.js("parseFloat(getComputedStyle(document.querySelector('.court td.points')).fontSize)"), 36,
                                "points readable across a hall")
        shots = os.environ.get("COURTLYX_DESK_SHOTS")
        if shots:
            b.screenshot(os.path.join(shots, "courts-venue.png"))
        b.size(390, 844, mobile=True)
        self.assertEqual(self.wait_js("new Set([...document.querySelectorAll('.court')].map(c => c.getBoundingClientRect().left)).size", 1), 1)
        self.assertTrue(self.js("document.documentElement.scrollWidth <= innerWidth"), "nothing wider than the phone")
        if shots:
            b.screenshot(os.path.join(shots, "courts-phone.png"))
        b.size(1920, 1080)

    def test_6_says_when_the_broker_is_gone_and_finds_it_again(self):
        self.desk.stop()
        self.assertRegex(self.wait_js("document.getElementById('status').textContent.slice(0, 27)",
                                      "Keine Verbindung zum Broker"), "Keine Verbindung zum Broker")
        self.assertEqual(self.js("document.body.classList.contains('disconnected')"), True)
        self.desk.start()
        status = f"Verbunden mit ws://127.0.0.1:{self.desk.web_port}/"
        self.assertEqual(self.wait_js("document.getElementById('status').textContent", status), status)
        # The broker kept the retained messages over its restart.
        self.desk.pub("courtlyx/v1/3/score", doc.dumps(doc.score(["Evert", "Lloyd"], [(1, 1)], ["0", "15"])), court="3", qos=0)
        self.assertEqual(self.wait_js(row("3", 1), "\u25CF|Evert|1|0"), "\u25CF|Evert|1|0")
        self.assertEqual(self.js(row("1", 1)), "|Graf|6|6")

    def test_7_a_court_the_desk_forgets_leaves_the_page_until_its_board_is_back(self):
        r = subprocess.run([harness.COURTS_SH, "--state", self.desk.state, "--mqtt-port", str(self.desk.mqtt_port),
                            "--forget", "12"], capture_output=True, text=True, timeout=20)
        self.assertEqual(r.returncode, 0, r.stderr)
        self.assertEqual(self.wait_js("document.querySelectorAll('.court').length", 11), 11)
        self.assertEqual(self.js("document.querySelector('.court[data-court=\"12\"]') === null"), True)
        self.desk.pub("courtlyx/v1/12/online", doc.dumps(doc.online("12")), court="12")
        self.assertEqual(self.wait_js("document.querySelectorAll('.court').length", 12), 12)


if __name__ == "__main__":
    harness.need(harness.MOSQUITTO, "mosquitto_pub", "mosquitto_passwd", harness.CHROMIUM)
    try:
        import jsonschema  # noqa: F401
    except ImportError:
        print("python3-jsonschema is not installed: skipped")
        sys.exit(harness.SKIP)
    unittest.main(verbosity=2)
