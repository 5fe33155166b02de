#include "platform/pim/eds/EdsContact.h"

#include <libebook/libebook.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/ImageFormat.h"
#include "platform/SystemTime.h"
#include "platform/TextConversion.h"

namespace orvale::platform::pim::eds {

namespace {

// Device text properties held by an EContact field of their own.
struct TextField {
    uint32_t prop;
    EContactField field;
};
constexpr std::array kTextFields{
    TextField{0x0080001F, E_CONTACT_FULL_NAME},    TextField{0x008A001F, E_CONTACT_ORG},
    TextField{0x008B001F, E_CONTACT_ORG_UNIT},     TextField{0x008C001F, E_CONTACT_TITLE},
    TextField{0x101F001F, E_CONTACT_NOTE},         TextField{0x0097001F, E_CONTACT_PHONE_BUSINESS},
    TextField{0x0098001F, E_CONTACT_PHONE_BUSINESS_2}, TextField{0x0099001F, E_CONTACT_PHONE_HOME},
    TextField{0x009A001F, E_CONTACT_PHONE_HOME_2}, TextField{0x0096001F, E_CONTACT_PHONE_MOBILE},
    TextField{0x009C001F, E_CONTACT_PHONE_HOME_FAX}, TextField{0x009B001F, E_CONTACT_PHONE_BUSINESS_FAX},
    TextField{0x009E001F, E_CONTACT_PHONE_CAR},    TextField{0x009D001F, E_CONTACT_PHONE_PAGER},
    TextField{0x00A1001F, E_CONTACT_PHONE_ASSISTANT}, TextField{0x009F001F, E_CONTACT_PHONE_RADIO},
    TextField{0x00A0001F, E_CONTACT_PHONE_COMPANY}, TextField{0x0090001F, E_CONTACT_EMAIL_1},
    TextField{0x0091001F, E_CONTACT_EMAIL_2},      TextField{0x0092001F, E_CONTACT_EMAIL_3},
    TextField{0x00A7001F, E_CONTACT_HOMEPAGE_URL}, TextField{0x0086001F, E_CONTACT_NICKNAME},
    TextField{0x008D001F, E_CONTACT_MANAGER},      TextField{0x008F001F, E_CONTACT_ASSISTANT},
    TextField{0x00A5001F, E_CONTACT_SPOUSE},       TextField{0x008E001F, E_CONTACT_OFFICE},
    TextField{0x101D001F, E_CONTACT_CATEGORIES},
};

// The parts of the structured name, in EContactName's order: family, given, additional, prefixes,
// suffixes.
constexpr std::array<uint32_t, 5> kNameProps{0x0084001F, 0x0082001F, 0x0083001F, 0x0081001F, 0x0085001F};

// Street, locality, region, postal code, country of the three addresses.
struct AddressField {
    EContactField field;
    std::array<uint32_t, 5> props;
};
constexpr std::array kAddressFields{
    AddressField{E_CONTACT_ADDRESS_WORK, {0x00C1001F, 0x00C2001F, 0x00C3001F, 0x00C4001F, 0x00C5001F}},
    AddressField{E_CONTACT_ADDRESS_HOME, {0x00D1001F, 0x00D2001F, 0x00D3001F, 0x00D4001F, 0x00D5001F}},
    AddressField{E_CONTACT_ADDRESS_OTHER, {0x00E1001F, 0x00E2001F, 0x00E3001F, 0x00E4001F, 0x00E5001F}},
};

struct DateField {
    uint32_t prop;
    EContactField field;
};
constexpr std::array kDateFields{DateField{0x00F00040, E_CONTACT_BIRTH_DATE}, DateField{0x00F10040, E_CONTACT_ANNIVERSARY}};

// The device's "no date".
constexpr int kNoDateYear = 4501;

// Properties of no EContact field, and any property the table above does not know, keep their
// identifier in the attribute name.
constexpr std::string_view kPrivatePrefix = "X-ORVALE-P-";

bool isMapped(uint32_t id) {
    if (id == kPictureProp) return true;
    for (const auto& f : kTextFields)
        if (f.prop == id) return true;
    for (uint32_t p : kNameProps)
        if (p == id) return true;
    for (const auto& a : kAddressFields)
        for (uint32_t p : a.props)
            if (p == id) return true;
    for (const auto& d : kDateFields)
        if (d.prop == id) return true;
    return false;
}

const PropValue* find(const ItemContent& item, uint32_t id) {
    for (const auto& v : item.props)
        if (v.id == id) return &v;
    return nullptr;
}

std::string text(const ItemContent& item, uint32_t id) {
    const PropValue* v = find(item, id);
    return v != nullptr && v->flags == 0 ? utf16ToUtf8(v->text) : std::string();
}

// Line breaks: the device's are CR LF, a vCard's (and so EDS's) LF. A device text with a lone LF
// comes back with CR LF, once.
std::string toEdsText(const std::string& s) {
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i)
        if (!(s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n')) out += s[i];
    return out;
}
std::u16string fromEdsText(const char* value) {
    std::u16string text = utf8ToUtf16(value);
    std::u16string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'\n' && (i == 0 || text[i - 1] != u'\r')) out += u'\r';
        out += text[i];
    }
    return out;
}

// Null for an empty text, so EContact leaves the part out.
gchar* partOrNull(const std::string& s) { return s.empty() ? nullptr : g_strdup(toEdsText(s).c_str()); }

void addText(ItemContent& item, uint32_t id, const char* value) {
    if (value == nullptr || *value == '\0') return;
    PropValue v;
    v.id = id;
    v.text = fromEdsText(value);
    item.props.push_back(std::move(v));
}

// EDS's own address book keeps pictures in files of its own and hands out their addresses; a
// picture larger than this is not the device's (the stores cut theirs far below it).
constexpr gsize kMaxPictureFile = 16u << 20;

std::string pictureOf(EContactPhoto* photo) {
    if (photo->type == E_CONTACT_PHOTO_TYPE_INLINED) {
        gsize length = 0;
        const guchar* data = e_contact_photo_get_inlined(photo, &length);
        return data != nullptr ? std::string(reinterpret_cast<const char*>(data), length) : std::string();
    }
    const char* uri = e_contact_photo_get_uri(photo);
    gchar* path = uri != nullptr ? g_filename_from_uri(uri, nullptr, nullptr) : nullptr;
    std::string out;
    gchar* bytes = nullptr;
    gsize length = 0;
    if (path != nullptr && g_file_get_contents(path, &bytes, &length, nullptr) && length <= kMaxPictureFile)
        out.assign(bytes, length);
    g_free(bytes);
    g_free(path);
    return out;
}

const char* mimeOf(const std::string& bytes) {
    switch (detectImageFormat(bytes)) {
    case ImageFormat::Jpeg: return "image/jpeg";
    case ImageFormat::Gif: return "image/gif";
    case ImageFormat::Bmp: return "image/bmp";
    case ImageFormat::Png: return "image/png";
    case ImageFormat::Tiff: return "image/tiff";
    case ImageFormat::Unknown: break;
    }
    return "application/octet-stream";
}

// The value of a private attribute: the text itself, or the number.
std::string privateValue(const PropValue& v) {
    switch (propType(v.id)) {
    case kTypeText: return toEdsText(utf16ToUtf8(v.text));
    case kTypeU32:
    case kTypeBool: return std::to_string(v.u32);
    case kTypeFileTime: return std::to_string(v.fileTime);
    default: return {};
    }
}

void setPrivate(EContact* contact, const PropValue& v) {
    if (v.flags != 0 || propType(v.id) == kTypeStream) return;
    const std::string value = privateValue(v);
    if (propType(v.id) == kTypeText && value.empty()) return;
    char name[32];
    std::snprintf(name, sizeof name, "%.*s%08X", static_cast<int>(kPrivatePrefix.size()), kPrivatePrefix.data(), v.id);
    EVCardAttribute* attr = e_vcard_attribute_new(nullptr, name);
    e_vcard_append_attribute_with_value(E_VCARD(contact), attr, value.c_str());
}

void readPrivate(ItemContent& item, EVCardAttribute* attr) {
    const char* name = e_vcard_attribute_get_name(attr);
    if (name == nullptr || std::string_view(name).substr(0, kPrivatePrefix.size()) != kPrivatePrefix) return;
    const std::string_view hex = std::string_view(name).substr(kPrivatePrefix.size());
    if (hex.size() != 8) return;
    char* end = nullptr;
    const std::string hexText(hex);
    const unsigned long id = std::strtoul(hexText.c_str(), &end, 16);
    if (end == nullptr || *end != '\0' || isMapped(static_cast<uint32_t>(id))) return;
    GString* raw = e_vcard_attribute_get_value_decoded(attr);
    const std::string value = raw != nullptr ? std::string(raw->str, raw->len) : std::string();
    if (raw != nullptr) g_string_free(raw, TRUE);
    PropValue v;
    v.id = static_cast<uint32_t>(id);
    switch (propType(v.id)) {
    case kTypeText: v.text = fromEdsText(value.c_str()); break;
    case kTypeU32:
    case kTypeBool: v.u32 = static_cast<uint32_t>(std::strtoul(value.c_str(), nullptr, 10)); break;
    case kTypeFileTime: v.fileTime = std::strtoull(value.c_str(), nullptr, 10); break;
    default: return;
    }
    item.props.push_back(std::move(v));
}

}  // namespace

_EContact* contactFromItem(const ItemContent& item, std::string_view uid) {
    EContact* contact = e_contact_new();
    const std::string uidText(uid);
    e_contact_set(contact, E_CONTACT_UID, uidText.c_str());
    for (const auto& f : kTextFields) {
        const std::string value = text(item, f.prop);
        if (!value.empty()) e_contact_set(contact, f.field, toEdsText(value).c_str());
    }
    std::array<std::string, 5> name;
    bool anyName = false;
    for (size_t i = 0; i < name.size(); ++i) anyName = !(name[i] = text(item, kNameProps[i])).empty() || anyName;
    if (anyName) {
        EContactName* n = e_contact_name_new();
        n->family = partOrNull(name[0]);
        n->given = partOrNull(name[1]);
        n->additional = partOrNull(name[2]);
        n->prefixes = partOrNull(name[3]);
        n->suffixes = partOrNull(name[4]);
        e_contact_set(contact, E_CONTACT_NAME, n);
        e_contact_name_free(n);
    }
    for (const auto& a : kAddressFields) {
        std::array<std::string, 5> parts;
        bool any = false;
        for (size_t i = 0; i < parts.size(); ++i) any = !(parts[i] = text(item, a.props[i])).empty() || any;
        if (!any) continue;
        EContactAddress* addr = e_contact_address_new();
        addr->street = partOrNull(parts[0]);
        addr->locality = partOrNull(parts[1]);
        addr->region = partOrNull(parts[2]);
        addr->code = partOrNull(parts[3]);
        addr->country = partOrNull(parts[4]);
        e_contact_set(contact, a.field, addr);
        e_contact_address_free(addr);
    }
    for (const auto& d : kDateFields) {
        const PropValue* v = find(item, d.prop);
        if (v == nullptr || v->flags != 0 || (v->fileTime >> 32) == 0) continue;
        SystemTime st;
        if (!fileTimeToSystemTime(v->fileTime, st) || st.year == kNoDateYear) continue;
        EContactDate* date = e_contact_date_new();
        date->year = st.year;
        date->month = st.month;
        date->day = st.day;
        e_contact_set(contact, d.field, date);
        e_contact_date_free(date);
    }
    if (!item.picture.empty()) {
        EContactPhoto* photo = e_contact_photo_new();
        photo->type = E_CONTACT_PHOTO_TYPE_INLINED;
        e_contact_photo_set_mime_type(photo, mimeOf(item.picture));
        e_contact_photo_set_inlined(photo, reinterpret_cast<const guchar*>(item.picture.data()), item.picture.size());
        e_contact_set(contact, E_CONTACT_PHOTO, photo);
        e_contact_photo_free(photo);
    }
    for (const auto& v : item.props)
        if (!isMapped(v.id)) setPrivate(contact, v);
    return contact;
}

ItemContent itemFromContact(_EContact* contact) {
    ItemContent item;
    item.type = kContact;
    for (const auto& f : kTextFields) {
        // Categories are a list in EContact; its text form joins them with ",".
        if (f.field == E_CONTACT_CATEGORIES) {
            gchar* joined = static_cast<gchar*>(e_contact_get(contact, f.field));
            addText(item, f.prop, joined);
            g_free(joined);
            continue;
        }
        addText(item, f.prop, static_cast<const char*>(e_contact_get_const(contact, f.field)));
    }
    if (auto* n = static_cast<EContactName*>(e_contact_get(contact, E_CONTACT_NAME))) {
        const char* parts[] = {n->family, n->given, n->additional, n->prefixes, n->suffixes};
        for (size_t i = 0; i < kNameProps.size(); ++i) addText(item, kNameProps[i], parts[i]);
        e_contact_name_free(n);
    }
    for (const auto& a : kAddressFields) {
        auto* addr = static_cast<EContactAddress*>(e_contact_get(contact, a.field));
        if (addr == nullptr) continue;
        const char* parts[] = {addr->street, addr->locality, addr->region, addr->code, addr->country};
        for (size_t i = 0; i < a.props.size(); ++i) addText(item, a.props[i], parts[i]);
        e_contact_address_free(addr);
    }
    for (const auto& d : kDateFields) {
        auto* date = static_cast<EContactDate*>(e_contact_get(contact, d.field));
        if (date == nullptr) continue;
        SystemTime st{};
        st.year = static_cast<uint16_t>(date->year);
        st.month = static_cast<uint16_t>(date->month);
        st.day = static_cast<uint16_t>(date->day);
        e_contact_date_free(date);
        PropValue v;
        v.id = d.prop;
        if (systemTimeToFileTime(st, v.fileTime)) item.props.push_back(std::move(v));
    }
    if (auto* photo = static_cast<EContactPhoto*>(e_contact_get(contact, E_CONTACT_PHOTO))) {
        item.picture = pictureOf(photo);
        e_contact_photo_free(photo);
    }
    for (GList* a = e_vcard_get_attributes(E_VCARD(contact)); a != nullptr; a = a->next)
        readPrivate(item, static_cast<EVCardAttribute*>(a->data));
    return item;
}

}  // namespace orvale::platform::pim::eds
