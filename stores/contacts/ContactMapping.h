#pragma once
// The vCard side of a contact: which vCard properties the fields become, and which fields a vCard
// fills. Kept apart from the text codec so the mapping reads as one table of rules.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "stores/contacts/ContactPropertyTable.h"

namespace orvale::contacts {

// One property to write: the name with its parameters ("TEL;WORK") and its values. Structured
// properties (N, ORG, ADR) carry one value per component; the others exactly one.
struct VCardProperty {
    std::string nameKey;
    std::vector<std::string> values;
    bool structured = false;
    bool operator==(const VCardProperty&) const = default;
};

// In the order they are added to the document; repeats of one name keep this order.
std::vector<VCardProperty> exportProperties(const ContactFields& fields, std::string_view key,
                                            std::string_view pictureType);

// What the import needs of a parsed vCard.
class VCardLookup {
public:
    virtual ~VCardLookup() = default;
    // The first property's values joined with ";"; none when absent or empty.
    virtual std::optional<std::string> value(std::string_view name) const = 0;
    // Every property of the name as "parameters:values".
    virtual std::vector<std::string> entries(std::string_view name) const = 0;
};

ContactFields importFields(const VCardLookup& vcard);

}  // namespace orvale::contacts
