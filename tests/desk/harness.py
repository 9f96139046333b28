"""The real desk for the tests: scripts/courts.sh with Debian's mosquitto on free loopback
ports, mosquitto_pub/mosquitto_sub as boards and readers, and headless Chromium driven through
the DevTools protocol on a pipe."""
import fcntl
import json
import os
import random
import re
import shutil
import signal
import socket
import subprocess
import sys
import threading
import time
import urllib.request

HERE = os.path.dirname(os.path.abspath(__file__))
TOP = os.path.dirname(os.path.dirname(HERE))
COURTS_SH = os.path.join(TOP, "scripts", "courts.sh")
MOSQUITTO = shutil.which("mosquitto") or "/usr/sbin/mosquitto"
CHROMIUM = shutil.which("chromium") or "/usr/bin/chromium"
SKIP = 77


def need(*programs):
    """Ends the test as skipped (77) when one of the programs is not installed."""
    for p in programs:
        if not (shutil.which(p) or os.access(p, os.X_OK)):
            print(f"{p} is not installed: skipped (apt-get install mosquitto mosquitto-clients chromium)")
            sys.exit(SKIP)
    # The page's MQTT client comes from the npm registry (desk/install.sh).
    client = os.path.join(TOP, "desk", "node_modules", "mqtt", "dist", "mqtt.min.js")
    if not os.path.exists(client) and shutil.which("npm"):
        subprocess.run([os.path.join(TOP, "desk", "install.sh")], capture_output=True)
    if not os.path.exists(client):
        print("the courts page's MQTT client is not installed (desk/install.sh needs npm and the npm registry): skipped")
        sys.exit(SKIP)


def wait_for(cond, timeout=10.0, step=0.05):
    end = time.monotonic() + timeout
    while True:
        value = cond()
        if value or time.monotonic() > end:
            return value
        time.sleep(step)


def free_port():
    """A port free just now, below the kernel's range for outgoing connections so that no
    client connection of a test running beside takes it before the broker binds it."""
    low = 32768
    try:
        with open("/proc/sys/net/ipv4/ip_local_port_range") as f:
            first = int(f.read().split()[0])
            if first > 11000:
                low = first
    except OSError:
        pass
    for _ in range(200):
        port = random.randrange(10000, low)
        with socket.socket() as s:
            try:
                s.bind(("0.0.0.0", port))
                return port
            except OSError:
                continue
    raise RuntimeError("no free port")


def listening(port):
    try:
        with socket.create_connection(("127.0.0.1", port), timeout=0.5):
            return True
    except OSError:
        return False


class Desk:
    """scripts/courts.sh --local on free ports, in a state folder of its own."""

    def __init__(self, state, courts="3", extra=()):
        self.state, self.courts, self.extra = state, courts, list(extra)
        self.mqtt_port, self.web_port = free_port(), free_port()
        self.proc, self.output = None, ""
        self.passwords = {}

    def start(self):
        if self.proc is not None and not self.proc.stdout.closed:
            self._done()
        self.output = ""
        self.proc = subprocess.Popen(
            [COURTS_SH, "--local", "--courts", self.courts, "--state", self.state,
             "--mqtt-port", str(self.mqtt_port), "--web-port", str(self.web_port)] + self.extra,
            stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True, start_new_session=True)
        self.reader = threading.Thread(target=self._read, daemon=True)
        self.reader.start()
        if not wait_for(lambda: "Zugangsdaten stehen auch" in self.output or self.proc.poll() is not None, 20):
            raise AssertionError("courts.sh did not come up:\n" + self.output)
        if self.proc.poll() is not None:
            raise AssertionError("courts.sh ended:\n" + self.output)
        for court, password in re.findall(r"^\s+\S+\s+127\.0\.0\.1\s+\d+\s+(\S+)\s+court-\S+\s+(\S+)$",
                                           self.output, re.M):
            self.passwords[court] = password
        return self

    def _read(self):
        for line in self.proc.stdout:
            self.output += line

    def broker_pids(self):
        r = subprocess.run(["pgrep", "-s", str(self.proc.pid), "-x", "mosquitto"], capture_output=True, text=True)
        return [int(p) for p in r.stdout.split()]

    def stop(self, timeout=10):
        """SIGTERM to courts.sh alone, as a service manager or kill sends it; its exit code."""
        if self.proc is None or self.proc.poll() is not None:
            return self.proc.returncode if self.proc else None
        self.proc.send_signal(signal.SIGTERM)
        try:
            return self.proc.wait(timeout)
        except subprocess.TimeoutExpired:
            os.killpg(self.proc.pid, signal.SIGKILL)
            self.proc.wait()
            raise AssertionError("courts.sh did not stop on SIGTERM:\n" + self.output)
        finally:
            self._done()

    def _done(self):
        self.reader.join(5)
        self.proc.stdout.close()

    def kill_all(self):
        if self.proc is not None and self.proc.poll() is None:
            try:
                os.killpg(self.proc.pid, signal.SIGKILL)
            except ProcessLookupError:
                pass
            self.proc.wait()
        if self.proc is not None and not self.proc.stdout.closed:
            self._done()

    def pub(self, topic, payload, court=None, password=None, qos=1, retain=True):
        """mosquitto_pub as court's board (anonymous without court); its exit code."""
        args = ["mosquitto_pub", "-h", "127.0.0.1", "-p", str(self.mqtt_port), "-t", topic, "-q", str(qos)]
        if retain:
            args.append("-r")
        if court is not None:
            args += ["-u", f"court-{court}", "-P", password if password is not None else self.passwords[court]]
        if payload == "":
            args.append("-n")
        else:
            args += ["-m", payload]
        return subprocess.run(args, capture_output=True, timeout=10).returncode


def retained(port, topic="courtlyx/v1/#", wait=1.5):
    """The retained messages a reader gets on subscribing: {topic: payload}."""
    r = subprocess.run(["mosquitto_sub", "-h", "127.0.0.1", "-p", str(port), "-t", topic, "-v",
                        "--retained-only", "-W", str(wait)], capture_output=True, text=True, timeout=wait + 10)
    out = {}
    for line in r.stdout.splitlines():
        t, _, payload = line.partition(" ")
        out[t] = payload
    return out


def check_documents(schema, documents):
    """Checks the documents against docs/<schema>.schema.json."""
    import jsonschema
    with open(os.path.join(TOP, "docs", schema + ".schema.json"), encoding="utf-8") as f:
        document = json.load(f)
    checker = jsonschema.validators.validator_for(document)(document)
    for d in documents:
        errors = [e.message for e in checker.iter_errors(d)]
        if errors:
            raise AssertionError(f"a document not as {schema}.schema.json says: {errors}")


PIN = "424242"


class Board:
    """The real program for one court, offscreen, with a home of its own, its feed on (for
    the keys, through /command with the PIN) and the desk's broker set."""

    def __init__(self, program, home, court, desk, fmt=None, names=None):
        self.program, self.home, self.court, self.desk = program, home, court, desk
        self.feed_port = free_port()
        self.proc = None
        config = os.path.join(home, "config", "Quorbel")
        os.makedirs(config, exist_ok=True)
        name = "Courtlyx" if court == "1" else f"Courtlyx-Platz-{court}"
        settings = "[General]\n"
        if names:
            # The names are in the original block of sixteen, read only as a whole.
            settings += ("L=248\nT=128\nW=800\nH=578\nSound=0\nMonitor=0\n"
                         f"Comanda1={names[0]}\nComanda2={names[1]}\n"
                         "C0=0\nC1=0\nC2=16777215\nC3=16777215\nC4=65535\nTieBreak=1\nCountSets=3\nAutoSchet=1\n")
        if fmt:
            settings += f"Format={fmt}\n"
        # The settings stored after the sixteen are each read on their own.
        with open(os.path.join(config, name + ".conf"), "w") as f:
            f.write(settings +
                    f"Feed=1\nFeedPort={self.feed_port}\nFeedPin={PIN}\n"
                    f"Broker=1\nBrokerHost=127.0.0.1\nBrokerPort={desk.mqtt_port}\nBrokerCourt={court}\n"
                    f"BrokerUser=court-{court}\nBrokerPassword={desk.passwords[court]}\n")

    def start(self):
        env = dict(os.environ, HOME=self.home, QT_QPA_PLATFORM="offscreen",
                   XDG_CONFIG_HOME=os.path.join(self.home, "config"),
                   XDG_DATA_HOME=os.path.join(self.home, "data"),
                   XDG_STATE_HOME=os.path.join(self.home, "state"),
                   XDG_CACHE_HOME=os.path.join(self.home, "cache"))
        self.proc = subprocess.Popen([self.program, "--court", self.court], env=env, cwd=self.home,
                                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        if not wait_for(lambda: listening(self.feed_port) or self.proc.poll() is not None, 20) \
                or self.proc.poll() is not None:
            raise AssertionError(f"board {self.court} did not start its feed")

    def command(self, name, side=None):
        body = {"command": name}
        if side:
            body["side"] = side
        request = urllib.request.Request(f"http://127.0.0.1:{self.feed_port}/command", method="POST",
                                         data=json.dumps(body).encode(), headers={"X-Pin": PIN})
        with urllib.request.urlopen(request, timeout=5) as reply:
            return json.load(reply)

    def stop(self, how=signal.SIGTERM):
        if self.proc and self.proc.poll() is None:
            self.proc.send_signal(how)
            try:
                self.proc.wait(10)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait()


class Browser:
    """Headless Chromium with one page, driven over --remote-debugging-pipe."""

    def __init__(self, profile, width=1920, height=1080):
        to_child, self._out = os.pipe()
        self._in, from_child = os.pipe()

        def descriptors():
            # Above 3 and 4 first: either pipe end may itself be one of them in the child.
            high_in, high_out = fcntl.fcntl(to_child, fcntl.F_DUPFD, 10), fcntl.fcntl(from_child, fcntl.F_DUPFD, 10)
            os.dup2(high_in, 3)
            os.dup2(high_out, 4)
        self.proc = subprocess.Popen(
            [CHROMIUM, "--headless", "--no-sandbox", "--disable-gpu", "--disable-dev-shm-usage",
             "--no-first-run", "--no-default-browser-check", "--hide-scrollbars",
             f"--window-size={width},{height}", f"--user-data-dir={profile}",
             "--remote-debugging-pipe", "about:blank"],
            preexec_fn=descriptors, close_fds=False, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(to_child)
        os.close(from_child)
        self._next, self._replies, self._lock = 1, {}, threading.Condition()
        threading.Thread(target=self._read, daemon=True).start()
        target = self.call("Target.createTarget", {"url": "about:blank"})["targetId"]
        self.session = self.call("Target.attachToTarget", {"targetId": target, "flatten": True})["sessionId"]

    def _read(self):
        buffer = b""
        while True:
            chunk = os.read(self._in, 65536)
            if not chunk:
                return
            buffer += chunk
            while b"\0" in buffer:
                message, buffer = buffer.split(b"\0", 1)
                reply = json.loads(message)
                if "id" in reply:
                    with self._lock:
                        self._replies[reply["id"]] = reply
                        self._lock.notify_all()

    def call(self, method, params=None, session=None, timeout=20):
        with self._lock:
            ident = self._next
            self._next += 1
        message = {"id": ident, "method": method, "params": params or {}}
        if session:
            message["sessionId"] = session
        os.write(self._out, json.dumps(message).encode() + b"\0")
        with self._lock:
            if not self._lock.wait_for(lambda: ident in self._replies, timeout):
                raise AssertionError(f"chromium did not answer {method}")
            reply = self._replies.pop(ident)
        if "error" in reply:
            raise AssertionError(f"{method}: {reply['error']}")
        return reply.get("result", {})

    def page(self, method, params=None):
        return self.call(method, params, self.session)

    def open(self, url):
        self.page("Page.enable")
        self.page("Page.navigate", {"url": url})

    def js(self, expression):
        r = self.page("Runtime.evaluate", {"expression": expression, "returnByValue": True, "awaitPromise": True})
        if "exceptionDetails" in r:
            return "<exception: %s>" % r["exceptionDetails"].get("text")
        return r["result"].get("value")

    def wait_js(self, expression, expected, timeout=10):
        """The expression's value once it equals expected, else the last one seen."""
        seen = [None]

        def same():
            seen[0] = self.js(expression)
            return seen[0] == expected
        wait_for(same, timeout, 0.1)
        return seen[0]

    def size(self, width, height, mobile=False):
        self.page("Emulation.setDeviceMetricsOverride",
                  {"width": width, "height": height, "deviceScaleFactor": 1, "mobile": mobile})

    def screenshot(self, path):
        import base64
        data = self.page("Page.captureScreenshot", {"format": "png"})["data"]
        with open(path, "wb") as f:
            f.write(base64.b64decode(data))

    def close(self):
        try:
            self.call("Browser.close", timeout=5)
        except (AssertionError, OSError):
            pass
        try:
            self.proc.wait(5)
        except subprocess.TimeoutExpired:
            self.proc.kill()
            self.proc.wait()
        for fd in (self._out, self._in):
            try:
                os.close(fd)
            except OSError:
                pass
