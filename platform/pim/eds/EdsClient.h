#pragma once
// Internal to the EDS backend: the process's one connection to the EDS source registry, and the
// GLib error and list handling its calls share.
#include <glib.h>
#include <libedataserver/libedataserver.h>

#include <string>

namespace orvale::platform::pim::eds {

// The registry, connected on first use and kept for the process; null, with `why`, when EDS
// cannot be reached (no session bus, EDS not installed).
ESourceRegistry* sourceRegistry(std::string* why);

// The source of that UID, or the built-in one of the kind when `uid` is empty (a new reference).
// `kind` names the folder in messages.
ESource* refSource(const std::string& uid, ESource* (*builtin)(ESourceRegistry*), const char* kind, std::string* why);

// Puts "<what>: <EDS's words>" into `why` and frees the error; false, for the caller to return.
bool failWith(GError* error, const std::string& what, std::string* why);

// What the address book and calendar clients are told to wait, at connect, for their backend to
// go online: not at all. A local backend is usable at once, a remote one through its cache; and
// where no network monitor says the network is up (a headless or private session) the backend never
// goes online, so any wait was sat out in full on every folder's log-on.
inline constexpr guint32 kConnectNoWait = static_cast<guint32>(-1);

// Lets EDS's queued notifications (it keeps signalling while a run goes on) be dispatched, so
// they do not pile up in memory: the run's thread runs no GLib main loop of its own.
void drainEvents();

}  // namespace orvale::platform::pim::eds
