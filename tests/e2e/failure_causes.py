#!/usr/bin/env python3
"""End-to-end: every way a run fails, through `orvale autosync`: its exit status, the one line on
standard error, the run's own log and Logs.dat each name the cause."""
import http.server
import os
import re
import ssl
import subprocess
import tempfile
import threading
import unittest

import harness
from harness import E2eCase


class _Answer501(http.server.BaseHTTPRequestHandler):
    """A web server that is no SyncML server: it does not implement POST."""

    def do_POST(self):
        self.send_error(501)

    def log_message(self, *args):
        pass


class WebServer:
    """A loopback web server on a free port; with `tls`, a self-signed certificate no one trusts."""

    def __init__(self, tls=False):
        self.httpd = http.server.HTTPServer(("127.0.0.1", 0), _Answer501)
        if tls:
            folder = tempfile.mkdtemp(prefix="orvale-tls-")
            cert, key = os.path.join(folder, "c.pem"), os.path.join(folder, "k.pem")
            subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "1",
                            "-subj", "/CN=127.0.0.1", "-keyout", key, "-out", cert],
                           check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=60)
            context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
            context.load_cert_chain(cert, key)
            self.httpd.socket = context.wrap_socket(self.httpd.socket, server_side=True)
        self.url = "%s://127.0.0.1:%d/" % ("https" if tls else "http", self.httpd.server_port)
        threading.Thread(target=self.httpd.serve_forever, daemon=True).start()

    def stop(self):
        self.httpd.shutdown()
        self.httpd.server_close()


def big_contacts(count, note_bytes):
    return "".join("BEGIN:VCARD\r\nVERSION:2.1\r\nN:Filler%d;Disk\r\nFN:Disk Filler%d\r\nNOTE:%s\r\nEND:VCARD\r\n"
                   % (n, n, "x" * note_bytes) for n in range(count))


class FailureCauses(E2eCase):
    def autosync(self, dev):
        return dev.run("orvale", "autosync", check=False)

    def run_log(self, dev):
        return dev.run("orvale-dump", "--log", check=False).stdout.decode()

    def check(self, dev, status, cause, name):
        r = self.autosync(dev)
        err = r.stderr.decode()
        self.assertEqual(r.returncode, status, (name, err))
        lines = err.splitlines()
        self.assertTrue(lines and re.search(cause, lines[0]), (name, err))
        log = self.run_log(dev)
        self.assertIn("result %d" % (status - 10), log, name)
        self.assertRegex(log, cause)
        self.assertNotIn(harness.PASSWORD, log)
        summary = dev.run_log()
        if summary is not None:  # a full disk may leave no room for it; stderr then said why
            self.assertRegex(summary.splitlines()[-1], r"^\d\d:\d\d:\d\d: " + cause, name)
        else:
            self.assertIn("Logs.dat could not be written", err, name)
        return log

    def test_each_cause_is_told(self):
        dev, srv = self.device, self.server
        dev.import_contacts(harness.sample.contacts(2))
        web, tls = WebServer(), WebServer(tls=True)
        self.addCleanup(web.stop)
        self.addCleanup(tls.stop)
        cases = [
            # name, settings (url, password), exit status, cause on stderr and in the logs
            ("wrong password", srv.url, "not-it", 11,
             r"Wrong user name or password \(the server answered 401\): check them in Settings"),
            ("no server listening", "http://127.0.0.1:1/horde/rpc.php", harness.PASSWORD, 13,
             r"No answer from 127\.0\.0\.1:1: connection refused"),
            ("unknown host", "http://orvale-no-such-host.invalid/rpc.php", harness.PASSWORD, 13,
             r"No answer from orvale-no-such-host\.invalid:80: host not found"),
            ("not a SyncML server", web.url, harness.PASSWORD, 13,
             r"The web server at 127\.0\.0\.1:\d+ answered HTTP 501"),
            ("certificate not trusted", tls.url, harness.PASSWORD, 13,
             r"The certificate of 127\.0\.0\.1:\d+ is not trusted \(.*certificate.*\)"),
            ("URL without a scheme", "127.0.0.1/rpc.php", harness.PASSWORD, 13,
             r"The URL must begin with http:// or https://"),
        ]
        for name, url, password, status, cause in cases:
            with self.subTest(name):
                dev.conf(url, password=password, contacts="contacts", logging="1")
                log = self.check(dev, status, cause, name)
                if name == "wrong password":
                    self.assertIn("status 401 for SyncHdr", log)
                    self.assertRegex(log, r"message 1: \d+ bytes sent, HTTP 200, \d+ bytes received")

        # A device store that cannot be opened fails the run before the server is asked.
        dev.conf(srv.url, contacts="contacts", logging="1")
        with open(dev.path("pim.db"), "wb") as f:
            f.write(b"this is no database " * 100)
        self.check(dev, 14, r"The device's store cannot be opened", "damaged store")

        # The run that works: exit 0, nothing on stderr, the log names the contacts.
        os.remove(dev.path("pim.db"))
        dev.import_contacts(harness.sample.contacts(2))
        r = self.autosync(dev)
        self.assertEqual((r.returncode, r.stderr), (0, b""))
        log = self.run_log(dev)
        self.assertIn('"Chiara Sample2"', log)
        self.assertRegex(log, r"Contacts: device -> server: \d+ added")
        self.assertIn("result 0", log)

    def test_full_disk(self):
        mount = tempfile.mkdtemp(prefix="orvale-full-")
        r = subprocess.run(["mount", "-t", "tmpfs", "-o", "size=768k", "tmpfs", mount],
                           stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        if r.returncode != 0:
            self.skipTest("a small tmpfs cannot be mounted here: " + r.stderr.decode().strip())
        self.addCleanup(subprocess.run, ["umount", "-l", mount])
        # The server holds more than the small disk can take.
        source = self.device
        source.import_contacts(big_contacts(300, 3000))
        self.assertEqual(source.autosync().returncode, 0)
        dev = harness.Device(os.path.join(mount, "device"))
        dev.conf(self.server.url, contacts="contacts", logging="1")
        os.chmod(mount, 0o700)
        harness.next_second()  # the server tells changes apart by the second
        r = self.autosync(dev)
        err = r.stderr.decode()
        self.assertEqual(r.returncode, 14, err)
        self.assertRegex(err.splitlines()[0], r"disk is full|cannot be written", err)
        summary = dev.run_log()
        if summary is None:
            self.assertIn("Logs.dat could not be written", err)


if __name__ == "__main__":
    harness.main()
