#include "tools/pim/StoreAccess.h"

#include <cstdlib>

#include "platform/pim/PimSession.h"
#include "stores/contacts/ContactDevice.h"
#include "stores/contacts/ContactVCard.h"
#include "stores/contacts/PictureDownload.h"

namespace orvale::pim_tool {

namespace {
namespace pim = platform::pim;

// The contacts folder through the contacts store's own reading, mapping and writing. Only the
// session is opened: no change tracker runs, so the next sync still sees what the tool changed.
class ContactsAccess final : public StoreAccess {
public:
    ContactsAccess() : open_(pim::Session::logOn()) {}
    ~ContactsAccess() override {
        if (open_) pim::Session::logOff();
    }
    ContactsAccess(const ContactsAccess&) = delete;
    ContactsAccess& operator=(const ContactsAccess&) = delete;

    std::string itemComponent() const override { return "VCARD"; }

    std::vector<std::string> keys() override {
        std::vector<std::string> keys;
        pim::Session* session = pim::Session::current();
        if (session == nullptr) return keys;
        auto items = session->defaultFolderItems(pim::kFolderContacts);
        if (!items) return keys;
        for (int i = 1; i <= items->count(); ++i) {
            keys.push_back(std::to_string(static_cast<std::int32_t>(items->oidAt(i))));
        }
        return keys;
    }

    bool exists(const std::string& key) override {
        char* end = nullptr;
        const long long value = std::strtoll(key.c_str(), &end, 10);
        if (key.empty() || *end != '\0' || value < INT32_MIN || value > INT32_MAX) return false;
        pim::Session* session = pim::Session::current();
        if (session == nullptr) return false;
        const auto item = session->itemByOid(static_cast<std::uint32_t>(static_cast<std::int32_t>(value)));
        return item && item->type() == pim::kContact;
    }

    std::string text(const std::string& key) override {
        const contacts::DeviceContact c = contacts::readContact(key);
        return contacts::exportVCard(c.fields, key, c.pictureType);
    }

    std::optional<std::string> add(const std::string& text) override {
        std::string key;
        if (!write(text, key)) return std::nullopt;
        return key;
    }

    bool replace(const std::string& key, const std::string& text) override {
        std::string k = key;
        return write(text, k);
    }

    bool remove(const std::string& key) override {
        pim::Session* session = pim::Session::current();
        if (session == nullptr) return false;
        auto item = session->itemByOid(static_cast<std::uint32_t>(std::atol(key.c_str())));
        return item && item->remove();
    }

private:
    static bool write(const std::string& text, std::string& key) {
        const auto fields = contacts::importVCard(text);
        return fields && contacts::writeContact(*fields, key, contacts::httpPictureFetcher());
    }

    bool open_;
};
}  // namespace

std::unique_ptr<StoreAccess> StoreAccess::open(const std::string& kindName) {
    if (kindName == "Contacts") return std::make_unique<ContactsAccess>();
    return nullptr;
}

}  // namespace orvale::pim_tool
