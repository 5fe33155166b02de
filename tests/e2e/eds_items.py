#!/usr/bin/python3
"""Contacts, events and tasks in Evolution Data Server's default address book, calendar and task
list, made, changed, removed and read through EDS's own client API, as another program on the
desktop would (GObject introspection: needs the Debian /usr/bin/python3 with python3-gi).

As a module: Eds().add("contacts", vcard) -> UID, .modify(kind, text), .remove(kind, uid),
.items(kind) -> {UID: text}. Kinds: contacts (vCard 3.0 text), events and tasks (one VEVENT or
VTODO component as iCalendar text, TZIDs named by their Olson name or libical's builtin id).

usage: eds_items.py list KIND
       eds_items.py add|modify KIND FILE   (FILE "-" reads stdin; add prints the new UID)
       eds_items.py remove KIND UID
Runs against the session bus in the environment (scripts/eds-session.sh gives a private one).
Exit status 7 when EDS cannot be reached.
"""
import sys

import gi

gi.require_version("EDataServer", "1.2")
gi.require_version("EBook", "1.2")
gi.require_version("EBookContacts", "1.2")
gi.require_version("ECal", "2.0")
gi.require_version("ICalGLib", "3.0")
from gi.repository import EBook, EBookContacts, ECal, EDataServer, GLib, ICalGLib  # noqa: E402

# Not waiting for the backend to go online: without a network monitor (a headless session) it
# never does, and connect_sync would sit out its whole wait.
NO_WAIT = 0xFFFFFFFF
KINDS = ("contacts", "events", "tasks")
NONE_BOOK = EBookContacts.BookOperationFlags.NONE
NONE_CAL = ECal.OperationFlags.NONE


class Eds:
    def __init__(self):
        self.registry = EDataServer.SourceRegistry.new_sync(None)
        self._clients = {}

    def client(self, kind):
        if kind not in self._clients:
            if kind == "contacts":
                src = self.registry.ref_builtin_address_book()
                self._clients[kind] = EBook.BookClient.connect_sync(src, NO_WAIT, None)
            elif kind in ("events", "tasks"):
                src = (self.registry.ref_builtin_calendar() if kind == "events"
                       else self.registry.ref_builtin_task_list())
                kind_type = ECal.ClientSourceType.EVENTS if kind == "events" else ECal.ClientSourceType.TASKS
                self._clients[kind] = ECal.Client.connect_sync(src, kind_type, NO_WAIT, None)
            else:
                raise ValueError("kind is one of %s" % ", ".join(KINDS))
        return self._clients[kind]

    def _component(self, kind, text):
        comp = ICalGLib.Component.new_from_string(text)
        if comp is None:
            raise ValueError("not an iCalendar component")
        # A zone named by TZID must be known to the calendar before a component uses it.
        for prop_kind in (ICalGLib.PropertyKind.DTSTART_PROPERTY, ICalGLib.PropertyKind.DTEND_PROPERTY,
                          ICalGLib.PropertyKind.DUE_PROPERTY):
            prop = comp.get_first_property(prop_kind)
            param = prop.get_first_parameter(ICalGLib.ParameterKind.TZID_PARAMETER) if prop else None
            if param is not None:
                zone = ICalGLib.Timezone.get_builtin_timezone(param.get_tzid()) \
                    or ICalGLib.Timezone.get_builtin_timezone_from_tzid(param.get_tzid())
                if zone is not None:
                    self.client(kind).add_timezone_sync(zone, None)
        return comp

    def add(self, kind, text):
        if kind == "contacts":
            _, uid = self.client(kind).add_contact_sync(EBookContacts.Contact.new_from_vcard(text), NONE_BOOK, None)
            return uid
        _, uid = self.client(kind).create_object_sync(self._component(kind, text), NONE_CAL, None)
        return uid

    def modify(self, kind, text):
        """The whole item replaced by `text` (whose UID names it)."""
        if kind == "contacts":
            self.client(kind).modify_contact_sync(EBookContacts.Contact.new_from_vcard(text), NONE_BOOK, None)
        else:
            self.client(kind).modify_object_sync(self._component(kind, text), ECal.ObjModType.ALL, NONE_CAL, None)

    def remove(self, kind, uid):
        if kind == "contacts":
            self.client(kind).remove_contact_by_uid_sync(uid, NONE_BOOK, None)
        else:
            self.client(kind).remove_object_sync(uid, None, ECal.ObjModType.ALL, NONE_CAL, None)

    def items(self, kind):
        """{UID: text}: vCard 3.0 for contacts, the component's iCalendar text (unfolded) otherwise."""
        if kind == "contacts":
            _, contacts = self.client(kind).get_contacts_sync('(contains "x-evolution-any-field" "")', None)
            return {c.get_property("id"): c.to_string(getattr(EBookContacts.VCardFormat, "30")) for c in contacts}
        _, comps = self.client(kind).get_object_list_sync("#t", None)
        return {c.get_uid(): c.as_ical_string().replace("\r\n ", "") for c in comps}


def main(argv):
    if len(argv) < 3 or argv[1] not in ("list", "add", "modify", "remove") or argv[2] not in KINDS:
        sys.stderr.write(__doc__)
        return 2
    try:
        eds = Eds()
    except GLib.Error as e:
        sys.stderr.write("Evolution Data Server cannot be reached: %s\n" % e.message)
        return 7
    command, kind = argv[1], argv[2]
    if command == "list":
        for uid, text in sorted(eds.items(kind).items()):
            sys.stdout.write("# %s\n%s\n" % (uid, text.strip()))
    elif command == "remove":
        eds.remove(kind, argv[3])
    else:
        text = sys.stdin.read() if argv[3] == "-" else open(argv[3], encoding="utf-8").read()
        if command == "add":
            print(eds.add(kind, text))
        else:
            eds.modify(kind, text)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
