#!/usr/bin/env python3
"""End-to-end: contacts, calendar and tasks in one run, each folder to its own server database.

A device with all three folders filled slow-syncs them in one session; the run's log counts every
folder and the server holds every item as exported. A second, fresh device receives them and holds
the tasks exactly as the first one does. Then a two-way run carries a task edited, one deleted and
one added on the first device, and a server edit, each once. Then each folder in runs of its own.
Against either server (see harness.py); the second keeps no text as sent and has no server edit.
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


def identity(folder, text):
    return harness.names({0: text}) if folder == "contacts" else summary(text)


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
                if srv.keeps_text:
                    self.assertEqual(stored[mapping[key]], without_uid(text), (folder, key))
                else:
                    self.assertEqual(identity(folder, stored[mapping[key]]), identity(folder, text), (folder, key))

        # 2. A fresh device receives everything; its tasks are the first device's, text for text.
        self.assertEqual(two.sync()["result"], 0)
        self.assertEqual(log_counts(two), {FOLDERS[f]: (n, 0) for f, n in COUNTS.items()})
        tasks_one = one.items("tasks")
        if srv.keeps_text:
            self.assertEqual(tasks_by_summary(two), tasks_by_summary(one))
        else:
            self.assertEqual(set(tasks_by_summary(two)), set(tasks_by_summary(one)))
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
        if srv.edits:
            srv.edit(server_ids["Task5"], srv.items("tasks")[server_ids["Task5"]].decode().replace("Task5", "Task5 moved"))
            next_second()
        self.assertEqual(one.sync()["result"], 0)
        self.assertEqual(harness.alert_codes(one), ["200", "200", "200"])
        self.assertEqual(run_report.per_folder(one, "client"), {"Tasks": {"Replace": 1, "Delete": 1, "Add": 1}})
        edited = 1 if srv.edits else 0
        self.assertEqual(run_report.per_folder(one, "server"), {"Tasks": {"Replace": 1}} if edited else {})
        self.assertEqual(log_counts(one), {"Contacts": (0, 0), "Calendar": (0, 0), "Tasks": (edited, 3)})
        next_second()
        self.assertEqual(two.sync()["result"], 0)
        self.assertEqual(run_report.per_folder(two, "client"), {})
        received = run_report.per_folder(two, "server")
        if srv.keeps_text:
            self.assertEqual(received, {"Tasks": {"Replace": 1 + edited, "Delete": 1, "Add": 1}})
        else:
            # This server answers a device's Replace 201 and keeps the edit as an item of its
            # own, which reaches other devices as Add.
            got = received["Tasks"]
            self.assertEqual((got.get("Replace", 0) + got.get("Add", 0), got.get("Delete")), (2, 1), received)
        if srv.keeps_text:
            self.assertEqual(tasks_by_summary(two), tasks_by_summary(one))
        else:
            self.assertEqual(set(tasks_by_summary(two)), set(tasks_by_summary(one)))
        if srv.edits:
            self.assertIn("Task5 moved", tasks_by_summary(two))

    def test_one_folder_at_a_time(self):
        """Each folder in a run of its own, slow then two-way; a fresh device receives them."""
        srv = self.server
        work = os.path.dirname(self.device.root)
        one = device(os.path.join(work, "single-one"), srv.url)
        two = device(os.path.join(work, "single-two"), srv.url)
        one.import_contacts(contacts.contacts(COUNTS["contacts"]))
        one.import_contacts(events.events(COUNTS["calendar"]), "calendar")
        one.import_contacts(sample.tasks(COUNTS["tasks"]), "tasks")
        for dev in (one, two):
            for folder in COUNTS:
                dev.conf(srv.url, logging="1", **{folder: folder})
                self.assertEqual(dev.sync()["result"], 0, folder)
                self.assertEqual(harness.alert_codes(dev), ["201"])
        for folder in COUNTS:
            self.assertEqual(len(srv.items(folder)), COUNTS[folder], folder)
            self.assertEqual(len(two.keys(folder)), COUNTS[folder], folder)
        next_second()
        one.delete(one.keys("calendar")[0], "calendar")
        one.conf(srv.url, calendar="calendar", logging="1")
        self.assertEqual(one.sync()["result"], 0)
        self.assertEqual(harness.alert_codes(one), ["200"])
        self.assertEqual(run_report.per_folder(one, "client"), {"Calendar": {"Delete": 1}})
        self.assertEqual(len(srv.items("calendar")), COUNTS["calendar"] - 1)


if __name__ == "__main__":
    harness.main()
