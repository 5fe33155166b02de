#pragma once
// The contact properties the program reads from and writes to the device: one row per property,
// in the device's fixed order. Everything that walks the properties (reading, writing, change
// fingerprints) goes through this one table.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "stores/FieldTexts.h"

namespace orvale {

enum class ContactField : std::size_t {
    Account,
    Anniversary,
    Assistant,
    AssistantTel,
    Birthday,
    Note,
    WorkLocality,
    WorkCountry,
    WorkPostalCode,
    WorkRegion,
    WorkStreet,
    WorkFax,
    WorkTel,
    WorkTel2,
    CarTel,
    Categories,
    Children,
    Organisation,
    CompanyTel,
    Customer,
    Unit,
    Email1,
    Email2,
    Email3,
    FormattedName,
    GivenName,
    Government,
    HomeLocality,
    HomeCountry,
    HomePostalCode,
    HomeRegion,
    HomeStreet,
    HomeFax,
    HomeTel,
    HomeTel2,
    Im1,
    Im2,
    Im3,
    Title,
    FamilyName,
    Manager,
    AdditionalNames,
    CellTel,
    Nickname,
    Office,
    OtherLocality,
    OtherCountry,
    OtherPostalCode,
    OtherRegion,
    OtherStreet,
    PagerTel,
    Picture,
    RadioTel,
    Sound,
    Spouse,
    Suffix,
    Prefix,
    Url,
};

inline constexpr std::size_t kContactFieldCount = 58;

enum class ContactFieldKind { Text, Date, Picture };

struct ContactProperty {
    std::uint32_t identifier;  // high 16 bits the property number, low 16 bits the value type
    ContactFieldKind kind;
};

const std::array<ContactProperty, kContactFieldCount>& contactPropertyTable();

inline constexpr std::size_t rowOf(ContactField f) { return static_cast<std::size_t>(f); }

// One contact as UTF-8 texts, one per row; an empty text is no value. Dates are "YYYYMMDD" as read
// from the device, or whatever date text an imported vCard carried; the picture is Base64.
using ContactFields = FieldTexts<ContactField, kContactFieldCount>;

}  // namespace orvale
