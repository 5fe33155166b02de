#pragma once
// What the session engine tells the run about its progress. Only sync starts and item results carry
// behaviour (statistics, progress display); the rest exist so that a diagnostic observer can log them.
#include <cstdint>
#include <string>
#include <string_view>

namespace orvale {

enum class SyncSide : int { Client = 0, Server = 1 };

// Item kinds as the observer sees them.
inline constexpr int kObservedAdd = 0;
inline constexpr int kObservedDelete = 1;
inline constexpr int kObservedReplace = 2;
inline constexpr int kObservedFolder = 5;

class SyncObserver {
public:
    virtual ~SyncObserver() = default;

    virtual void sessionBegin() {}
    // `folder` is the local store name ("Contacts", "Calendar", "Tasks").
    virtual void syncStart(SyncSide /*side*/, const std::string& /*folder*/, std::int32_t /*changes*/) {}
    virtual void itemResult(SyncSide /*side*/, const std::string& /*folder*/, int /*kind*/, bool /*failed*/) {}
    virtual void sessionEnd() {}
    // The folder's session completed: its new anchor is stored.
    virtual void folderCompleted(const std::string& /*folder*/) {}
    // The folder completed with server items the device does not hold recorded as deleted from
    // the device: the folder's next session that sends changes deletes them on the server.
    virtual void serverItemsToDelete(const std::string& /*folder*/, int /*count*/) {}

    // The server answered one of our commands with a status outside 200-299. `item` is the status's
    // first target or source reference (a folder, an item key), empty when it has none.
    virtual void commandRefused(const std::string& /*command*/, const std::string& /*item*/, int /*code*/) {}

    // An item on its way: sent by us (Client) or applied from the server (Server), with its text
    // (vCard or vCalendar; empty for a Delete), so a log can name it.
    virtual void itemData(SyncSide /*side*/, const std::string& /*folder*/, int /*kind*/, const std::string& /*key*/,
                          std::string_view /*data*/) {}

    // Protocol events 600-621 and the engine's diagnostic texts.
    virtual void event(int /*code*/) {}
    virtual void eventText(int /*code*/, const std::string& /*text*/) {}
    virtual void text(const std::string& /*text*/) {}
    virtual void textNumber(const std::string& /*text*/, std::int64_t /*number*/) {}
};

}  // namespace orvale
