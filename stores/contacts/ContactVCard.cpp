#include "stores/contacts/ContactVCard.h"

#include "stores/contacts/ContactMapping.h"
#include "stores/versit/VersitDocument.h"
#include "stores/versit/VersitText.h"

namespace orvale::contacts {

namespace {
constexpr std::string_view kOuter = "VCARD";
constexpr std::string_view kVersion = "2.1";

class DocumentLookup final : public VCardLookup {
public:
    explicit DocumentLookup(const VersitDocument& doc) : doc_(doc) {}
    std::optional<std::string> value(std::string_view name) const override { return doc_.getValue(name); }
    std::vector<std::string> entries(std::string_view name) const override { return doc_.getProperty(name); }

private:
    const VersitDocument& doc_;
};
}  // namespace

std::string exportVCard(const ContactFields& fields, std::string_view key, std::string_view pictureType) {
    VersitDocument doc(kOuter, "", kVersion);
    for (auto& p : exportProperties(fields, key, pictureType)) {
        if (p.structured) {
            doc.addProperty(p.nameKey, std::move(p.values));
        } else {
            doc.addProperty(p.nameKey, std::move(p.values.front()));
        }
    }
    return doc.serialize();
}

std::optional<ContactFields> importVCard(std::string_view text) {
    VersitDocument doc(kOuter, "", kVersion);
    if (!doc.parse(text) || doc.lookupComponent() == nullptr) return std::nullopt;
    // Anything else (a vCalendar sent to the wrong folder) would otherwise replace a contact by an
    // empty one.
    if (!versit_text::equalsIgnoringCaseAscii(doc.lookupComponent()->name(), kOuter)) return std::nullopt;
    return importFields(DocumentLookup(doc));
}

}  // namespace orvale::contacts
