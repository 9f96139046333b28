#!/usr/bin/env python3
"""scripts/courts.sh with the real mosquitto: who may publish where, what it prints and
serves, that it keeps passwords and results and stops cleanly, and the bridge."""
import os
import stat
import subprocess
import sys
import tempfile
import unittest
import urllib.request

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from harness import Desk, retained, wait_for, listening  # noqa: E402
import documents  # noqa: E402


class DeskBrokerTest(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.TemporaryDirectory()
        self.desk = Desk(os.path.join(self.dir.name, "state"), courts="3")
        self.addCleanup(self.dir.cleanup)
        self.addCleanup(self.desk.kill_all)

    def test_a_board_publishes_under_its_own_court_only_and_pages_only_read(self):
        d = self.desk.start()
        score = documents.dumps(documents.score(["Graf", "Seles"], [(1, 0)], ["15", "0"]))
        self.assertEqual(d.pub("courtlyx/v1/1/score", score, court="1"), 0)
        attempts = [
            ("courtlyx/v1/2/score", "1"),     # court 1's user under court 2
            ("courtlyx/v1/10/score", "1"),    # a court whose name starts like its own
            ("courtlyx/v1/3/online", None),   # a page (anonymous)
            ("courtlyx/v1/x", "2"),           # beside the courts
            ("other/topic", "2"),
        ]
        for topic, court in attempts:
            d.pub(topic, "{}", court=court)
        self.assertNotEqual(d.pub("courtlyx/v1/1/score", "{}", court="1", password="wrong"), 0,
                            "a wrong password is refused")
        self.assertNotEqual(d.pub("courtlyx/v1/4/score", "{}", court="4", password="x"), 0,
                            "a court not set up has no user")
        self.assertEqual(retained(d.mqtt_port, "#"), {"courtlyx/v1/1/score": score})

    def test_prints_and_serves_the_page_keeps_passwords_and_results_and_stops_cleanly(self):
        d = self.desk.start()
        out = d.output
        self.assertIn(f"http://127.0.0.1:{d.web_port}/", out)
        self.assertEqual(sorted(d.passwords), ["1", "2", "3"])
        credentials = os.path.join(d.state, "credentials")
        self.assertEqual(stat.S_IMODE(os.stat(credentials).st_mode), 0o600)
        with open(credentials) as f:
            self.assertEqual(f.read().split(), [f"court-{c}:{d.passwords[c]}" for c in "123"])
        self.assertEqual(len(set(d.passwords.values())), 3)
        for c in "123":
            self.assertRegex(out, rf"\n\s+{c}\s+127\.0\.0\.1\s+{d.mqtt_port}\s+{c}\s+court-{c}\s+{d.passwords[c]}\n")

        page = urllib.request.urlopen(f"http://127.0.0.1:{d.web_port}/index.html", timeout=5).read().decode()
        self.assertIn("Keine Verbindung zum Broker", page)
        client = urllib.request.urlopen(
            f"http://127.0.0.1:{d.web_port}/node_modules/mqtt/dist/mqtt.min.js", timeout=5).read()
        self.assertGreater(len(client), 100_000)

        result = documents.dumps(documents.result("3", "20261209-100005", ["A", "B"], ["6-4", "6-3"], "6-4 6-3", 1,
                                                  "2026-12-09T10:00:05+01:00", "2026-12-09T11:02:08+01:00",
                                                  3723, "SSSS;", "Club"))
        self.assertEqual(d.pub("courtlyx/v1/3/result/20261209-100005", result, court="3"), 0)

        brokers = d.broker_pids()
        self.assertEqual(len(brokers), 1)
        self.assertEqual(d.stop(), 0)
        self.assertTrue(wait_for(lambda: not os.path.exists(f"/proc/{brokers[0]}"), 5), "mosquitto left running")
        self.assertFalse(listening(d.mqtt_port) or listening(d.web_port))

        # Started again with more courts: the boards' passwords stay, the result is still there.
        before = dict(d.passwords)
        d.courts, d.passwords = "4", {}
        d.start()
        self.assertEqual({c: d.passwords[c] for c in "123"}, before)
        with open(credentials) as f:
            self.assertEqual(f.read().split(), [f"court-{c}:{d.passwords[c]}" for c in "1234"])
        self.assertEqual(retained(d.mqtt_port), {"courtlyx/v1/3/result/20261209-100005": result})
        self.assertEqual(d.pub("courtlyx/v1/3/result/20261209-100005", "", court="3"), 0)
        self.assertEqual(retained(d.mqtt_port), {}, "an empty retained message clears the result")
        self.assertEqual(d.stop(), 0)

    def forget(self, *courts):
        args = [harness.COURTS_SH, "--state", self.desk.state, "--mqtt-port", str(self.desk.mqtt_port)]
        for c in courts:
            args += ["--forget", c]
        return subprocess.run(args, capture_output=True, text=True, timeout=20)

    def test_forget_takes_a_court_off_the_running_desk_and_keeps_its_results(self):
        self.assertIn("kein Desk eingerichtet", self.forget("2").stderr, "nothing set up yet")
        d = self.desk.start()
        result = documents.dumps(documents.result("2", "20261209-100005", ["A", "B"], ["6-4", "6-3"], "6-4 6-3", 1,
                                                  "2026-12-09T10:00:05+01:00", "2026-12-09T11:02:08+01:00",
                                                  3723, "SSSS;", "Club"))
        kept = {"courtlyx/v1/1/score": documents.dumps(documents.score(["C", "D"], [(1, 0)], ["15", "0"])),
                "courtlyx/v1/2/result/20261209-100005": result}
        for topic, payload in kept.items():
            self.assertEqual(d.pub(topic, payload, court=topic.split("/")[2]), 0)
        for topic in ("score", "online"):
            self.assertEqual(d.pub(f"courtlyx/v1/2/{topic}", "{}", court="2"), 0)
        r = self.forget("2")
        self.assertEqual(r.returncode, 0, r.stderr)
        self.assertIn("Platz 2 ist von der Seite genommen", r.stdout)
        self.assertEqual(retained(d.mqtt_port), kept)
        # The desk's user clears a court's last state, nothing else.
        with open(os.path.join(d.state, "desk-credentials")) as f:
            password = f.read().strip()
        self.assertEqual(stat.S_IMODE(os.stat(os.path.join(d.state, "desk-credentials")).st_mode), 0o600)
        subprocess.run(["mosquitto_pub", "-h", "127.0.0.1", "-p", str(d.mqtt_port), "-u", "desk", "-P", password,
                        "-q", "1", "-r", "-n", "-t", "courtlyx/v1/2/result/20261209-100005"], timeout=10)
        self.assertEqual(retained(d.mqtt_port), kept)
        r = self.forget("zwei drei")
        self.assertEqual(r.returncode, 1)
        self.assertIn("ungültiger Platzname", r.stderr)
        self.assertEqual(d.stop(), 0)
        r = self.forget("1")
        self.assertEqual(r.returncode, 1)
        self.assertIn("der Desk läuft nicht", r.stderr)

    def test_refuses_what_it_cannot_run(self):
        for args, words in [(["--courts", "1,zwei drei"], "ungültiger Platzname"),
                            (["--mqtt-port", "70000"], "kein gültiger Port"),
                            (["--mqtt-port", "5000", "--web-port", "5000"], "müssen verschieden sein"),
                            (["--bridge", "host-ohne-port"], "HOST:PORT")]:
            r = subprocess.run([harness.COURTS_SH, "--state", self.desk.state] + args,
                               capture_output=True, text=True, timeout=20)
            self.assertEqual(r.returncode, 1, args)
            self.assertIn(words, r.stderr)
        # Its port taken by another mosquitto (Debian's service): it says so and what to do.
        with open(os.devnull, "w") as quiet:
            blocker = subprocess.Popen([harness.MOSQUITTO, "-p", str(self.desk.mqtt_port)], stdout=quiet, stderr=quiet)
        self.addCleanup(blocker.wait)
        self.addCleanup(blocker.terminate)
        self.assertTrue(wait_for(lambda: listening(self.desk.mqtt_port)))
        with self.assertRaises(AssertionError) as failed:
            self.desk.start()
        self.assertIn(f"Port {self.desk.mqtt_port} ist schon belegt", str(failed.exception))
        self.assertIn("systemctl disable --now mosquitto", str(failed.exception))
        self.assertEqual(self.desk.proc.returncode, 1)
        blocker.terminate()
        blocker.wait()
        # mosquitto refusing the configuration (a broken addition): said, nothing left running.
        with open(os.path.join(self.desk.state, "conf.d", "broken.conf"), "w") as f:
            f.write("no_such_option 1\n")
        with self.assertRaises(AssertionError) as failed:
            self.desk.start()
        self.assertIn("mosquitto ließ sich nicht starten", str(failed.exception))
        self.assertEqual(self.desk.proc.returncode, 1)
        self.assertFalse(listening(self.desk.mqtt_port) or listening(self.desk.web_port))

    def test_a_tls_listener_added_in_conf_d_takes_the_boards_with_the_desks_certificate(self):
        certs = self.dir.name
        openssl = ["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2"]
        run = lambda *args: subprocess.run(args, cwd=certs, check=True, capture_output=True)  # noqa: E731
        run(*openssl, "-keyout", "ca.key", "-out", "ca.crt", "-subj", "/CN=Courtlyx desk CA")
        run("openssl", "req", "-newkey", "rsa:2048", "-nodes", "-keyout", "server.key", "-out", "server.csr",
            "-subj", "/CN=127.0.0.1")
        with open(os.path.join(certs, "san"), "w") as f:
            f.write("subjectAltName=IP:127.0.0.1\n")
        run("openssl", "x509", "-req", "-in", "server.csr", "-CA", "ca.crt", "-CAkey", "ca.key", "-CAcreateserial",
            "-days", "2", "-out", "server.crt", "-extfile", "san")
        tls_port = harness.free_port()
        os.makedirs(os.path.join(self.desk.state, "conf.d"))
        with open(os.path.join(self.desk.state, "conf.d", "tls.conf"), "w") as f:
            f.write(f"listener {tls_port} 127.0.0.1\ncafile {certs}/ca.crt\n"
                    f"certfile {certs}/server.crt\nkeyfile {certs}/server.key\n")
        d = self.desk.start()
        board = ["mosquitto_pub", "-h", "127.0.0.1", "-p", str(tls_port), "-u", "court-2", "-P", d.passwords["2"],
                 "-t", "courtlyx/v1/2/online", "-q", "1", "-r", "-m", "{}"]
        self.assertEqual(subprocess.run(board + ["--cafile", f"{certs}/ca.crt"], capture_output=True).returncode, 0)
        self.assertEqual(retained(d.mqtt_port), {"courtlyx/v1/2/online": "{}"})
        # Without the desk's CA the board does not trust the listener.
        self.assertNotEqual(subprocess.run(board + ["--capath", "/etc/ssl/certs"], capture_output=True).returncode, 0)

    def test_bridge_hands_every_court_on_to_another_broker(self):
        remote_port = harness.free_port()
        config = os.path.join(self.dir.name, "remote.conf")
        with open(config, "w") as f:
            f.write(f"listener {remote_port} 127.0.0.1\nallow_anonymous true\n")
        with open(os.devnull, "w") as quiet:
            remote = subprocess.Popen([harness.MOSQUITTO, "-c", config], stdout=quiet, stderr=quiet)
        self.addCleanup(remote.wait)
        self.addCleanup(remote.terminate)
        self.assertTrue(wait_for(lambda: listening(remote_port)))

        desk = Desk(self.desk.state, courts="2", extra=["--bridge", f"127.0.0.1:{remote_port}"])
        self.addCleanup(desk.kill_all)
        desk.start()
        early = documents.dumps(documents.score(["Graf", "Seles"], [(2, 1)], ["30", "15"]))
        self.assertEqual(desk.pub("courtlyx/v1/1/score", early, court="1"), 0)
        later = documents.dumps(documents.online("2"))
        self.assertEqual(desk.pub("courtlyx/v1/2/online", later, court="2"), 0)
        expected = {"courtlyx/v1/1/score": early, "courtlyx/v1/2/online": later}
        seen = wait_for(lambda: retained(remote_port, wait=1) == expected and expected, 15)
        self.assertEqual(seen, expected)
        self.assertEqual(desk.stop(), 0)


if __name__ == "__main__":
    harness.need(harness.MOSQUITTO, "mosquitto_pub", "mosquitto_sub", "mosquitto_passwd")
    unittest.main(verbosity=2)
