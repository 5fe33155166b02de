#!/usr/bin/env python3
"""End-to-end: contacts, calendar and tasks in one run, each folder to its own server database.

A device with all three folders filled slow-syncs them in one session; the run's log counts every
folder and the server holds every item as exported. A second, fresh device receives them and holds
the tasks exactly as the first one does. Then a two-way run carries a task edited, one deleted and
one added on the first device, and a server edit, each once.
"""
import os
import re
import shutil

import contacts
import events
import harness
import run_report
import tasks as sample
from harness import Device, E2eCase, by_summary, next_second, summary, without_uid

ZONE = "Europe/Berlin"
COUNTS = {"contacts": 10, "calendar": 10, "tasks": 40}
FOLDERS = {"contacts": "Contacts", "calendar": "Calendar", "tasks": "Tasks"}


def device(root, url):
    shutil.rmtree(root, ignore_errors=True)
    dev = Device(root)
    dev.env["TZ"] = ZONE
    dev.conf(url, contacts="contacts", calendar="calendar", tasks="tasks", logging="1")
    return dev


def tasks_by_summary(dev):
    return {s: without_uid(t) for s, t in by_summary(dev.items("tasks")).items()}


def uid(text):
    return re.search(rb"^UID:(.*?)\r?$", text, re.M).group(1).decode()


def log_counts(dev):
    """{folder: (received, sent)} of the run's Logs.dat."""
    found = re.findall(r"(\w+):\r\n(\d+) Received, (\d+) Sent\r\n", dev.run_log() or "")
    return {name: (int(r), int(s)) for name, r, s in found}


class AllFolders(E2eCase):
    def test_three_folders_in_one_run(self):
        srv = self.server
        work = os.path.dirname(self.device.root)
        one = device(os.path.join(work, "all-one"), srv.url)
        two = device(os.path.join(work, "all-two"), srv.url)
        one.import_contacts(contacts.contacts(COUNTS["contacts"]))
        one.import_contacts(events.events(COUNTS["calendar"]), "calendar")
        one.import_contacts(sample.tasks(COUNTS["tasks"]), "tasks")

        # 1. One slow sync of all three folders, in the order contacts, tasks, calendar.
        self.assertEqual(one.sync()["result"], 0)
        self.assertEqual(harness.alert_codes(one), ["201", "201", "201"])
        self.assertEqual(run_report.per_folder(one, "client"),
                         {FOLDERS[f]: {"Add": n} for f, n in COUNTS.items()})
        self.assertEqual(log_counts(one), {FOLDERS[f]: (0, n) for f, n in COUNTS.items()})
        for folder in COUNTS:
            stored, mapping = srv.items(folder), srv.map(folder)
            exported = one.items(folder)
            self.assertEqual(len(stored), COUNTS[folder], folder)
            for key, text in exported.items():
                self.assertEqual(stored[mapping[key]], without_uid(text), (folder, key))

        # 2. A fresh device receives everything; its tasks are the first device's, text for text.
        self.assertEqual(two.sync()["result"], 0)
        self.assertEqual(log_counts(two), {FOLDERS[f]: (n, 0) for f, n in COUNTS.items()})
        tasks_one = one.items("tasks")
        self.assertEqual(tasks_by_summary(two), tasks_by_summary(one))
        recurring = [t for t in tasks_one.values() if b"\r\nRRULE:" in t]
        self.assertGreaterEqual(len(recurring), 5)

        # 3. Two-way: a task edited, one deleted and one added on the first device, one edited on
        # the server; each travels once, and the second device ends up with the same tasks.
        texts = by_summary(tasks_one)
        one.edit(uid(texts["Task3"]), texts["Task3"].decode().replace("PRIORITY:1", "PRIORITY:3"), "tasks")
        one.delete(uid(texts["Task4"]), "tasks")
        one.import_contacts(sample.tasks(1, 100), "tasks")
        server_ids = {summary(d): i for i, d in srv.items("tasks").items()}
        next_second()
        srv.edit(server_ids["Task5"], srv.items("tasks")[server_ids["Task5"]].decode().replace("Task5", "Task5 moved"))
        next_second()
        self.assertEqual(one.sync()["result"], 0)
        self.assertEqual(harness.alert_codes(one), ["200", "200", "200"])
        self.assertEqual(run_report.per_folder(one, "client"), {"Tasks": {"Replace": 1, "Delete": 1, "Add": 1}})
        self.assertEqual(run_report.per_folder(one, "server"), {"Tasks": {"Replace": 1}})
        self.assertEqual(log_counts(one), {"Contacts": (0, 0), "Calendar": (0, 0), "Tasks": (1, 3)})
        next_second()
        self.assertEqual(two.sync()["result"], 0)
        self.assertEqual(run_report.per_folder(two, "client"), {})
        self.assertEqual(run_report.per_folder(two, "server"), {"Tasks": {"Replace": 2, "Delete": 1, "Add": 1}})
        self.assertEqual(tasks_by_summary(two), tasks_by_summary(one))
        self.assertIn("Task5 moved", tasks_by_summary(two))


if __name__ == "__main__":
    harness.main()
