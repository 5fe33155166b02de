#pragma once
// The protocol events the engine reports to its observer (SyncObserver::event and eventText).
// Besides these, a status code the server answered is reported as the event of that number.

namespace orvale {

inline constexpr int kEventInitStarted = 600;
inline constexpr int kEventMessageSending = 601;
inline constexpr int kEventAuthenticated = 602;
inline constexpr int kEventCredentialsRefused = 603;
inline constexpr int kEventInitDone = 604;
inline constexpr int kEventAlertRefused = 605;
inline constexpr int kEventServerBusy = 606;
// Given with the folder's remote URI.
inline constexpr int kEventFolderNotFound = 607;
inline constexpr int kEventSlowSync = 613;
inline constexpr int kEventTwoWaySync = 614;
inline constexpr int kEventStoreNotOpened = 616;
// The device store did not take a write of the session (a full disk, a read-only or damaged
// database); given with the engine's words for it, which the run also shows.
inline constexpr int kEventStoreNotWritten = 617;
// A password in the basic form is about to travel over plain http, where anyone on the way reads
// it; reported once per session, with the first such message.
inline constexpr int kEventPasswordInClear = 630;

}  // namespace orvale
