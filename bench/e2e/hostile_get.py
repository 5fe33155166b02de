#!/usr/bin/env python3
"""Timed program (not a test): the peak memory of `orvale autosync` against a loopback server that
answers every message with one Get of ITEMS items for our device information (about 64 KB of WBXML
for 8,000 items), for REPLIES replies. Prints the server message's size, the client's result and its
peak resident size (getrusage of the child, as /usr/bin/time -v reports it). Goal: below 30 MB.

usage: hostile_get.py [BUILD_DIR] [ITEMS] [REPLIES]     (defaults: build/, 8000, 7)
"""
import http.server
import os
import resource
import subprocess
import sys
import tempfile
import threading

BUILD = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build")
ITEMS = int(sys.argv[2]) if len(sys.argv) > 2 else 8000
REPLIES = int(sys.argv[3]) if len(sys.argv) > 3 else 7


def reply_wbxml(msg_id):
    get = "".join("<Item><Target><LocURI>./devinf11</LocURI></Target></Item>" for _ in range(ITEMS))
    xml = ("<?xml version=\"1.0\"?><!DOCTYPE SyncML PUBLIC \"-//SYNCML//DTD SyncML 1.1//EN\" "
           "\"http://www.syncml.org/docs/syncml_represent_v11_20020213.dtd\">"
           "<SyncML xmlns=\"SYNCML:SYNCML1.1\"><SyncHdr><VerDTD>1.1</VerDTD><VerProto>SyncML/1.1</VerProto>"
           "<SessionID>1</SessionID><MsgID>%d</MsgID><Target><LocURI>IMEI:0</LocURI></Target>"
           "<Source><LocURI>http://127.0.0.1/</LocURI></Source></SyncHdr><SyncBody>"
           "<Status><CmdID>1</CmdID><MsgRef>%d</MsgRef><CmdRef>0</CmdRef><Cmd>SyncHdr</Cmd><Data>200</Data></Status>"
           "<Get><CmdID>2</CmdID>%s</Get></SyncBody></SyncML>") % (msg_id, msg_id, get)
    return subprocess.run(["xml2wbxml", "-v", "1.2", "-n", "-o", "/dev/stdout", "/dev/stdin"], input=xml.encode(),
                          capture_output=True, check=True).stdout


class Handler(http.server.BaseHTTPRequestHandler):
    count = 0

    def log_message(self, *args):
        pass

    def do_POST(self):
        self.rfile.read(int(self.headers.get("Content-Length", "0")))
        Handler.count += 1
        body = reply_wbxml(Handler.count) if Handler.count <= REPLIES else b""
        self.send_response(200 if body else 500)
        self.send_header("Content-Type", "application/vnd.syncml+wbxml")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)


def main():
    server = http.server.HTTPServer(("127.0.0.1", 0), Handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    print("server message: %d bytes of WBXML, %d items" % (len(reply_wbxml(1)), ITEMS))
    with tempfile.TemporaryDirectory() as root:
        os.chmod(root, 0o700)
        env = dict(os.environ, ORVALE_DEVICE_ROOT=root)
        app = os.path.join(BUILD, "app")
        subprocess.run([os.path.join(app, "orvale-config"), "set", "url=http://127.0.0.1:%d/" % server.server_port,
                        "user=u", "password=p", "contacts=1", "contacts-uri=./contacts", "setup=1"], env=env, check=True)
        proc = subprocess.Popen([os.path.join(app, "orvale"), "autosync"], env=env)
        _, status, usage = os.wait4(proc.pid, 0)
        print("replies answered: %d, exit status %d" % (min(Handler.count, REPLIES), status >> 8))
        print("peak resident size of orvale autosync: %.1f MB" % (usage.ru_maxrss / 1024.0))
    server.shutdown()


if __name__ == "__main__":
    main()
