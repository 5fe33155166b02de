#include "app/ServerTest.h"

#include <algorithm>
#include <cctype>
#include <exception>

#include "app/ConfigRecord.h"
#include "app/DerivedSettings.h"
#include "app/RunCause.h"
#include "app/RunControl.h"
#include "app/RunScope.h"
#include "app/RunSessionData.h"
#include "app/RunStatistics.h"
#include "app/RunWatch.h"
#include "app/SessionCause.h"
#include "app/SyncRun.h"
#include "engine/AbortRecord.h"
#include "platform/StringTable.h"
#include "platform/TextConversion.h"
#include "stores/DataStoreFactory.h"
#include "transport/Transport.h"

namespace orvale {

namespace {
std::string lowered(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

// Which URI field a store announcing `type` under `sourceRef` fills; none for other types.
std::optional<ConfigText> fieldFor(const ContentType& type, const std::string& sourceRef) {
    const std::string mime = lowered(type.mimeType().empty() ? type.text() : type.mimeType());
    if (mime == "text/x-vcard") return ConfigText::ContactsUri;
    if (mime != "text/x-vcalendar") return std::nullopt;
    const std::string ref = lowered(sourceRef);
    if (ref.find("event") != std::string::npos || ref.find("cal") != std::string::npos) return ConfigText::CalendarUri;
    return ConfigText::TasksUri;
}

// What a person needs to tell the databases apart: the address, and what it holds.
std::u16string databaseLine(const RemoteDataStore& store) {
    constexpr std::size_t kMostShown = 80;  // a server's texts are not trusted to be short
    const ContentType& type = store.rxPref;
    std::string line = store.sourceRef.substr(0, kMostShown);
    const std::string what = !store.displayName.empty() ? store.displayName
                             : !type.mimeType().empty() ? type.mimeType()
                                                        : type.text();
    if (!what.empty()) line += " (" + what.substr(0, kMostShown) + ")";
    return platform::utf8ToUtf16(line);
}

SyncResult testRun(const ConfigRecord& record, const RunEnvironment& env, RunControl* control, RemoteDeviceInfo& info,
                   RunCause& cause, bool& passwordInClear) {
    const std::string url = narrowField(record, ConfigText::ServerUrl);
    const std::string user = narrowField(record, ConfigText::UserName);
    const std::string password = narrowField(record, ConfigText::Password);
    auto abort = std::make_shared<AbortRecord>();
    setCurrentAbortRecord(abort);
    RunTransport transport = env.makeTransport(ProxyDescriptor{});
    const SyncConfig config = buildSyncConfig(thisDeviceId(), url, user, password, std::nullopt, std::nullopt,
                                              std::nullopt, std::nullopt);
    // The test learns nothing the next run must keep: its session data is never written.
    RunSessionData sessionData;
    RunStatistics statistics;
    RunWatch watch(statistics, nullptr);
    SyncResult result = SyncResult::Exception;
    std::string exceptionText;
    try {
        DataStoreFactory factory;
        auto session = env.makeSession(
            SessionParts{config.client, factory, *transport.transport, watch, abort, sessionData.store()});
        // After the engine exists: constructing it clears the abort flag.
        if (control) control->attach(abort, transport.abort);
        const bool authenticated = session->testServer(url, user, password);
        if (control && control->cancelled()) {
            result = SyncResult::NotReached;
        } else if (authenticated) {
            result = SyncResult::Done;
            info = session->remoteDeviceInfo();
        } else {
            result = transport.transport->errorFlag() == 1 ? SyncResult::NotReached : SyncResult::InitFailed;
        }
    } catch (const std::exception& e) {
        result = SyncResult::Exception;
        exceptionText = e.what();
    } catch (...) {
        result = SyncResult::Exception;
    }
    // The same causes as a sync run's, so that the test says why it failed as a run would.
    if (control && control->cancelled())
        cause = RunCause{CauseKind::Cancelled, {}, 0, {}, {}, {}};
    else if (result != SyncResult::Done)
        cause = sessionCause(result, watch, *transport.transport, url.empty(), exceptionText);
    passwordInClear = statistics.passwordWarned();
    // The transport goes with this scope: nothing may reach it afterwards.
    if (control) control->detach();
    setCurrentAbortRecord(nullptr);
    return result;
}
}  // namespace

bool assignFolderUris(ConfigRecord& record, const RemoteDeviceInfo& info) {
    bool any = false;
    for (const RemoteDataStore& store : info.dataStores) {
        std::vector<const ContentType*> types{&store.rxPref};
        for (const ContentType& t : store.rx) types.push_back(&t);
        for (const ContentType* t : types) {
            if (auto field = fieldFor(*t, store.sourceRef)) {
                record.setText(*field, platform::utf8ToUtf16(store.sourceRef));
                any = true;
            }
        }
    }
    return any;
}

ServerTestOutcome runServerTest(ConfigRecord& record, const RunEnvironment& env, RunControl* control) {
    ServerTestOutcome out;
    RemoteDeviceInfo info;
    RunCause cause;
    bool passwordInClear = false;
    {
        CaptureScope capture;
        out.result = testRun(record, env, control, info, cause, passwordInClear);
    }
    if (passwordInClear) out.warning = platform::loadString(platform::StringId::PasswordInClear);
    if (out.result != SyncResult::Done) {
        out.lines[0] = platform::loadString(out.result == SyncResult::InitFailed ? platform::StringId::AuthFailed
                                                                                 : platform::StringId::NotReached);
        // The second line says why, after the time of the attempt: a test repeated is a new one.
        if (!cause.empty()) out.lines[1] = attemptLine(cause, attemptTimeNow());
        return out;
    }
    for (ConfigText f : {ConfigText::ContactsUri, ConfigText::TasksUri, ConfigText::CalendarUri}) record.setText(f, u"");
    out.lines[0] = platform::loadString(platform::StringId::Authenticated);
    out.lines[1] = platform::loadString(platform::StringId::ResultDone);
    out.foldersConfigured = assignFolderUris(record, info);
    for (const RemoteDataStore& store : info.dataStores) {
        if (out.databases.size() == ServerTestOutcome::kMostDatabasesShown) break;
        out.databases.push_back(databaseLine(store));
    }
    if (out.foldersConfigured) {
        out.lines[1] = platform::loadString(platform::StringId::ConfiguredFolders);
        out.lines[2] = platform::loadString(platform::StringId::ResultDone);
    } else {
        out.lines[1] = platform::loadString(platform::StringId::ConfigureFailed);
        out.lines[2] = platform::loadString(platform::StringId::AssignManually);
    }
    return out;
}

}  // namespace orvale
