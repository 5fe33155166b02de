#include "stores/contacts/ContactMapping.h"

#include <initializer_list>

#include "stores/contacts/ContactSlots.h"
#include "stores/contacts/ContactTextRules.h"

namespace orvale::contacts {

namespace {
using F = ContactField;

class Exporter {
public:
    explicit Exporter(const ContactFields& fields) : fields_(fields) {}

    void single(std::string_view layout, F field) { text(layout, fields_[field]); }
    void text(std::string_view layout, std::string_view value) {
        if (!value.empty()) out_.push_back({std::string(layout), {std::string(value)}, false});
    }
    void structured(std::string_view layout, std::initializer_list<std::optional<F>> components) {
        VCardProperty p{std::string(layout), {}, true};
        bool any = false;
        for (const auto& component : components) {
            std::string value;
            if (component) {
                any = any || !fields_[*component].empty();
                value = fields_[*component];
            }
            p.values.push_back(std::move(value));
        }
        if (any) out_.push_back(std::move(p));
    }
    void address(std::string_view layout, F street, F locality, F region, F postalCode, F country) {
        const std::size_t before = out_.size();
        structured(layout, {std::nullopt, std::nullopt, street, locality, region, postalCode, country});
        if (out_.size() > before) out_.back().values[2] = withoutFinalLineBreak(fields_[street]);
    }
    std::vector<VCardProperty> take() { return std::move(out_); }

private:
    const ContactFields& fields_;
    std::vector<VCardProperty> out_;
};

struct Single {
    std::string_view name;
    F field;
};
constexpr Single kSingles[] = {
    {"FN", F::FormattedName},
    {"NOTE", F::Note},
    {"TITLE", F::Title},
    {"URL", F::Url},
    {"BDAY", F::Birthday},
    {"X-ORVALE-ANNIVERSARY", F::Anniversary},
    {"X-ORVALE-OFFICE", F::Office},
    {"X-ORVALE-ASSISTANT", F::Assistant},
    {"X-ORVALE-SPOUSE", F::Spouse},
    {"X-ORVALE-CHILDREN", F::Children},
    {"X-ORVALE-CATEGORIES", F::Categories},
    {"X-ORVALE-MANAGER", F::Manager},
    {"X-ORVALE-GOVERMENT", F::Government},
    {"X-ORVALE-ACCOUNT", F::Account},
    {"X-ORVALE-CUSTOMER", F::Customer},
    {"X-ORVALE-NICKNAME", F::Nickname},
    {"PHOTO", F::Picture},
};
}  // namespace

std::vector<VCardProperty> exportProperties(const ContactFields& fields, std::string_view key,
                                            std::string_view pictureType) {
    Exporter e(fields);
    e.text("UID", key);
    e.structured("N", {F::FamilyName, F::GivenName, F::AdditionalNames, F::Prefix, F::Suffix});
    e.single("FN", F::FormattedName);
    e.structured("ORG", {F::Organisation, F::Unit});
    e.text("NOTE", withoutFinalLineBreak(fields[F::Note]));
    e.single("TITLE", F::Title);
    e.single("TEL;WORK", F::WorkTel);
    e.single("TEL;WORK", F::WorkTel2);
    e.single("TEL;HOME", F::HomeTel);
    e.single("TEL;HOME", F::HomeTel2);
    e.single("TEL;CELL", F::CellTel);
    e.single("TEL;HOME;FAX", F::HomeFax);
    e.single("TEL;WORK;FAX", F::WorkFax);
    e.single("TEL;CAR", F::CarTel);
    e.single("TEL;PAGER", F::PagerTel);
    e.single("EMAIL", F::Email1);
    e.single("EMAIL", F::Email2);
    e.single("EMAIL", F::Email3);
    e.single("URL", F::Url);
    e.single("BDAY", F::Birthday);
    e.address("ADR;WORK", F::WorkStreet, F::WorkLocality, F::WorkRegion, F::WorkPostalCode, F::WorkCountry);
    e.address("ADR;HOME", F::HomeStreet, F::HomeLocality, F::HomeRegion, F::HomePostalCode, F::HomeCountry);
    e.address("ADR", F::OtherStreet, F::OtherLocality, F::OtherRegion, F::OtherPostalCode, F::OtherCountry);
    e.single("X-ORVALE-CATEGORIES", F::Categories);
    e.single("X-ORVALE-ANNIVERSARY", F::Anniversary);
    e.single("X-ORVALE-CHILDREN", F::Children);
    e.single("X-ORVALE-OFFICE", F::Office);
    e.single("X-ORVALE-ASSISTANT", F::Assistant);
    e.single("X-ORVALE-SPOUSE", F::Spouse);
    e.single("X-ORVALE-MANAGER", F::Manager);
    e.single("X-ORVALE-GOVERMENT", F::Government);
    e.single("X-ORVALE-ACCOUNT", F::Account);
    e.single("X-ORVALE-CUSTOMER", F::Customer);
    e.single("TEL;X-ORVALE-ASSISTANT-TEL", F::AssistantTel);
    e.single("TEL;X-ORVALE-RADIO-TEL", F::RadioTel);
    e.single("TEL;X-ORVALE-COMPANY-TEL", F::CompanyTel);
    e.single("X-ORVALE-IM", F::Im1);
    e.single("X-ORVALE-IM", F::Im2);
    e.single("X-ORVALE-IM", F::Im3);
    e.single("X-ORVALE-NICKNAME", F::Nickname);
    if (!fields[F::Sound].empty()) e.text("SOUND", soundForVCard(fields[F::Sound]));
    e.text("PHOTO;ENCODING=BASE64;TYPE=" + std::string(pictureType), fields[F::Picture]);
    return e.take();
}

ContactFields importFields(const VCardLookup& vcard) {
    ContactFields fields;
    for (const auto& single : kSingles) {
        if (auto v = vcard.value(single.name)) fields[single.field] = std::move(*v);
    }
    if (auto v = vcard.value("SOUND")) fields[F::Sound] = soundForDevice(*v);
    if (auto v = vcard.value("N")) cutName(*v, fields);
    if (auto v = vcard.value("ORG")) cutOrganisation(*v, fields);
    assignTelephones(vcard.entries("TEL"), fields);
    assignInOrder(vcard.entries("EMAIL"), {F::Email1, F::Email2, F::Email3}, fields);
    assignInOrder(vcard.entries("X-ORVALE-IM"), {F::Im1, F::Im2, F::Im3}, fields);
    for (const auto& entry : vcard.entries("ADR")) cutAddress(entry, fields);
    return fields;
}

}  // namespace orvale::contacts
