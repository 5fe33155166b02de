#!/usr/bin/env python3
"""HTTP(S) server of the transport tests, on 127.0.0.1 and a free port.

Prints "PORT <n>" once it listens. Every request is written, before it is answered, to
<log-dir>/request-<k>.txt as received: request line, header lines, an empty line, the body.

Paths:
  /echo            200, body "echo:" + the request body
  /status/<code>   that status with a short body
  /size/<n>        200 with n bytes (byte i is i % 251)
  /endless         200 without length, bytes until the client goes away
  /hang            reads the request and never answers
"""
import argparse
import http.server
import itertools
import os
import ssl
import sys
import threading
import time

counter = itertools.count(1)
counter_lock = threading.Lock()


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def do_GET(self):
        self.serve()

    def do_POST(self):
        self.serve()

    def serve(self):
        length = int(self.headers.get("Content-Length", "0"))
        body = self.rfile.read(length) if length > 0 else b""
        with counter_lock:
            k = next(counter)
        head = self.requestline + "\r\n" + "".join(
            "%s: %s\r\n" % (name, value) for name, value in self.headers.items()) + "\r\n"
        with open(os.path.join(self.server.log_dir, "request-%d.txt" % k), "wb") as f:
            f.write(head.encode("latin-1") + body)

        path = self.path.split("?", 1)[0]
        if path == "/echo":
            self.reply(200, b"echo:" + body)
        elif path.startswith("/status/"):
            self.reply(int(path[len("/status/"):]), b"not for you")
        elif path.startswith("/size/"):
            n = int(path[len("/size/"):])
            self.reply(200, bytes(i % 251 for i in range(n)))
        elif path == "/endless":
            self.send_response(200)
            self.send_header("Connection", "close")
            self.end_headers()
            chunk = bytes(range(256)) * 64
            try:
                while True:
                    self.wfile.write(chunk)
            except OSError:
                pass
            self.close_connection = True
        elif path == "/hang":
            time.sleep(3600)
        else:
            self.reply(404, b"unknown path")

    def reply(self, status, body):
        self.send_response(status)
        if status == 401:
            self.send_header("WWW-Authenticate", 'Basic realm="test"')
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)


def exit_with_parent():
    # A test that dies without its clean-up must not leave the server holding its output open.
    parent = os.getppid()
    while os.getppid() == parent:
        time.sleep(0.5)
    os._exit(0)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--log-dir", required=True)
    parser.add_argument("--cert")
    parser.add_argument("--key")
    args = parser.parse_args()

    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    server.daemon_threads = True
    server.log_dir = args.log_dir
    if args.cert:
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        context.load_cert_chain(args.cert, args.key)
        server.socket = context.wrap_socket(server.socket, server_side=True)
    threading.Thread(target=exit_with_parent, daemon=True).start()
    print("PORT %d" % server.server_address[1], flush=True)
    server.serve_forever()


if __name__ == "__main__":
    sys.exit(main())
