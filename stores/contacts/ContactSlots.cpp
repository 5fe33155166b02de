#include "stores/contacts/ContactSlots.h"

#include "stores/contacts/ContactTextRules.h"

namespace orvale::contacts {

namespace {
struct TypedField {
    std::string_view type;
    ContactField field;
};
constexpr TypedField kSingleFields[] = {
    {"CELL", ContactField::CellTel},
    {"PAGER", ContactField::PagerTel},
    {"CAR", ContactField::CarTel},
    {"X-ORVALE-ASSISTANT-TEL", ContactField::AssistantTel},
    {"X-ORVALE-RADIO-TEL", ContactField::RadioTel},
    {"X-ORVALE-COMPANY-TEL", ContactField::CompanyTel},
};
}  // namespace

// Only the parameters are searched: a vanity number such as "1-800-WORKOUT" must not decide the
// number's type.
std::optional<ContactField> telephoneField(std::string_view entry, bool homeSeen, bool workSeen) {
    const std::string_view parameters = entryParameters(entry);
    auto has = [&](std::string_view type) { return parameters.find(type) != std::string_view::npos; };
    if (has("HOME") && has("FAX")) return ContactField::HomeFax;
    if (has("WORK") && has("FAX")) return ContactField::WorkFax;
    if (has("HOME")) return homeSeen ? ContactField::HomeTel2 : ContactField::HomeTel;
    if (has("WORK")) return workSeen ? ContactField::WorkTel2 : ContactField::WorkTel;
    for (const auto& typed : kSingleFields) {
        if (has(typed.type)) return typed.field;
    }
    return std::nullopt;
}

void assignTelephones(const std::vector<std::string>& entries, ContactFields& fields) {
    bool homeSeen = false;
    bool workSeen = false;
    for (const auto& entry : entries) {
        const auto field = telephoneField(entry, homeSeen, workSeen);
        if (!field) continue;
        homeSeen = homeSeen || *field == ContactField::HomeTel;
        workSeen = workSeen || *field == ContactField::WorkTel;
        fields[*field] = entryValue(entry);
    }
}

void assignInOrder(const std::vector<std::string>& entries, std::initializer_list<ContactField> rows,
                   ContactFields& fields) {
    auto entry = entries.begin();
    for (const ContactField row : rows) {
        if (entry == entries.end()) break;
        fields[row] = entryValue(*entry++);
    }
}

}  // namespace orvale::contacts
