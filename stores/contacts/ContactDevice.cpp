#include "stores/contacts/ContactDevice.h"

#include <cstdlib>
#include <unordered_map>
#include <vector>

#include "platform/TextConversion.h"
#include "platform/pim/PimSession.h"
#include "stores/contacts/ContactDate.h"

namespace orvale::contacts {

namespace pim = platform::pim;

namespace {
std::unique_ptr<pim::Item> contactByKey(const std::string& key) {
    pim::Session* session = pim::Session::current();
    if (session == nullptr) return nullptr;
    return session->itemByOid(static_cast<std::uint32_t>(std::atol(key.c_str())));
}

pim::PropValue emptyValue(const ContactProperty& p) {
    pim::PropValue v;
    v.id = p.identifier;
    if (p.kind == ContactFieldKind::Date) v.fileTime = fileTimeOfDate(kNoDate);
    return v;
}
}  // namespace

std::vector<std::uint32_t> contactPropertyIds() {
    std::vector<std::uint32_t> ids;
    for (const auto& p : contactPropertyTable()) ids.push_back(p.identifier);
    return ids;
}

DeviceContact readContact(const std::string& key) {
    const auto item = contactByKey(key);
    if (!item || item->type() != pim::kContact) return {};
    return contactOfItem(*item);
}

DeviceContact contactOfItem(const pim::Item& item) {
    DeviceContact contact;
    contact.found = true;
    const auto& table = contactPropertyTable();
    // Row by identifier: the item holds a few of the table's properties, so it is walked rather
    // than asked for each of the table's rows.
    static const std::unordered_map<std::uint32_t, std::size_t> rows = [&] {
        std::unordered_map<std::uint32_t, std::size_t> byId;
        for (std::size_t r = 0; r < table.size(); ++r) byId.emplace(table[r].identifier, r);
        return byId;
    }();
    for (const pim::PropValue& v : item.heldProps()) {
        const auto row = rows.find(v.id);
        if (row == rows.end()) continue;
        const std::size_t r = row->second;
        switch (table[r].kind) {
            case ContactFieldKind::Text:
                contact.fields.row(r) = platform::utf16ToUtf8(v.text);  // the whole text, however long
                break;
            case ContactFieldKind::Date:
                if (const auto date = dateOfFileTime(v.fileTime)) contact.fields.row(r) = formatContactDate(*date);
                break;
            case ContactFieldKind::Picture:
                break;
        }
    }
    const PictureText picture = pictureForVCard(item.picture());
    contact.fields[ContactField::Picture] = picture.base64;
    contact.pictureType = picture.type;
    return contact;
}

bool fillContact(const ContactFields& fields, pim::Item& item, bool created, const PictureFetcher& fetch) {
    const auto& table = contactPropertyTable();
    std::vector<pim::PropValue> values;
    values.reserve(table.size());
    for (std::size_t r = 0; r < table.size(); ++r) {
        const ContactProperty& p = table[r];
        if (p.kind == ContactFieldKind::Picture) continue;
        const std::string& text = fields.row(r);
        if (text.empty() && created) continue;
        pim::PropValue v = emptyValue(p);
        if (!text.empty() && p.kind == ContactFieldKind::Text) v.text = platform::utf8ToUtf16(text);
        if (!text.empty() && p.kind == ContactFieldKind::Date) {
            const auto date = parseContactDate(text);
            if (!date && created) continue;
            if (date) v.fileTime = fileTimeOfDate(*date);
        }
        values.push_back(std::move(v));
    }
    item.setProps(values);
    const std::string& photo = fields[ContactField::Picture];
    if (photo.empty()) {
        item.setPicture(std::string());
        return true;
    }
    std::optional<std::string> picture = pictureBytesFromVCard(photo, fetch);
    if (!picture) return false;
    item.setPicture(std::move(*picture));
    return true;
}

bool writeContact(const ContactFields& fields, std::string& key, const PictureFetcher& fetch) {
    pim::Session* session = pim::Session::current();
    if (session == nullptr) return false;
    const bool create = key.empty();
    auto item = create ? session->createItem(pim::kContact) : contactByKey(key);
    if (!item || item->type() != pim::kContact) return false;
    if (!fillContact(fields, *item, create, fetch) || !item->save()) return false;
    if (create) key = std::to_string(static_cast<std::int32_t>(item->oid()));
    return true;
}

}  // namespace orvale::contacts
