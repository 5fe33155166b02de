// The address book side of the EDS backend.
#include <libebook/libebook.h>

#include "platform/pim/eds/EdsClient.h"
#include "platform/pim/eds/EdsContact.h"
#include "platform/pim/eds/EdsFolder.h"

namespace orvale::platform::pim::eds {

namespace {

// A query matching exactly the contacts of these UIDs.
std::string uidQuery(const std::vector<std::string>& uids) {
    std::vector<EBookQuery*> tests;
    tests.reserve(uids.size());
    for (const auto& uid : uids) tests.push_back(e_book_query_field_test(E_CONTACT_UID, E_BOOK_QUERY_IS, uid.c_str()));
    EBookQuery* query = e_book_query_or(static_cast<gint>(tests.size()), tests.data(), TRUE);
    gchar* text = e_book_query_to_string(query);
    std::string out = text != nullptr ? text : "";
    g_free(text);
    e_book_query_unref(query);
    return out;
}

class ContactsFolder final : public Folder {
public:
    explicit ContactsFolder(EBookClient* client) : client_(client) {}
    ~ContactsFolder() override { g_object_unref(client_); }
    ContactsFolder(const ContactsFolder&) = delete;
    ContactsFolder& operator=(const ContactsFolder&) = delete;

    std::optional<std::vector<std::string>> uids(std::string* why) override {
        EBookQuery* all = e_book_query_any_field_contains("");
        gchar* sexp = e_book_query_to_string(all);
        e_book_query_unref(all);
        auto out = uidsMatching(sexp, why);
        g_free(sexp);
        return out;
    }

    std::optional<std::vector<std::pair<std::string, ItemContent>>> read(const std::vector<std::string>& uids,
                                                                       std::string* why) override {
        std::vector<std::pair<std::string, ItemContent>> out;
        if (uids.empty()) return out;
        GSList* contacts = nullptr;
        GError* error = nullptr;
        if (!e_book_client_get_contacts_sync(client_, uidQuery(uids).c_str(), &contacts, nullptr, &error)) {
            failWith(error, "the address book cannot be read", why);
            return std::nullopt;
        }
        out.reserve(g_slist_length(contacts));
        for (GSList* c = contacts; c != nullptr; c = c->next) {
            auto* contact = static_cast<EContact*>(c->data);
            const char* uid = static_cast<const char*>(e_contact_get_const(contact, E_CONTACT_UID));
            if (uid != nullptr) out.emplace_back(uid, itemFromContact(contact));
        }
        g_slist_free_full(contacts, g_object_unref);
        drainEvents();
        return out;
    }

    std::optional<std::vector<std::string>> present(const std::vector<std::string>& uids, std::string* why) override {
        if (uids.empty()) return std::vector<std::string>{};
        return uidsMatching(uidQuery(uids).c_str(), why);
    }

    bool add(const std::vector<std::pair<std::string, const ItemContent*>>& items, std::string* why) override {
        return writeContacts(items, true, why);
    }
    bool modify(const std::vector<std::pair<std::string, const ItemContent*>>& items, std::string* why) override {
        return writeContacts(items, false, why);
    }

    bool remove(const std::vector<std::string>& uids, std::string* why) override {
        GSList* list = nullptr;
        for (auto it = uids.rbegin(); it != uids.rend(); ++it) list = g_slist_prepend(list, const_cast<char*>(it->c_str()));
        GError* error = nullptr;
        const bool ok = e_book_client_remove_contacts_sync(client_, list, E_BOOK_OPERATION_FLAG_NONE, nullptr, &error);
        g_slist_free(list);
        drainEvents();
        return ok || failWith(error, "contacts cannot be removed from the address book", why);
    }

private:
    std::optional<std::vector<std::string>> uidsMatching(const char* sexp, std::string* why) {
        GSList* found = nullptr;
        GError* error = nullptr;
        if (!e_book_client_get_contacts_uids_sync(client_, sexp, &found, nullptr, &error)) {
            failWith(error, "the address book cannot be read", why);
            return std::nullopt;
        }
        std::vector<std::string> out;
        out.reserve(g_slist_length(found));
        for (GSList* u = found; u != nullptr; u = u->next) out.emplace_back(static_cast<const char*>(u->data));
        g_slist_free_full(found, g_free);
        drainEvents();
        return out;
    }

    bool writeContacts(const std::vector<std::pair<std::string, const ItemContent*>>& items, bool add, std::string* why) {
        GSList* list = nullptr;
        for (auto it = items.rbegin(); it != items.rend(); ++it)
            list = g_slist_prepend(list, contactFromItem(*it->second, it->first));
        GError* error = nullptr;
        bool ok;
        if (add) {
            GSList* added = nullptr;
            ok = e_book_client_add_contacts_sync(client_, list, E_BOOK_OPERATION_FLAG_NONE, &added, nullptr, &error);
            g_slist_free_full(added, g_free);
        } else {
            ok = e_book_client_modify_contacts_sync(client_, list, E_BOOK_OPERATION_FLAG_NONE, nullptr, &error);
        }
        g_slist_free_full(list, g_object_unref);
        drainEvents();
        return ok || failWith(error, add ? "contacts cannot be added to the address book"
                                         : "contacts cannot be changed in the address book", why);
    }

    EBookClient* client_;
};

}  // namespace

std::unique_ptr<Folder> openContactsFolder(const std::string& sourceUid, std::string* why) {
    ESource* source = refSource(sourceUid, e_source_registry_ref_builtin_address_book, "address book", why);
    if (source == nullptr) return nullptr;
    GError* error = nullptr;
    EClient* client = e_book_client_connect_sync(source, connectWaitSeconds(source, E_SOURCE_EXTENSION_ADDRESS_BOOK), nullptr, &error);
    g_object_unref(source);
    if (client == nullptr) {
        failWith(error, "the address book cannot be opened", why);
        return nullptr;
    }
    return std::make_unique<ContactsFolder>(E_BOOK_CLIENT(client));
}

}  // namespace orvale::platform::pim::eds
