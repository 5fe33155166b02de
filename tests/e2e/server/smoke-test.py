#!/usr/bin/env python3
"""Smoke test of the loopback SyncML test server, with hand-written SyncML 1.1 client messages.

usage: smoke-test.py WORKDIR

Starts the server in WORKDIR (start.sh), plays client sessions against it in WBXML and checks its
answers and what it stores (store-tool.py); stops the server at the end. Exit status 0 when every
check passed.
"""
import base64
import hashlib
import os
import re
import subprocess
import sys
import time
import urllib.request
import xml.etree.ElementTree as ET
from xml.sax.saxutils import escape

HERE = os.path.dirname(os.path.abspath(__file__))
MESSAGES = os.path.join(HERE, "..", "..", "data", "e2e", "server")
WBXML = "application/vnd.syncml+wbxml"
USER, PASSWORD = "orvale", "orvale-secret"

failures = []


def check(ok, what):
    print(("ok      " if ok else "FAILED  ") + what)
    if not ok:
        failures.append(what)
    return ok


# --- messages ------------------------------------------------------------------------------------

def template(name):
    with open(os.path.join(MESSAGES, name), encoding="utf-8") as f:
        text = f.read()
    # Keep only the element itself: fragments are placed inside other messages.
    return re.sub(r"<\?xml[^>]*\?>\s*", "", text) if name.endswith(".frag.xml") else text


def fill(text, raw=None, **values):
    """Puts escaped text values and raw XML fragments at their @NAME@ marks."""
    for name, value in values.items():
        text = text.replace("@%s@" % name, escape(str(value)))
    for name, value in (raw or {}).items():
        text = text.replace("@%s@" % name, value)
    left = re.findall(r"@[A-Z]+@", text)
    if left:
        raise ValueError("unfilled marks %s" % left)
    return text


def to_wbxml(xml):
    return subprocess.run([os.path.join(HERE, "xml-to-wbxml"), "-"], input=xml.encode("utf-8"),
                          stdout=subprocess.PIPE, check=True).stdout


def from_wbxml(data):
    xml = subprocess.run([os.path.join(HERE, "wbxml-to-xml"), "-c", "-"], input=data,
                         stdout=subprocess.PIPE, check=True).stdout
    root = ET.fromstring(xml)
    for el in root.iter():
        el.tag = el.tag.split("}")[-1]
    return root


def basic_cred(user, password):
    return fill(template("cred.frag.xml"), AUTHTYPE="syncml:auth-basic",
                CREDDATA=base64.b64encode(("%s:%s" % (user, password)).encode()).decode())


def md5_cred(user, password, nonce=b""):
    b1 = base64.b64encode(hashlib.md5(("%s:%s" % (user, password)).encode()).digest())
    digest = hashlib.md5(b1 + b":" + nonce).digest()
    return fill(template("cred.frag.xml"), AUTHTYPE="syncml:auth-md5",
                CREDDATA=base64.b64encode(digest).decode())


def devinf(device):
    return fill(template("devinf.frag.xml"), DEVICE=device)


class Reply:
    """The parts of a server message the checks look at."""

    def __init__(self, raw):
        self.raw = raw
        self.root = from_wbxml(raw)
        body = self.root.find("SyncBody")
        self.commands = list(body)
        self.final = body.find("Final") is not None

    def statuses(self, cmd):
        return [s for s in self.commands if s.tag == "Status" and s.findtext("Cmd") == cmd]

    def status(self, cmd, ref=None):
        for s in self.statuses(cmd):
            if ref is None or s.findtext("CmdRef") == str(ref):
                return s.findtext("Data")
        return None

    def all(self, tag):
        return [c for c in self.commands if c.tag == tag]

    def first(self, tag):
        found = self.all(tag)
        return found[0] if found else None


class Session:
    """One client session: its ids and the server it talks to."""

    def __init__(self, url, session_id, device, max_msg_size=65536):
        self.url, self.session_id, self.device = url, session_id, device
        self.max_msg_size = max_msg_size

    def post(self, xml):
        request = urllib.request.Request(self.url, data=to_wbxml(xml),
                                         headers={"Content-Type": WBXML})
        with urllib.request.urlopen(request, timeout=30) as r:
            if r.status != 200 or r.headers.get("Content-Type") != WBXML:
                raise RuntimeError("HTTP %s %s" % (r.status, r.headers.get("Content-Type")))
            return Reply(r.read())

    def init(self, db="card", alert=201, last="", nxt="1", cred=None, locname=None, extra=""):
        return self.post(fill(template("init.xml"), SESSION=self.session_id, URL=self.url,
                              DEVICE=self.device, MAXMSGSIZE=self.max_msg_size, ALERT=alert, DB=db,
                              LAST=last, NEXT=nxt,
                              raw={"CRED": cred if cred is not None else basic_cred(USER, PASSWORD),
                                   "LOCNAME": "<LocName>%s</LocName>" % escape(locname)
                                   if locname else "",
                                   "EXTRA": extra}))

    def sync(self, db, changes=(), extra=""):
        return self.post(fill(template("client-sync.xml"), SESSION=self.session_id, URL=self.url,
                              DEVICE=self.device, MAXMSGSIZE=self.max_msg_size, ALERTREF=1, DB=db,
                              NUMCHANGES=len(changes),
                              raw={"EXTRA": extra, "CHANGES": "".join(changes)}))

    def finish(self, db, sync_ref, extra="", msg_id=3):
        """Statuses for the server's Sync (of the message before) and @EXTRA@, with Final."""
        return self.post(fill(template("client-finish.xml"), SESSION=self.session_id,
                              URL=self.url, DEVICE=self.device, MAXMSGSIZE=self.max_msg_size, DB=db,
                              MSGID=msg_id, MSGREF=msg_id - 1, SYNCREF=sync_ref,
                              raw={"EXTRA": extra}))


def item(kind, cmd_id, luid, vcard=None):
    values = {"CMDID": cmd_id, "LUID": luid}
    if vcard is not None:
        values["VCARD"] = vcard
    return fill(template(kind + ".frag.xml"), **values)


# --- the server and its store --------------------------------------------------------------------

def store(work, *args, data=None):
    return subprocess.run([sys.executable, os.path.join(HERE, "store-tool.py"), work] + list(args),
                          input=data, stdout=subprocess.PIPE, check=True).stdout


def stored_items(work, db):
    lines = store(work, "list", db).decode().splitlines()
    return {line.split("\t")[0]: store(work, "show", line.split("\t")[0]) for line in lines}


def crlf(text):
    # Item data travels as opaque bytes with CRLF line ends (xml-to-wbxml writes them so).
    return text.replace("\n", "\r\n").encode("utf-8")


def without_uid(text):
    return re.sub(r"\nUID:[^\n]*\n", "\n", text, count=1)


def wait_next_second():
    # The server's anchors are whole seconds and its change window ends before the current one.
    time.sleep(1.0 - time.time() % 1.0 + 0.05)


# --- the checks ----------------------------------------------------------------------------------

def check_auth(url):
    r = Session(url, "auth-1", "IMEI:AUTH0000000000000000001").init(cred="")
    chal = r.statuses("SyncHdr")[0].find("Chal/Meta/Type")
    check(r.status("SyncHdr") == "407" and chal is not None and chal.text == "syncml:auth-basic",
          "no credentials: 407 with a basic challenge")
    check(r.status("Alert") == "401", "no credentials: the Alert is refused (401)")

    r = Session(url, "auth-2", "IMEI:AUTH0000000000000000002").init(cred=basic_cred(USER, "wrong"))
    check(r.status("SyncHdr") == "401", "basic, wrong password: 401")
    r = Session(url, "auth-3", "IMEI:AUTH0000000000000000003").init()
    check(r.status("SyncHdr") == "212" and r.status("Alert") == "200", "basic: 212, Alert 200")
    r = Session(url, "auth-4", "IMEI:AUTH0000000000000000004").init(
        cred=basic_cred("second", "second-secret"))
    check(r.status("SyncHdr") == "212", "basic, second account: 212")

    r = Session(url, "auth-5", "IMEI:AUTH0000000000000000005").init(
        cred=md5_cred(USER, PASSWORD), locname=USER)
    check(r.status("SyncHdr") == "212" and r.status("Alert") == "200",
          "MD5 (empty nonce, user in Source LocName): 212, Alert 200")
    r = Session(url, "auth-6", "IMEI:AUTH0000000000000000006").init(
        cred=md5_cred(USER, "wrong"), locname=USER)
    check(r.status("SyncHdr") == "401", "MD5, wrong password: 401")
    r = Session(url, "auth-7", "IMEI:AUTH0000000000000000007").init(cred=md5_cred(USER, PASSWORD))
    check(r.status("SyncHdr") == "401", "MD5 without Source LocName: 401")


def check_uris(url):
    for n, uri in enumerate(["card", "contacts", "cal", "calendar", "events", "tasks"]):
        r = Session(url, "uri-%d" % n, "IMEI:URI00000000000000000%02d" % n).init(db=uri)
        alert = r.first("Alert")
        check(r.status("Alert") == "200" and alert is not None
              and alert.findtext("Item/Source/LocURI") == uri
              and alert.findtext("Data") == "201",
              "database %s: Alert 200 and a server Alert 201 for it" % uri)
    r = Session(url, "uri-x", "IMEI:URI0000000000000000099").init(db="nosuch")
    check(r.status("Alert") == "404", "unknown database: 404")


def check_server_devinf(url):
    s = Session(url, "devinf-1", "IMEI:DEVINF000000000000000001")
    r = s.init(extra=template("get-devinf.frag.xml"))
    check(r.raw.startswith(b"\x02\x00\x00\x6a\x1d-//SYNCML//DTD SyncML 1.1//EN"),
          "message header: WBXML 1.2, public id as string-table index 0, SyncML 1.1")
    results = r.first("Results")
    check(results is not None and results.findtext("Item/Source/LocURI") == "./devinf11",
          "Get ./devinf11 answered with Results")
    # The DevInf must be a nested WBXML document of the session's version, carried as OPAQUE.
    check(re.search(rb"\xc3[\x80-\xff]*[\x00-\x7f]\x02\x00\x00\x6a\x1d-//SYNCML//DTD DevInf 1\.1//EN",
                    r.raw) is not None, "server DevInf is opaque WBXML DevInf 1.1")
    refs = [] if results is None else [d.findtext("SourceRef")
                                       for d in results.iter("DataStore")]
    check(set(refs) >= {"contacts", "calendar", "tasks"},
          "server DevInf lists contacts, calendar, tasks (%s)" % ", ".join(refs))
    check(r.root.findtext("SyncHdr/Meta/MaxMsgSize") == "1000000000",
          "server announces MaxMsgSize 1000000000")


def check_sessions(url, work):
    device = "IMEI:0123456789ABCDEF012345"
    cards = {
        "1001": "BEGIN:VCARD\nVERSION:2.1\nN:Doe;Jane;;;\nFN:Jane Doe\n"
                "TEL;CELL:+15551234\nUID:device-1001\nEND:VCARD",
        "1002": "BEGIN:VCARD\nVERSION:2.1\nN:Brontë;Zoë;;;\nFN:Zoë Brontë\n"
                "ORG:Smith & Sons <east>\nEMAIL;INTERNET:zoe@example.com\nEND:VCARD",
    }

    # Session 1: slow sync, the client's DevInf by Put, two Adds.
    s1 = Session(url, "1001", device)
    r = s1.init(alert=201, last="", nxt="A1", extra=fill(template("put-devinf.frag.xml"),
                                                         raw={"DEVINF": devinf(device)}))
    check(r.status("SyncHdr") == "212" and r.status("Alert") == "200" and r.status("Put") == "200",
          "slow sync init: 212, Alert 200, Put 200")
    check(r.first("Get") is None, "no Get of the client's DevInf after a Put")
    check(r.first("Alert") is not None and r.first("Alert").findtext("Data") == "201",
          "server Alert 201 for the slow sync")
    r = s1.sync("card", [item("add", 31, luid, vcard) for luid, vcard in cards.items()])
    adds = r.statuses("Add")
    check(sorted((a.findtext("SourceRef"), a.findtext("Data")) for a in adds)
          == [("1001", "201"), ("1002", "201")], "both Adds answered 201 with their SourceRef")
    sync = r.first("Sync")
    check(sync is not None and not [c for c in sync if c.tag in ("Add", "Replace", "Delete")],
          "server Sync of the slow sync carries no items")
    r = s1.finish("card", sync.findtext("CmdID") if sync is not None else 0)
    check(r.final and not r.all("Sync"), "session 1 ends with Final")

    items = stored_items(work, "contacts")
    check(sorted(items.values()) == sorted(crlf(without_uid(v)) for v in cards.values()),
          "server holds both cards as sent (UID line dropped)")
    mapped = {line.split("\t")[2]: line.split("\t")[3]
              for line in store(work, "map", "contacts").decode().splitlines()}
    check(set(mapped) == {"1001", "1002"} and set(mapped.values()) == set(items),
          "server maps the client ids to its items")
    anchors = store(work, "anchors").decode()
    check("\tcontacts\torvale\tA1\t" in anchors, "anchors stored at the end of session 1")

    # A change on the server, then session 2: two-way, DevInf by Get/Results, client changes.
    server_card = "BEGIN:VCARD\nVERSION:2.1\nN:Server;Sam;;;\nFN:Sam Server\nEND:VCARD"
    wait_next_second()
    new_id = store(work, "add", "contacts", "-", data=crlf(server_card)).decode().strip()
    wait_next_second()
    s2 = Session(url, "1002", device)
    r = s2.init(alert=200, last="A1", nxt="A2")
    check(r.status("Alert") == "200" and r.first("Alert").findtext("Data") == "200",
          "two-way init: Alert 200, server Alert 200")
    get = r.first("Get")
    check(get is not None and get.findtext("Item/Target/LocURI") == "./devinf11",
          "server asks Get ./devinf11 when the client has not sent its DevInf")
    get_ref = get.findtext("CmdID") if get is not None else "0"
    edited = cards["1001"].replace("+15551234", "+15559999")
    stray = "BEGIN:VCARD\nVERSION:2.1\nN:Stray;Ray;;;\nFN:Ray Stray\nEND:VCARD"
    r = s2.sync("card", [item("replace", 31, "1001", edited), item("delete", 32, "1002"),
                         item("delete", 33, "9999"), item("replace", 34, "1003", stray)],
                extra=fill(template("get-status.frag.xml"), GETREF=get_ref)
                + fill(template("results-devinf.frag.xml"), GETREF=get_ref,
                       raw={"DEVINF": devinf(device)}))
    check(r.status("Results") == "200", "Results with the client's DevInf accepted")
    check(r.status("Replace", 31) == "200", "client Replace: 200")
    check(r.status("Replace", 34) == "201", "client Replace of an unknown id: stored as new, 201")
    check(r.status("Delete", 32) == "200", "client Delete of a mapped item: 200")
    check(r.status("Delete", 33) == "211", "client Delete of an unknown item: 211, not 200")
    sync = r.first("Sync")
    server_items = [c for c in (sync if sync is not None else []) if c.tag in ("Add", "Replace", "Delete")]
    check([c.tag for c in server_items] == ["Add"], "server Sync carries exactly one Add, no Replace "
          "(%s)" % [c.tag for c in server_items])
    add = server_items[0] if server_items else None
    check(add is not None and add.findtext("Item/Source/LocURI") == new_id
          and add.findtext("Item/Data").replace("\r\n", "\n") == server_card
          and add.findtext("Meta/Type") == "text/x-vcard",
          "server Add carries the new item with its server id, as text/x-vcard")
    map_extra = (fill(template("add-status.frag.xml"), CMDID=5, MSGREF=2,
                      ADDREF=add.findtext("CmdID") if add is not None else 0, SUID=new_id)
                 + fill(template("map.frag.xml"), CMDID=6, DB="card", SUID=new_id, LUID="2001"))
    r = s2.finish("card", sync.findtext("CmdID") if sync is not None else 0, extra=map_extra)
    check(r.status("Map") == "200" and r.final, "Map accepted, session 2 ends with Final")

    items = stored_items(work, "contacts")
    mapped = {line.split("\t")[2]: line.split("\t")[3]
              for line in store(work, "map", "contacts").decode().splitlines()}
    check(set(mapped) == {"1001", "1003", "2001"} and mapped["2001"] == new_id,
          "map after session 2: 1001, 1003 and the server item as 2001")
    check(len(items) == 3 and items.get(mapped.get("1001")) == crlf(without_uid(edited))
          and items.get(mapped.get("1003")) == crlf(stray),
          "server holds the replaced card, the stray one and its own; the deleted one is gone")
    check("\tcontacts\torvale\tA2\t" in store(work, "anchors").decode(),
          "anchors stored at the end of session 2")

    # Session 3: a server edit arrives as Replace; the client no longer has the item and answers
    # 404, so the server sends it again as an Add, which the client maps.
    wait_next_second()
    store(work, "edit", new_id, "-", data=crlf(server_card.replace("Sam Server", "Sam Edited")))
    wait_next_second()
    s3 = Session(url, "1003", device)
    s3.init(alert=200, last="A2", nxt="A3", extra=fill(template("put-devinf.frag.xml"),
                                                       raw={"DEVINF": devinf(device)}))
    r = s3.sync("card")
    sync = r.first("Sync")
    replaces = [] if sync is None else [c for c in sync if c.tag == "Replace"]
    check(len(replaces) == 1 and replaces[0].findtext("Item/Target/LocURI") == "2001"
          and "Sam Edited" in replaces[0].findtext("Item/Data"),
          "server edit arrives as Replace of the client's id")
    replace_ref = replaces[0].findtext("CmdID") if replaces else 0
    r = s3.finish("card", sync.findtext("CmdID") if sync is not None else 0,
                  extra=fill(template("replace-status.frag.xml"), CMDID=3, MSGREF=2,
                             CMDREF=replace_ref, LUID="2001", CODE=404))
    sync = r.first("Sync")
    adds = [] if sync is None else [c for c in sync if c.tag == "Add"]
    check(len(adds) == 1 and adds[0].findtext("Item/Source/LocURI") == new_id,
          "a Replace answered 404 comes again as Add")
    r = s3.finish("card", sync.findtext("CmdID") if sync is not None else 0, msg_id=4,
                  extra=fill(template("add-status.frag.xml"), CMDID=3, MSGREF=3,
                             ADDREF=adds[0].findtext("CmdID") if adds else 0, SUID=new_id)
                  + fill(template("map.frag.xml"), CMDID=4, DB="card", SUID=new_id, LUID="3001"))
    check(r.status("Map") == "200" and r.final and not r.all("Sync"), "session 3 ends with Final")
    mapped = {line.split("\t")[2]: line.split("\t")[3]
              for line in store(work, "map", "contacts").decode().splitlines()}
    check(mapped.get("3001") == new_id and "\tcontacts\torvale\tA3\t" in store(work, "anchors").decode(),
          "session 3 maps the item anew and stores its anchors")

    # A wrong Last anchor forces a slow sync; the session is left unfinished.
    r = Session(url, "1004", device).init(alert=200, last="bogus", nxt="A4")
    check(r.status("Alert") == "508" and r.first("Alert").findtext("Data") == "201",
          "wrong Last anchor: 508 and a server Alert 201")
    # Anchors change only when a session completes: A3 still holds.
    r = Session(url, "1005", device).init(alert=200, last="A3", nxt="A5")
    check(r.status("Alert") == "200", "an unfinished session leaves the anchors as they were")


def check_repeated_sessions(url, work):
    """Sessions repeated after an interruption neither duplicate nor resend items."""
    device = "IMEI:REPEAT0000000000000000001"
    cards = {luid: "BEGIN:VCARD\nVERSION:2.1\nN:R%s;S;;;\nFN:S R%s\nEND:VCARD" % (luid, luid)
             for luid in ("1", "2")}
    adds = [item("add", 30 + n, luid, card) for n, (luid, card) in enumerate(cards.items())]
    put = fill(template("put-devinf.frag.xml"), raw={"DEVINF": devinf(device)})
    # An account of its own, so the counts below see only this device's items.
    cred = basic_cred("second", "second-secret")

    # A first slow sync that stops after the client's Adds, then the same again in full.
    s = Session(url, "rep-1", device)
    s.init(alert=201, nxt="R1", extra=put, cred=cred)
    s.sync("card", adds)
    s = Session(url, "rep-2", device)
    s.init(alert=201, nxt="R1", extra=put, cred=cred)
    r = s.sync("card", adds)
    sync = r.first("Sync")
    check([st.findtext("Data") for st in r.statuses("Add")] == ["201", "201"]
          and not [c for c in sync if c.tag == "Add"],
          "repeated first slow sync: Adds accepted, none sent back")
    s.finish("card", sync.findtext("CmdID"))
    check(store(work, "--user", "second", "count", "contacts").decode().strip() == "2",
          "repeated first slow sync: no duplicate on the server")

    # A server item reaches the client and is mapped, but the client loses the server's last
    # answer: its next session has the old anchor, gets 508 and resends everything.
    wait_next_second()
    new_id = store(work, "--user", "second", "add", "contacts", "-", data=crlf(cards["1"].replace("R1", "Q9"))).decode().strip()
    wait_next_second()
    s = Session(url, "rep-3", device)
    s.init(alert=200, last="R1", nxt="R2", extra=put, cred=cred)
    r = s.sync("card")
    add = r.first("Sync").find("Add")
    s.finish("card", r.first("Sync").findtext("CmdID"), extra=fill(
        template("add-status.frag.xml"), CMDID=5, MSGREF=2, ADDREF=add.findtext("CmdID"),
        SUID=new_id) + fill(template("map.frag.xml"), CMDID=6, DB="card", SUID=new_id, LUID="3"))
    s = Session(url, "rep-4", device)
    r = s.init(alert=200, last="R1", nxt="R3", extra=put, cred=cred)
    check(r.status("Alert") == "508", "client with the anchor before the lost answer: 508")
    r = s.sync("card", adds + [item("add", 40, "3", cards["1"].replace("R1", "Q9"))])
    sync = r.first("Sync")
    check([st.findtext("Data") for st in r.statuses("Add")] == ["201"] * 3
          and not [c for c in sync if c.tag == "Add"],
          "slow sync after 508: the client's items accepted, the mapped server item not resent")
    s.finish("card", sync.findtext("CmdID"))
    check(store(work, "--user", "second", "count", "contacts").decode().strip() == "3",
          "slow sync after 508: no duplicate on the server")


def check_message_size(url, work):
    """Many server items and a small MaxMsgSize: the server spreads its package over messages."""
    device = "IMEI:MSGSIZE00000000000000001"
    s = Session(url, "size-1", device)
    s.init(alert=201, nxt="B1", extra=fill(template("put-devinf.frag.xml"),
                                           raw={"DEVINF": devinf(device)}))
    r = s.sync("card")
    s.finish("card", r.first("Sync").findtext("CmdID"))
    wait_next_second()
    sent = set()
    for i in range(12):
        card = "BEGIN:VCARD\nVERSION:2.1\nN:P%d;Q;;;\nFN:Person %d\nNOTE:%s\nEND:VCARD" % (i, i, "x" * 300)
        sent.add(store(work, "add", "contacts", "-", data=crlf(card)).decode().strip())
    wait_next_second()

    s = Session(url, "size-2", device, max_msg_size=2000)
    replies = [s.init(alert=200, last="B1", nxt="B2", extra=fill(
        template("put-devinf.frag.xml"), raw={"DEVINF": devinf(device)}))]
    replies.append(s.sync("card"))
    received, msg_id = [], 3
    while replies[-1].first("Sync") is not None and msg_id < 20:
        sync = replies[-1].first("Sync")
        adds = [c for c in sync if c.tag == "Add"]
        extra = "".join(fill(template("add-status.frag.xml"), CMDID=10 + n, MSGREF=msg_id - 1,
                             ADDREF=a.findtext("CmdID"), SUID=a.findtext("Item/Source/LocURI"))
                        for n, a in enumerate(adds))
        if adds:
            extra += fill(template("map.frag.xml"), CMDID=9, DB="card",
                          SUID=adds[0].findtext("Item/Source/LocURI"), LUID="m%d" % msg_id)
        received += [a.findtext("Item/Source/LocURI") for a in adds]
        replies.append(s.finish("card", sync.findtext("CmdID"), extra=extra, msg_id=msg_id))
        msg_id += 1
    check(all(len(r.raw) <= 2000 for r in replies),
          "every server message within the client's MaxMsgSize 2000 (%s)"
          % ", ".join(str(len(r.raw)) for r in replies))
    check(len(replies) > 4 and sorted(received) == sorted(sent),
          "12 server items arrive once each over %d messages" % (len(replies) - 2))
    check(replies[-1].final and replies[-1].status("Map") == "200",
          "the spread session ends with Final")


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    work = sys.argv[1]
    out = subprocess.run([os.path.join(HERE, "start.sh"), work], stdout=subprocess.PIPE,
                         check=True).stdout.decode()
    env = dict(line.split("=", 1) for line in out.split())
    try:
        check_auth(env["URL"])
        check_uris(env["URL"])
        check_server_devinf(env["URL"])
        check_sessions(env["URL"], work)
        check_repeated_sessions(env["URL"], work)
        check_message_size(env["URL"], work)
    finally:
        subprocess.run([os.path.join(HERE, "stop.sh"), env["PID"]], check=True)
    errors = os.path.join(work, "data", "log", "php-errors.log")
    if os.path.exists(errors) and os.path.getsize(errors):
        with open(errors) as f:
            check(False, "no PHP errors logged:\n" + f.read())
    print("%d check(s) failed" % len(failures) if failures else "all checks passed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
