#!/usr/bin/env python3
"""Prints and edits what the test server stores.

usage: store-tool.py STORE COMMAND [ARGS]
  STORE is the server's work folder (as given to start.sh) or its SQLite file.

  list [DATABASE] [--json]     items: id, database, user, created, modified, first name line
  count [DATABASE]             number of items
  show ID                      the item's data, byte for byte
  add DATABASE FILE|-          store a new server item (as a user of the server would); prints its id
  edit ID FILE|-               replace an item's data (marks it modified now)
  delete ID                    delete an item
  map [DATABASE] [--json]      client id <-> server id pairs the server keeps per device
  anchors [--json]             the anchors stored at the end of each completed session

  --user USER (default "orvale") selects the account for list, count, add and map.
  DATABASE accepts the server's URI aliases: card/contacts, cal/calendar/events, tasks, notes.
"""
import argparse
import json
import os
import sqlite3
import sys
import time
import uuid

ALIASES = {
    "contacts": "contacts", "contact": "contacts", "card": "contacts", "scard": "contacts",
    "calendar": "calendar", "event": "calendar", "events": "calendar", "cal": "calendar",
    "scal": "calendar",
    "notes": "notes", "memo": "notes", "note": "notes", "snote": "notes",
    "tasks": "tasks", "task": "tasks", "stask": "tasks",
}
CONTENT_TYPES = {"contacts": "text/x-vcard", "calendar": "text/x-vcalendar",
                 "tasks": "text/x-vcalendar", "notes": "text/plain"}


def normalize(uri):
    """The server's own mapping of a database URI to the name it stores."""
    name = os.path.basename(uri.split("?", 1)[0]).lower()
    return ALIASES.get(name, name)


def open_store(path):
    if os.path.isdir(path):
        path = os.path.join(path, "data", "syncml.sqlite")
    if not os.path.isfile(path):
        sys.exit("store-tool: no server store at %s (start the server first)" % path)
    db = sqlite3.connect(path, timeout=10)
    db.text_factory = bytes
    return db


def read_input(name):
    if name == "-":
        return sys.stdin.buffer.read()
    with open(name, "rb") as f:
        return f.read()


def text(b):
    return b.decode("utf-8", "replace") if isinstance(b, bytes) else b


def label(data):
    """A short name for an item: its FN or SUMMARY line, else its first line."""
    lines = text(data).replace("\r", "").split("\n")
    for key in ("FN", "SUMMARY"):
        for line in lines:
            if line.split(":", 1)[0].split(";", 1)[0].upper() == key and ":" in line:
                return line.split(":", 1)[1]
    return next((l for l in lines if l and not l.upper().startswith(("BEGIN", "VERSION"))), "")


def select(db, args, sql, order=""):
    """Rows of one user's tables, of one database when the command names one."""
    sql, params = sql + " WHERE syncml_uid = ?", [args.user]
    if getattr(args, "database", None):
        sql += " AND syncml_db = ?"
        params.append(normalize(args.database))
    return db.execute(sql + order, params).fetchall()


def emit(args, rows, line):
    """Rows as JSON with --json, else one tab-separated line each."""
    if getattr(args, "json", False):
        print(json.dumps(rows, indent=1))
    else:
        for r in rows:
            print(line % r)


def cmd_list(db, args):
    rows = select(db, args, "SELECT syncml_id, syncml_db, syncml_uid, syncml_created_ts,"
                  " syncml_modified_ts, syncml_contenttype, syncml_data FROM syncml_data",
                  " ORDER BY syncml_created_ts, rowid")
    emit(args, [{"id": text(r[0]), "database": text(r[1]), "user": text(r[2]), "created": r[3],
                 "modified": r[4], "type": text(r[5]), "label": label(r[6])} for r in rows],
         "%(id)s\t%(database)s\t%(user)s\t%(created)s\t%(modified)s\t%(label)s")


def cmd_count(db, args):
    print(select(db, args, "SELECT COUNT(*) FROM syncml_data")[0][0])


def find(db, item_id):
    row = db.execute("SELECT syncml_data FROM syncml_data WHERE syncml_id = ?",
                     [item_id]).fetchone()
    if row is None:
        sys.exit("store-tool: no item %s" % item_id)
    return row[0]


def cmd_show(db, args):
    data = find(db, args.id)
    sys.stdout.buffer.write(data if isinstance(data, bytes) else data.encode())


def cmd_add(db, args):
    database = normalize(args.database)
    item_id = str(uuid.uuid4())
    now = int(time.time())
    with db:
        db.execute("INSERT INTO syncml_data (syncml_id, syncml_db, syncml_uid, syncml_data,"
                   " syncml_contenttype, syncml_created_ts, syncml_modified_ts)"
                   " VALUES (?, ?, ?, ?, ?, ?, ?)",
                   [item_id, database, args.user, read_input(args.file).decode("utf-8"),
                    CONTENT_TYPES.get(database, "text/plain"), now, now])
    print(item_id)


def cmd_edit(db, args):
    find(db, args.id)
    with db:
        db.execute("UPDATE syncml_data SET syncml_data = ?, syncml_modified_ts = ?"
                   " WHERE syncml_id = ?",
                   [read_input(args.file).decode("utf-8"), int(time.time()), args.id])


def cmd_delete(db, args):
    find(db, args.id)
    with db:
        db.execute("DELETE FROM syncml_data WHERE syncml_id = ?", [args.id])


def cmd_map(db, args):
    rows = select(db, args, "SELECT syncml_syncpartner, syncml_db, syncml_cuid, syncml_suid,"
                  " syncml_timestamp FROM syncml_map", " ORDER BY rowid")
    emit(args, [{"device": text(r[0]), "database": text(r[1]), "client_id": text(r[2]),
                 "server_id": text(r[3]), "timestamp": r[4]} for r in rows],
         "%(device)s\t%(database)s\t%(client_id)s\t%(server_id)s")


def cmd_anchors(db, args):
    rows = db.execute("SELECT syncml_syncpartner, syncml_db, syncml_uid, syncml_clientanchor,"
                      " syncml_serveranchor FROM syncml_anchors ORDER BY rowid").fetchall()
    emit(args, [{"device": text(r[0]), "database": text(r[1]), "user": text(r[2]),
                 "client": text(r[3]), "server": text(r[4])} for r in rows],
         "%(device)s\t%(database)s\t%(user)s\t%(client)s\t%(server)s")


def main():
    p = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    p.add_argument("store")
    p.add_argument("--user", default="orvale")
    sub = p.add_subparsers(dest="command", required=True)
    for name in ("list", "map"):
        s = sub.add_parser(name)
        s.add_argument("database", nargs="?")
        s.add_argument("--json", action="store_true")
    sub.add_parser("count").add_argument("database", nargs="?")
    sub.add_parser("show").add_argument("id")
    s = sub.add_parser("add")
    s.add_argument("database")
    s.add_argument("file")
    s = sub.add_parser("edit")
    s.add_argument("id")
    s.add_argument("file")
    sub.add_parser("delete").add_argument("id")
    sub.add_parser("anchors").add_argument("--json", action="store_true")
    args = p.parse_args()
    db = open_store(args.store)
    globals()["cmd_" + args.command](db, args)


if __name__ == "__main__":
    main()
