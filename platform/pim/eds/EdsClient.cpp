#include "platform/pim/eds/EdsClient.h"

#include <string_view>

namespace orvale::platform::pim::eds {

ESourceRegistry* sourceRegistry(std::string* why) {
    // Connecting starts the registry by D-Bus activation; it is kept, as the sources are read from
    // it for every folder opened.
    static ESourceRegistry* registry = nullptr;
    if (registry != nullptr) return registry;
    GError* error = nullptr;
    registry = e_source_registry_new_sync(nullptr, &error);
    if (registry == nullptr) failWith(error, "Evolution Data Server cannot be reached", why);
    return registry;
}

ESource* refSource(const std::string& uid, ESource* (*builtin)(ESourceRegistry*), const char* kind, std::string* why) {
    ESourceRegistry* registry = sourceRegistry(why);
    if (registry == nullptr) return nullptr;
    ESource* source = uid.empty() ? builtin(registry) : e_source_registry_ref_source(registry, uid.c_str());
    if (source == nullptr && why != nullptr)
        *why = uid.empty() ? std::string("Evolution Data Server has no ") + kind
                           : std::string("Evolution Data Server has no ") + kind + " \"" + uid + "\"";
    return source;
}

guint32 connectWaitSeconds(ESource* source, const char* extension) {
    constexpr guint32 kRemoteWaitSeconds = 2;
    constexpr guint32 kNoWait = static_cast<guint32>(-1);
    if (!e_source_has_extension(source, extension)) return kRemoteWaitSeconds;
    const char* backend = e_source_backend_get_backend_name(E_SOURCE_BACKEND(e_source_get_extension(source, extension)));
    return backend != nullptr && std::string_view(backend) == "local" ? kNoWait : kRemoteWaitSeconds;
}

bool failWith(GError* error, const std::string& what, std::string* why) {
    if (why != nullptr) *why = what + ": " + (error != nullptr && error->message != nullptr ? error->message : "unknown error");
    if (error != nullptr) g_error_free(error);
    return false;
}

void drainEvents() {
    while (g_main_context_iteration(nullptr, FALSE)) {
    }
}

}  // namespace orvale::platform::pim::eds
