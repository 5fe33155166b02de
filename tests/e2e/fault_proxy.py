"""A loopback HTTP proxy for the fault tests: it passes each POST to the server and cuts the
connection at one chosen exchange, either before the server saw the message or after the server
answered it (the reply is then lost)."""
import http.client
import http.server
import socket
import threading
import urllib.parse

BEFORE, AFTER = "before", "after"


class FaultProxy:
    def __init__(self, target_url):
        self.target = urllib.parse.urlsplit(target_url)
        self.cut_at = None   # 1-based exchange number to cut, None: pass everything
        self.cut_when = None  # or: cut the first message for which this returns true
        self.mode = AFTER
        self.exchanges = 0
        self.cut_body = None  # the message of the exchange that was cut
        self.lock = threading.Lock()
        proxy = self

        class Handler(http.server.BaseHTTPRequestHandler):
            protocol_version = "HTTP/1.1"

            def log_message(self, *args):
                pass

            def do_POST(self):
                length = int(self.headers.get("Content-Length", "0"))
                if length > 10 * 1024 * 1024:
                    self.close_connection = True
                    return
                body = self.rfile.read(length)
                with proxy.lock:
                    proxy.exchanges += 1
                    cut = proxy.exchanges == proxy.cut_at or (
                        proxy.cut_body is None and proxy.cut_when is not None and proxy.cut_when(body))
                    if cut:
                        proxy.cut_body = body
                if cut and proxy.mode == BEFORE:
                    return self.cut()
                conn = http.client.HTTPConnection(proxy.target.hostname, proxy.target.port, timeout=60)
                try:
                    conn.request("POST", self.path, body, {"Content-Type": self.headers.get("Content-Type", "")})
                    reply = conn.getresponse()
                    data = reply.read()
                finally:
                    conn.close()
                if cut:
                    return self.cut()
                self.send_response(reply.status)
                self.send_header("Content-Type", reply.getheader("Content-Type", "application/octet-stream"))
                self.send_header("Content-Length", str(len(data)))
                self.end_headers()
                self.wfile.write(data)

            def cut(self):
                self.close_connection = True
                try:
                    self.connection.shutdown(socket.SHUT_RDWR)
                except OSError:
                    pass

        self.httpd = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
        self.httpd.daemon_threads = True
        self.url = "http://127.0.0.1:%d%s" % (self.httpd.server_address[1], self.target.path)
        self.thread = threading.Thread(target=self.httpd.serve_forever, daemon=True)

    def __enter__(self):
        self.thread.start()
        return self

    def __exit__(self, *exc):
        self.httpd.shutdown()
        self.httpd.server_close()

    def arm(self, cut_at, mode, when=None):
        with self.lock:
            self.exchanges, self.cut_at, self.mode, self.cut_body = 0, cut_at, mode, None
            self.cut_when = when
