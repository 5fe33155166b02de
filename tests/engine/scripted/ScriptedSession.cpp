#include "scripted/ScriptedSession.h"

#include <algorithm>
#include <sstream>

#include "engine/AbortRecord.h"
#include "engine/CSyncClientException.h"
#include "engine/SyncClient.h"
#include "engine/SyncConfig.h"
#include "stores/ItemList.h"

namespace orvale::test {
namespace {

int kindOfFolder(const std::string& name) {
    if (name == "Contacts") return kKindContacts;
    if (name == "Tasks") return kKindTasks;
    if (name == "Calendar") return kKindCalendar;
    return -1;
}

std::string bodyText(std::istringstream& in) {
    std::string rest;
    std::getline(in, rest);
    const auto b = rest.find_first_not_of(' ');
    return b == std::string::npos ? std::string() : rest.substr(b);
}

std::string generatedText(std::uint32_t key, std::size_t size) {
    std::string t = "BEGIN:VCARD\r\nVERSION:2.1\r\nN:Item" + std::to_string(key) + "\r\nNOTE:";
    const std::string end = "\r\nEND:VCARD\r\n";
    if (t.size() + end.size() < size) t.append(size - t.size() - end.size(), 'x');
    return t + end;
}

}  // namespace

void RecordingObserver::syncStart(SyncSide side, const std::string& folder, std::int32_t changes) {
    syncStarts.push_back(std::string(side == SyncSide::Client ? "client " : "server ") + folder + " " +
                         std::to_string(changes));
}

void RecordingObserver::itemResult(SyncSide side, const std::string& folder, int kind, bool failed) {
    items.push_back(ObservedItem{side, folder, kind, failed});
}

void RecordingObserver::eventText(int code, const std::string& t) {
    events.push_back(code);
    texts.push_back(t);
}

void RecordingObserver::textNumber(const std::string& t, std::int64_t number) {
    texts.push_back(t + std::to_string(number));
}

bool ScriptedSession::prepare(const CaseFile& c, std::string& error) {
    factory = std::make_unique<MemoryFactory>();
    sessionData = std::make_unique<SessionDataStore>(SessionDataStore::InMemory{});
    transport = std::make_unique<ScriptedTransport>(c.replies);
    for (const std::string& line : c.setup) {
        std::istringstream in(line);
        std::string verb, folderName;
        in >> verb;
        const auto folderOf = [&]() -> MemoryFolder* {
            in >> folderName;
            const int kind = kindOfFolder(folderName);
            return kind < 0 ? nullptr : &factory->folder(kind);
        };
        bool ok = true;
        if (verb == "folder") {
            MemoryFolder* f = folderOf();
            std::string uri;
            in >> uri;
            ok = f != nullptr && !uri.empty();
            if (ok) (folderName == "Contacts" ? contactsUri : folderName == "Tasks" ? tasksUri : calendarUri) = uri;
        } else if (verb == "anchor") {
            MemoryFolder* f = folderOf();
            std::string label, remoteLabel;
            in >> label >> remoteLabel;
            ok = f != nullptr && !label.empty();
            if (ok) f->storedAnchor = SyncAnchor(label, remoteLabel, std::stoll(label));
        } else if (verb == "item") {
            MemoryFolder* f = folderOf();
            std::string key;
            in >> key;
            ok = f != nullptr && !key.empty();
            if (ok) f->items[key] = unescapeLine(bodyText(in));
        } else if (verb == "new" || verb == "updated" || verb == "deleted") {
            MemoryFolder* f = folderOf();
            ok = f != nullptr;
            std::string key;
            while (ok && in >> key)
                (verb == "new" ? f->added : verb == "updated" ? f->updated : f->deleted).push_back(oidForKey(key));
        } else if (verb == "generate") {
            // generate FOLDER FIRST COUNT SIZE new|updated|none
            MemoryFolder* f = folderOf();
            std::uint32_t first = 0, count = 0;
            std::size_t size = 0;
            std::string list;
            in >> first >> count >> size >> list;
            ok = f != nullptr && in && (list == "new" || list == "updated" || list == "none");
            for (std::uint32_t k = first; ok && k < first + count; ++k) {
                f->items[keyForOid(k)] = generatedText(k, size);
                if (list == "new") f->added.push_back(k);
                if (list == "updated") f->updated.push_back(k);
            }
        } else if (verb == "mode") {
            // mode FOLDER MODE: the sync type asked for the folder ("refresh-from-server", ...)
            std::string name;
            in >> folderName >> name;
            const auto mode = syncModeFromName(name);
            ok = kindOfFolder(folderName) >= 0 && mode.has_value();
            if (ok) modes[kindOfFolder(folderName)] = *mode;
        } else if (verb == "refuse") {
            MemoryFolder* f = folderOf();
            ok = f != nullptr;
            if (ok) f->refuseText = bodyText(in);
        } else if (verb == "closed") {
            MemoryFolder* f = folderOf();
            ok = f != nullptr;
            if (ok) f->opens = false;
        } else if (verb == "session") {
            std::string key, value;
            in >> key >> value;
            ok = !key.empty();
            sessionData->setString(key, value);
        } else if (verb == "user") {
            in >> user;
        } else if (verb == "password") {
            in >> password;
        } else if (verb == "follow-up") {
            followUp = true;
        } else if (verb == "abort-at-begin") {
            abortAtBegin = true;
        } else if (verb == "test-server") {
            testServer = true;
        } else if (verb == "disabled") {
            // read by the test registration
        } else {
            ok = false;
        }
        if (!ok) {
            error = "setup: " + line;
            return false;
        }
    }
    return true;
}

void ScriptedSession::runFollowUp(SyncConfig config) {
    std::vector<SyncSource> sources;
    for (SyncSource& source : config.sources) {
        const MemoryFolder* known = factory->find(source.kind);
        MemoryFolder* f = known != nullptr ? factory->findByName(known->name) : nullptr;
        if (f == nullptr || std::find(observer.toDelete.begin(), observer.toDelete.end(), f->name) == observer.toDelete.end()) continue;
        // The tracking as the run saved it: every change settled, the learned keys recorded as gone.
        f->updated.clear();
        f->added.clear();
        f->deleted.clear();
        for (const std::string& key : f->deletedFromDevice) f->deleted.push_back(oidForKey(key));
        source.mode = SyncMode::TwoWay;
        sources.push_back(source);
    }
    auto abort = std::make_shared<AbortRecord>();
    SyncClient client(config.client, *factory, *transport, observer, abort, *sessionData);
    result = static_cast<int>(client.run(config.server, sources));
}

void ScriptedSession::run() {
    SyncConfig config = buildSyncConfig(kScriptDeviceId, kScriptServerUrl, user, password, contactsUri, tasksUri,
                                        calendarUri, std::nullopt);
    for (SyncSource& source : config.sources)
        if (const auto it = modes.find(source.kind); it != modes.end()) source.mode = it->second;
    auto abort = std::make_shared<AbortRecord>();
    if (abortAtBegin) observer.abortAtBegin = abort;
    try {
        {
            SyncClient client(config.client, *factory, *transport, observer, abort, *sessionData);
            if (testServer)
                result = client.testServer(kScriptServerUrl, user, password) ? 1 : 0;
            else
                result = static_cast<int>(client.run(config.server, config.sources));
            remote = client.remoteDeviceInfo();
        }
        // One engine at a time, as in a run.
        if (followUp && result == 0 && !observer.toDelete.empty()) runFollowUp(config);
    } catch (const CSyncClientException& e) {
        exceptionCode = e.code();
        exceptionSubCode = e.subCode();
        exceptionDetail = e.detail();
    } catch (const std::exception& e) {
        otherException = e.what();
    }
}

}  // namespace orvale::test
