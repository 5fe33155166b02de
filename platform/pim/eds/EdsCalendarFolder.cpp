// The calendar and task-list side of the EDS backend: appointments as VEVENT and tasks as VTODO
// components, converted by CalendarComponent.
#include <libecal/libecal.h>

#include <algorithm>
#include <unordered_map>

#include "platform/pim/PimTypes.h"
#include "platform/pim/eds/CalendarComponent.h"
#include "platform/pim/eds/EdsClient.h"
#include "platform/pim/eds/EdsFolder.h"

namespace orvale::platform::pim::eds {

namespace {

// A query matching exactly the components of these UIDs; the UIDs are quoted as the query language
// wants, whatever other programs put in them.
std::string uidQuery(const std::vector<std::string>& uids) {
    std::string sexp = "(or";
    for (const auto& uid : uids) {
        sexp += " (uid? \"";
        for (char c : uid) {
            if (c == '"' || c == '\\') sexp += '\\';
            sexp += c;
        }
        sexp += "\")";
    }
    sexp += ")";
    return sexp;
}

bool isDetachedInstance(ICalComponent* comp) {
    ICalProperty* rid = i_cal_component_get_first_property(comp, I_CAL_RECURRENCEID_PROPERTY);
    if (rid == nullptr) return false;
    g_object_unref(rid);
    return true;
}

class CalendarFolder final : public Folder {
public:
    CalendarFolder(ECalClient* client, int folder) : client_(client), folder_(folder) {}
    ~CalendarFolder() override { g_object_unref(client_); }
    CalendarFolder(const CalendarFolder&) = delete;
    CalendarFolder& operator=(const CalendarFolder&) = delete;

    std::optional<std::vector<std::string>> uids(std::string* why) override { return uidsMatching("#t", why); }

    std::optional<std::vector<std::pair<std::string, ItemContent>>> read(const std::vector<std::string>& uids,
                                                                       std::string* why) override {
        std::vector<std::pair<std::string, ItemContent>> out;
        if (uids.empty()) return out;
        GSList* comps = nullptr;
        if (!list(uidQuery(uids).c_str(), &comps, why)) return std::nullopt;
        for (GSList* c = comps; c != nullptr; c = c->next) {
            auto* comp = static_cast<ICalComponent*>(c->data);
            // A changed occurrence stored apart from its series: the series holds what the device
            // keeps of it.
            if (isDetachedInstance(comp)) continue;
            const char* uid = i_cal_component_get_uid(comp);
            if (uid == nullptr) continue;
            gchar* text = i_cal_component_as_ical_string(comp);
            auto content = text != nullptr ? fromCalendarComponent(text, nullptr, timezonesOf(comp)) : std::nullopt;
            g_free(text);
            if (content) out.emplace_back(uid, std::move(*content));
        }
        g_slist_free_full(comps, g_object_unref);
        return out;
    }

    std::optional<std::vector<std::string>> present(const std::vector<std::string>& uids, std::string* why) override {
        if (uids.empty()) return std::vector<std::string>{};
        return uidsMatching(uidQuery(uids).c_str(), why);
    }

    bool add(const std::vector<std::pair<std::string, const ItemContent*>>& items, std::string* why) override {
        GSList* comps = components(items);
        GSList* created = nullptr;
        GError* error = nullptr;
        const bool ok = e_cal_client_create_objects_sync(client_, comps, E_CAL_OPERATION_FLAG_NONE, &created, nullptr, &error);
        g_slist_free_full(created, g_free);
        g_slist_free_full(comps, g_object_unref);
        drainEvents();
        return ok || failWith(error, std::string(what()) + " cannot take new items", why);
    }

    bool modify(const std::vector<std::pair<std::string, const ItemContent*>>& items, std::string* why) override {
        GSList* comps = components(items);
        GError* error = nullptr;
        const bool ok = e_cal_client_modify_objects_sync(client_, comps, E_CAL_OBJ_MOD_ALL, E_CAL_OPERATION_FLAG_NONE,
                                                         nullptr, &error);
        g_slist_free_full(comps, g_object_unref);
        drainEvents();
        return ok || failWith(error, std::string(what()) + " cannot change items", why);
    }

    bool remove(const std::vector<std::string>& uids, std::string* why) override {
        GSList* ids = nullptr;
        for (auto it = uids.rbegin(); it != uids.rend(); ++it) ids = g_slist_prepend(ids, e_cal_component_id_new(it->c_str(), nullptr));
        GError* error = nullptr;
        const bool ok = e_cal_client_remove_objects_sync(client_, ids, E_CAL_OBJ_MOD_ALL, E_CAL_OPERATION_FLAG_NONE,
                                                         nullptr, &error);
        g_slist_free_full(ids, reinterpret_cast<GDestroyNotify>(e_cal_component_id_free));
        drainEvents();
        return ok || failWith(error, std::string(what()) + " cannot remove items", why);
    }

private:
    // The calendar's VTIMEZONEs of the zones `comp` names, as one VCALENDAR: another program's
    // event may name a zone only its calendar defines ("/custom/Zone"), or define a known name its
    // own way. Zones the calendar lacks are left to the reader's lookup by location.
    std::string timezonesOf(ICalComponent* comp) {
        std::vector<std::string> tzids;
        i_cal_component_foreach_tzid(
            comp,
            [](ICalParameter* param, gpointer data) {
                const char* tzid = i_cal_parameter_get_tzid(param);
                auto* out = static_cast<std::vector<std::string>*>(data);
                if (tzid != nullptr && std::find(out->begin(), out->end(), tzid) == out->end()) out->emplace_back(tzid);
            },
            &tzids);
        std::string out;
        for (const auto& tzid : tzids) out += timezoneNamed(tzid);
        return out.empty() ? out : "BEGIN:VCALENDAR\r\nVERSION:2.0\r\n" + out + "END:VCALENDAR\r\n";
    }

    // The zone's VTIMEZONE, with `tzid` as its TZID whatever name the calendar keeps it under;
    // empty when the calendar has none. Remembered for the folder's life (one round trip per zone,
    // not per item; misses too).
    const std::string& timezoneNamed(const std::string& tzid) {
        auto known = zones_.find(tzid);
        if (known != zones_.end()) return known->second;
        std::string text;
        ICalTimezone* zone = nullptr;  // owned by the client
        if (e_cal_client_get_timezone_sync(client_, tzid.c_str(), &zone, nullptr, nullptr) && zone != nullptr) {
            if (ICalComponent* vtimezone = i_cal_timezone_get_component(zone)) {
                ICalComponent* copy = i_cal_component_clone(vtimezone);
                if (ICalProperty* id = i_cal_component_get_first_property(copy, I_CAL_TZID_PROPERTY)) {
                    i_cal_property_set_tzid(id, tzid.c_str());
                    g_object_unref(id);
                }
                gchar* s = i_cal_component_as_ical_string(copy);
                if (s != nullptr) text = s;
                g_free(s);
                g_object_unref(copy);
                g_object_unref(vtimezone);
            }
        }
        drainEvents();
        return zones_.emplace(tzid, std::move(text)).first->second;
    }

    const char* what() const { return folder_ == kFolderTasks ? "the task list" : "the calendar"; }

    bool list(const char* sexp, GSList** comps, std::string* why) {
        GError* error = nullptr;
        const bool ok = e_cal_client_get_object_list_sync(client_, sexp, comps, nullptr, &error);
        drainEvents();
        return ok || failWith(error, std::string(what()) + " cannot be read", why);
    }

    std::optional<std::vector<std::string>> uidsMatching(const char* sexp, std::string* why) {
        GSList* comps = nullptr;
        if (!list(sexp, &comps, why)) return std::nullopt;
        std::vector<std::string> out;
        std::unordered_map<std::string, bool> seen;
        for (GSList* c = comps; c != nullptr; c = c->next) {
            const char* uid = i_cal_component_get_uid(static_cast<ICalComponent*>(c->data));
            // A series and its detached occurrences share their UID: one device item.
            if (uid != nullptr && seen.emplace(uid, true).second) out.emplace_back(uid);
        }
        g_slist_free_full(comps, g_object_unref);
        return out;
    }

    static GSList* components(const std::vector<std::pair<std::string, const ItemContent*>>& items) {
        GSList* comps = nullptr;
        for (auto it = items.rbegin(); it != items.rend(); ++it) {
            const std::string text = toCalendarComponent(*it->second, it->first);
            if (ICalComponent* comp = i_cal_component_new_from_string(text.c_str())) comps = g_slist_prepend(comps, comp);
        }
        return comps;
    }

    ECalClient* client_;
    int folder_;
    std::unordered_map<std::string, std::string> zones_;
};

}  // namespace

std::unique_ptr<Folder> openCalendarFolder(int folder, const std::string& sourceUid, std::string* why) {
    const bool tasks = folder == kFolderTasks;
    ESource* source = refSource(sourceUid, tasks ? e_source_registry_ref_builtin_task_list : e_source_registry_ref_builtin_calendar,
                                tasks ? "task list" : "calendar", why);
    if (source == nullptr) return nullptr;
    GError* error = nullptr;
    EClient* client = e_cal_client_connect_sync(source, tasks ? E_CAL_CLIENT_SOURCE_TYPE_TASKS : E_CAL_CLIENT_SOURCE_TYPE_EVENTS,
                                                connectWaitSeconds(source, tasks ? E_SOURCE_EXTENSION_TASK_LIST : E_SOURCE_EXTENSION_CALENDAR),
                                                nullptr, &error);
    g_object_unref(source);
    if (client == nullptr) {
        failWith(error, tasks ? "the task list cannot be opened" : "the calendar cannot be opened", why);
        return nullptr;
    }
    return std::make_unique<CalendarFolder>(E_CAL_CLIENT(client), folder);
}

}  // namespace orvale::platform::pim::eds
