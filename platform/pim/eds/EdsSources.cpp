#include "platform/pim/eds/EdsSources.h"

#include <algorithm>

#include <libedataserver/libedataserver.h>

namespace orvale::platform::pim::eds {

namespace {

struct Kinds {
    EdsSource::Kind kind;
    const char* extension;
    ESource* (*refDefault)(ESourceRegistry*);
};
const Kinds kKinds[] = {
    {EdsSource::Kind::AddressBook, E_SOURCE_EXTENSION_ADDRESS_BOOK, e_source_registry_ref_default_address_book},
    {EdsSource::Kind::Calendar, E_SOURCE_EXTENSION_CALENDAR, e_source_registry_ref_default_calendar},
    {EdsSource::Kind::TaskList, E_SOURCE_EXTENSION_TASK_LIST, e_source_registry_ref_default_task_list},
};

std::string text(const char* s) { return s != nullptr ? s : ""; }

}  // namespace

std::optional<std::vector<EdsSource>> listEdsSources(std::string* why) {
    GError* error = nullptr;
    ESourceRegistry* registry = e_source_registry_new_sync(nullptr, &error);
    if (registry == nullptr) {
        if (why != nullptr) *why = "the Evolution Data Server registry cannot be reached: " + text(error ? error->message : nullptr);
        g_clear_error(&error);
        return std::nullopt;
    }
    std::vector<EdsSource> out;
    for (const Kinds& k : kKinds) {
        ESource* fallback = k.refDefault(registry);
        const std::string defaultUid = fallback != nullptr ? text(e_source_get_uid(fallback)) : std::string();
        if (fallback != nullptr) g_object_unref(fallback);
        GList* sources = e_source_registry_list_enabled(registry, k.extension);
        const std::size_t first = out.size();
        for (GList* l = sources; l != nullptr; l = l->next) {
            auto* source = static_cast<ESource*>(l->data);
            EdsSource s;
            s.kind = k.kind;
            s.uid = text(e_source_get_uid(source));
            s.displayName = text(e_source_get_display_name(source));
            s.isDefault = s.uid == defaultUid;
            out.push_back(std::move(s));
        }
        g_list_free_full(sources, g_object_unref);
        std::sort(out.begin() + static_cast<std::ptrdiff_t>(first), out.end(),
                  [](const EdsSource& a, const EdsSource& b) { return a.displayName < b.displayName; });
    }
    g_object_unref(registry);
    return out;
}

}  // namespace orvale::platform::pim::eds
