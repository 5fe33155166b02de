"""What the end-to-end tests share: the loopback server, a device root with the program, and
readers of what both sides hold and what travelled between them.

The programs come from the build tree given as ORVALE_BUILD_DIR (or, but for the test helper,
from the installation's ORVALE_BIN_DIR); the server scripts are beside this file. Every helper waits with a bound, and every process it starts it also stops.
"""
import atexit
import json
import os
import random
import re
import shutil
import socket
import sqlite3
import subprocess
import sys
import time
import unittest
import urllib.parse
import xml.etree.ElementTree as ET

HERE = os.path.dirname(os.path.abspath(__file__))
SERVER_DIR = os.path.join(HERE, "server")
sys.path.insert(0, HERE)
import contacts as sample  # noqa: E402
import eds_device  # noqa: E402

USER, PASSWORD = "orvale", "orvale-secret"
RUN_TIMEOUT = 120


def build_dir():
    return os.environ.get("ORVALE_BUILD_DIR") or os.path.join(HERE, "..", "..", "build")


def program(name):
    """The program's path: in ORVALE_BIN_DIR when that names an installation, else in the build tree."""
    paths = {"orvale": "app/orvale", "orvale-pim": "tools/pim/orvale-pim", "orvale-config": "app/orvale-config",
             "orvale-e2e-run": "tests/e2e/orvale-e2e-run", "orvale-launcher": "app/orvale-launcher",
             "orvale-dump": "tools/dump/orvale-dump"}
    installed = os.environ.get("ORVALE_BIN_DIR")
    if installed and name != "orvale-e2e-run":
        return os.path.join(installed, name)
    return os.path.join(build_dir(), paths[name])


class Server:
    """The loopback SyncML server with a fresh data folder."""

    keeps_text = True
    edits = True

    def __init__(self, workdir):
        self.workdir = workdir
        self.url = self.port = self.pid = None

    def start(self):
        out = subprocess.run([os.path.join(SERVER_DIR, "start.sh"), self.workdir], check=True,
                             stdout=subprocess.PIPE, timeout=300, text=True).stdout
        env = dict(line.split("=", 1) for line in out.split())
        self.url, self.port, self.pid = env["URL"], int(env["PORT"]), int(env["PID"])
        return self

    def stop(self):
        if self.pid:
            subprocess.run([os.path.join(SERVER_DIR, "stop.sh"), str(self.pid)], timeout=30)
            self.pid = None

    def tool(self, *args, data=None):
        r = subprocess.run([sys.executable, os.path.join(SERVER_DIR, "store-tool.py"), self.workdir]
                           + list(args), input=data, stdout=subprocess.PIPE, check=True, timeout=60)
        return r.stdout

    def items(self, database="contacts", user=USER):
        """{server id: stored bytes} of a database, read in one go from its store."""
        db = sqlite3.connect(os.path.join(self.workdir, "data", "syncml.sqlite"), timeout=10)
        try:
            rows = db.execute("SELECT syncml_id, syncml_data FROM syncml_data WHERE syncml_db = ?"
                              " AND syncml_uid = ?", [database, user]).fetchall()
        finally:
            db.close()
        return {i: d.encode("utf-8") if isinstance(d, str) else d for i, d in rows}

    def map(self, database="contacts"):
        """{client id: server id}; with two devices, ids of both."""
        return {r["client_id"]: r["server_id"] for r in json.loads(self.tool("map", database, "--json"))}

    def add(self, vcard, database="contacts"):
        return self.tool("add", database, "-", data=vcard.encode()).decode().strip()

    def edit(self, item_id, vcard):
        self.tool("edit", item_id, "-", data=vcard.encode())

    def delete(self, item_id):
        self.tool("delete", item_id)


class VirtuosoServer:
    """The second server: a private Virtuoso instance with its SyncML package (virtuoso/). Its first
    start in a folder builds a database, which takes long, so one instance serves every test of a
    script and is wiped between tests. It keeps items in a form of its own (one element per
    property) and sends them back rebuilt, so the tests compare identities, not bytes; a server
    edit through its WebDAV side reaches no device, so it has no edit."""

    DIR = os.path.join(HERE, "virtuoso")
    keeps_text = False
    edits = False
    _running = None

    def __init__(self, workdir):
        self.workdir = workdir
        self.env = dict(os.environ, VIRT_PEER_DATA=os.path.join(workdir, "data"))
        self.url = self.port = self.pid = None

    def _script(self, name, *args):
        return subprocess.run([os.path.join(self.DIR, name)] + list(args), env=self.env, check=True,
                              stdout=subprocess.PIPE, timeout=300, text=True).stdout

    def start(self):
        running = VirtuosoServer._running
        if running is not None and running.workdir == self.workdir:
            self.url, self.port, self.pid = running.url, running.port, running.pid
            self._script("reset.sh")
            return self
        os.makedirs(self.workdir, exist_ok=True)
        out = self._script("start.sh", str(free_port_pair()), "--quiet", "--users", "%s:%s" % (USER, PASSWORD))
        env = dict(line.split("=", 1) for line in out.split() if "=" in line)
        self.url, self.port, self.pid = env["URL"], int(env["PORT"]), int(env["PID"])
        self._script("reset.sh")
        VirtuosoServer._running = self
        atexit.register(self._shutdown)
        return self

    def stop(self):
        """Between tests the instance stays; it goes when the script ends."""

    def _shutdown(self):
        if self.pid:
            subprocess.run([os.path.join(self.DIR, "stop.sh")], env=self.env, timeout=60,
                           stdout=subprocess.DEVNULL)
            self.pid = None

    def _dump(self, database):
        return self._script("dump.sh", "--db", database, "--user", USER)

    def _entries(self, database):
        """[(id, name, [(device, client id)], text as the server sends it)]"""
        out = []
        for block in re.split(r"^-- item ", self._dump(database), flags=re.M)[1:]:
            head = re.match(r"(\d+)\s+name (.*?)  type ", block)
            maps = re.findall(r"^   map: device (\S+) \(\d+\) client id (\S+)$", block, re.M)
            text = block.split("   as the server sends it:\n", 1)[-1]
            text = re.split(r"^== ", text, flags=re.M)[0]
            out.append((head.group(1), head.group(2), maps, text.replace("\n", "\r\n").encode("utf-8")))
        return out

    def items(self, database="contacts", user=USER):
        return {i: text for i, _, _, text in self._entries(database)}

    def map(self, database="contacts"):
        return {luid: i for i, _, maps, _ in self._entries(database) for _, luid in maps}

    def _dav(self, method, name, database, data=None):
        args = ["curl", "-s", "-f", "-o", "/dev/null", "-u", "%s:%s" % (USER, PASSWORD), "-X", method]
        if data is not None:
            args += ["-H", "Content-Type: text/x-vcard", "--data-binary", "@-"]
        url = self.url.rstrip("/") + "/%s/%s" % (database, urllib.parse.quote(name))
        subprocess.run(args + [url], input=data, check=True, timeout=60)

    def add(self, text, database="contacts"):
        """A vCard or vCalendar put through WebDAV: the server splits it into an item of its own
        (the file put stays as a resource of its own, and goes again)."""
        before = set(self.items(database))
        # Its NOTE takes every following line up to an empty one: one ends it here.
        text = re.sub(r"(\nNOTE:[^\r\n]*\r?\n)", r"\1\r\n", text)
        name = "orvale-e2e-%d.txt" % int(time.time() * 1000)
        self._dav("PUT", name, database, text.encode("utf-8"))
        self._dav("DELETE", name, database)
        added = [i for i in self.items(database) if i not in before]
        return added[0]

    def delete(self, item_id, database="contacts"):
        """The item's resource removed (through SQL: items the server made from a device's Add are
        not the user's to delete over WebDAV); the server logs it for the devices as over WebDAV."""
        subprocess.run(["isql-vt", "127.0.0.1:%d" % (self.port + 10000), "dba", "dba", "VERBOSE=OFF", "BANNER=OFF",
                        "PROMPT=OFF", "ECHO=OFF", "ERRORS=STDOUT",
                        "exec=delete from WS.WS.SYS_DAV_RES where RES_ID = %d;" % int(item_id)],
                       check=True, stdout=subprocess.DEVNULL, timeout=60)


def free_port_pair():
    """A port P with P and P + 10000 both free on loopback (HTTP and SQL of the second server)."""
    for _ in range(200):
        port = random.randint(20000, 29999)
        ok = True
        for p in (port, port + 10000):
            with socket.socket() as s:
                try:
                    s.bind(("127.0.0.1", p))
                except OSError:
                    ok = False
        if ok:
            return port
    raise RuntimeError("no free port pair")


def server_kind():
    """The server the e2e scripts run against: ORVALE_E2E_SERVER, "horde" (default) or "virtuoso"."""
    return os.environ.get("ORVALE_E2E_SERVER", "horde")


def make_server(workdir):
    return VirtuosoServer(workdir) if server_kind() == "virtuoso" else Server(workdir)


class Device:
    """A device root and the programs run on it."""

    def __init__(self, root):
        self.root = root
        os.makedirs(root, exist_ok=True)
        self.env = dict(os.environ, ORVALE_DEVICE_ROOT=root, QT_QPA_PLATFORM="offscreen", TZ="UTC")

    def path(self, *parts):
        return os.path.join(self.root, *parts)

    def app_file(self, name):
        return self.path("Application Data", "Orvale", name)

    def run(self, name, *args, data=None, check=True):
        return subprocess.run([program(name)] + list(args), input=data, env=self.env,
                              stdout=subprocess.PIPE, stderr=subprocess.PIPE, check=check,
                              timeout=RUN_TIMEOUT)

    def conf(self, url, user=USER, password=PASSWORD, **fields):
        args = ["url=" + url, "user=" + user, "password=" + password]
        args += ["%s=%s" % kv for kv in fields.items()]
        self.run("orvale-e2e-run", "conf", *args)

    def show_conf(self):
        out = self.run("orvale-e2e-run", "show").stdout.decode()
        return dict(line.split("=", 1) for line in out.splitlines())

    def autosync(self):
        return self.run("orvale", "autosync")

    def sync(self, cancel_after=None):
        """The interactive run's core: {"status": [...], "result": N, ...}."""
        args = ["sync"] + ([str(cancel_after)] if cancel_after else [])
        out = self.run("orvale-e2e-run", *args, check=False).stdout.decode()
        report = {"status": []}
        for line in out.splitlines():
            key, _, value = line.partition("=")
            if key == "status":
                report["status"].append(value)
            else:
                report[key] = int(value) if key in ("result", "cancelled") else value
        return report

    def server_test(self):
        out = self.run("orvale-e2e-run", "server-test", check=False).stdout.decode()
        lines = [l.split("=", 1)[1] for l in out.splitlines() if l.startswith("line=")]
        result = int(re.search(r"result=(\d+)", out).group(1))
        return result, lines

    # --- the device's contacts (or, with folder="calendar", events) ---
    def import_contacts(self, text, folder="contacts"):
        out = self.run("orvale-pim", folder, "import", self._file(text))
        return out.stdout.decode().split()

    def _file(self, text):
        path = self.path("import.txt")
        with open(path, "w", encoding="utf-8", newline="") as f:
            f.write(text)
        return path

    def keys(self, folder="contacts"):
        out = self.run("orvale-pim", folder, "list").stdout.decode()
        return [line.split("\t", 1)[0] for line in out.splitlines() if line]

    def show(self, key, folder="contacts"):
        return self.run("orvale-pim", folder, "show", key).stdout

    def items(self, folder="contacts"):
        """{key: exported text}; the export names each item's key in its UID line."""
        out = {}
        block = rb"BEGIN:VCARD.*?END:VCARD\r?\n?" if folder == "contacts" else rb"BEGIN:VCALENDAR.*?END:VCALENDAR\r?\n?"
        for card in re.findall(block, self.run("orvale-pim", folder, "export").stdout, re.S):
            uid = re.search(rb"^UID:(.*?)\r?$", card, re.M)
            out[uid.group(1).decode() if uid else str(len(out))] = card
        return out

    def edit(self, key, text, folder="contacts"):
        self.run("orvale-pim", folder, "edit", key, self._file(text))

    def delete(self, key, folder="contacts"):
        self.run("orvale-pim", folder, "delete", key)

    # --- end-of-run files ---
    def state_files(self):
        """Bytes of every file a run may rewrite at its end (None when absent)."""
        names = [self.app_file("syncsessiondata"), self.path("Anchor_Contacts"),
                 self.path("Contacts.hdb"), self.app_file("Conf.dat")]
        return {n: read_bytes(n) for n in names}

    def capture_dir(self):
        return self.app_file("LastSession")

    def run_log(self):
        p = self.path("Logs.dat")
        data = read_bytes(p)
        return None if data is None else data.decode("utf-16-le")


def read_bytes(path):
    if not os.path.exists(path):
        return None
    with open(path, "rb") as f:
        return f.read()


# --- what travelled ---------------------------------------------------------------------------

def decode(data):
    """A captured WBXML message as an element tree without namespaces."""
    xml = subprocess.run([os.path.join(SERVER_DIR, "wbxml-to-xml"), "-c", "-"], input=data,
                         stdout=subprocess.PIPE, check=True, timeout=60).stdout
    root = ET.fromstring(xml)
    for el in root.iter():
        el.tag = el.tag.split("}")[-1]
    return root


def captured(device):
    """[(file name, element tree)] of the last run, in exchange order (client, server, ...)."""
    folder = device.capture_dir()
    names = sorted(os.listdir(folder), key=lambda n: (int(n[:n.index("_")]), "server" in n))
    out = []
    for n in names:
        with open(os.path.join(folder, n), "rb") as f:
            data = f.read()
        out.append((n, decode(data) if data else None))
    return out


def sent_commands(device, side="client"):
    """{command name: count} of the item commands inside Sync in one side's messages."""
    counts = {}
    for name, root in captured(device):
        if root is None or ("_from_%s" % side) not in name:
            continue
        for sync in root.iter("Sync"):
            for cmd in sync:
                if cmd.tag in ("Add", "Replace", "Delete"):
                    counts[cmd.tag] = counts.get(cmd.tag, 0) + len(cmd.findall("Item"))
    return counts


def alert_codes(device):
    """Alert codes of the client's folder Alerts in the first message."""
    name, root = captured(device)[0]
    return [a.findtext("Data") for a in root.iter("Alert") if a.find("Item") is not None]


def names(items):
    """Sorted N values of vCard texts: a contact's identity on both sides."""
    out = []
    for data in items.values():
        text = data.decode("utf-8") if isinstance(data, bytes) else data
        for line in text.replace("\r\n", "\n").split("\n"):
            if line.split(":", 1)[0].split(";", 1)[0].upper() == "N":
                out.append(line.split(":", 1)[1].split(";", 1)[0])
    return sorted(out)


def summary(text):
    """The SUMMARY value of a vCalendar text: an event's or task's identity on both sides."""
    return re.search(rb"^SUMMARY:(.*?)\r?$", text, re.M).group(1).decode()


def by_summary(items):
    """{SUMMARY value: text} of vCalendar texts."""
    return {summary(text): text for text in items.values()}


def without_uid(data):
    return b"".join(l for l in data.splitlines(keepends=True) if not l.startswith(b"UID:"))


def next_second():
    """Waits until the wall clock has passed into the next second (the server compares seconds)."""
    t = time.time()
    time.sleep(1.05 - (t - int(t)))


class E2eCase(unittest.TestCase):
    """One fresh server and one fresh device per test."""

    def setUp(self):
        # The server's work folder is set up once per script; start.sh gives it fresh data.
        work = os.environ.get("ORVALE_E2E_WORK", "/tmp/orvale-e2e")
        device_root = os.path.join(work, "device-" + self.id().split(".")[-1])
        shutil.rmtree(device_root, ignore_errors=True)
        self.server = make_server(os.path.join(work, "server")).start()
        self.addCleanup(self.server.stop)
        self.device = Device(device_root)
        self.device.conf(self.server.url, contacts="contacts", logging="1")
        if eds_device.wanted():
            eds_device.use(self.device)


def main():
    if eds_device.wanted():
        eds_device.main(program)
    else:
        unittest.main(verbosity=2)
