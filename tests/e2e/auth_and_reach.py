#!/usr/bin/env python3
"""End-to-end: credentials (basic, MD5, refused) and a server that is not there."""
import harness
from harness import E2eCase


def cred_types(device):
    return [c.findtext("Meta/Type") for _, root in harness.captured(device) if root is not None
            for c in root.iter("Cred")]


class AuthAndReach(E2eCase):
    def test_basic_and_md5(self):
        dev = self.device
        dev.import_contacts(harness.sample.contacts(3))
        self.assertEqual(dev.sync()["result"], 0)
        self.assertEqual(set(cred_types(dev)), {"syncml:auth-basic"})
        # The server never asks for MD5; a device that starts with it (AuthType 1 remembered, no
        # nonce yet) authenticates with it.
        with open(dev.app_file("syncsessiondata"), "w") as f:
            f.write("AuthType 1\nNextNonce \n")
        harness.next_second()
        dev.import_contacts(harness.sample.contacts(1, 50))
        report = dev.sync()
        self.assertEqual(report["result"], 0, report)
        self.assertEqual(set(cred_types(dev)), {"syncml:auth-md5"})
        self.assertEqual(len(self.server.items()), 4)

    def test_wrong_password_and_stopped_server(self):
        dev = self.device
        dev.import_contacts(harness.sample.contacts(2))
        dev.conf(self.server.url, password="not-it", contacts="contacts")
        report = dev.sync()
        self.assertEqual((report["result"], report["status"][-1]), (1, "Authentication failed"))
        self.assertRegex(report["cause"], r"^\d\d:\d\d:\d\d: Wrong user name or password \(the server answered 401\)")
        self.server.stop()
        dev.conf(self.server.url, contacts="contacts")
        report = dev.sync()
        self.assertEqual((report["result"], report["status"][-1]), (3, "Could not reach the server"))
        self.assertRegex(report["cause"], r": No answer from 127\.0\.0\.1:%d: connection refused$" % self.server.port)


if __name__ == "__main__":
    harness.main()
