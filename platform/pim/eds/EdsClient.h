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

// Seconds a client of `source` waits, when connecting, for its backend to come online. A book or
// calendar kept on this machine is there at once, but EDS would sit out the whole wait on it in a
// session without a network monitor (headless, or on every log-on of a run); a remote one is given
// a short wait to reach its server, and is used from its local copy otherwise.
guint32 connectWaitSeconds(ESource* source, const char* extension);

// Puts "<what>: <EDS's words>" into `why` and frees the error; false, for the caller to return.
bool failWith(GError* error, const std::string& what, std::string* why);

// Lets EDS's queued notifications (it keeps signalling while a run goes on) be dispatched, so
// they do not pile up in memory: the run's thread runs no GLib main loop of its own.
void drainEvents();

}  // namespace orvale::platform::pim::eds
