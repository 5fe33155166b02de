#pragma once
// What the session engine tells the run about its progress. Only sync starts and item results carry
// behaviour (statistics, progress display); the rest exist so that a diagnostic observer can log them.
#include <cstdint>
#include <string>

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

    // Protocol events 600-621 and the engine's diagnostic texts.
    virtual void event(int /*code*/) {}
    virtual void eventText(int /*code*/, const std::string& /*text*/) {}
    virtual void text(const std::string& /*text*/) {}
    virtual void textNumber(const std::string& /*text*/, std::int64_t /*number*/) {}
};

}  // namespace orvale
