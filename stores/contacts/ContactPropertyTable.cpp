#include "stores/contacts/ContactPropertyTable.h"

namespace orvale {

namespace {
constexpr auto T = ContactFieldKind::Text;
constexpr auto D = ContactFieldKind::Date;
constexpr auto P = ContactFieldKind::Picture;

constexpr std::array<ContactProperty, kContactFieldCount> kTable = {{
    {0x00AB001F, T},  // Account
    {0x00F10040, D},  // Anniversary
    {0x008F001F, T},  // Assistant
    {0x00A1001F, T},  // AssistantTel
    {0x00F00040, D},  // Birthday
    {0x101F001F, T},  // Note
    {0x00C2001F, T},  // WorkLocality
    {0x00C5001F, T},  // WorkCountry
    {0x00C4001F, T},  // WorkPostalCode
    {0x00C3001F, T},  // WorkRegion
    {0x00C1001F, T},  // WorkStreet
    {0x009B001F, T},  // WorkFax
    {0x0097001F, T},  // WorkTel
    {0x0098001F, T},  // WorkTel2
    {0x009E001F, T},  // CarTel
    {0x101D001F, T},  // Categories
    {0x00A6001F, T},  // Children
    {0x008A001F, T},  // Organisation
    {0x00A0001F, T},  // CompanyTel
    {0x00A9001F, T},  // Customer
    {0x008B001F, T},  // Unit
    {0x0090001F, T},  // Email1
    {0x0091001F, T},  // Email2
    {0x0092001F, T},  // Email3
    {0x0080001F, T},  // FormattedName
    {0x0082001F, T},  // GivenName
    {0x00AA001F, T},  // Government
    {0x00D2001F, T},  // HomeLocality
    {0x00D5001F, T},  // HomeCountry
    {0x00D4001F, T},  // HomePostalCode
    {0x00D3001F, T},  // HomeRegion
    {0x00D1001F, T},  // HomeStreet
    {0x009C001F, T},  // HomeFax
    {0x0099001F, T},  // HomeTel
    {0x009A001F, T},  // HomeTel2
    {0x0093001F, T},  // Im1
    {0x0094001F, T},  // Im2
    {0x0095001F, T},  // Im3
    {0x008C001F, T},  // Title
    {0x0084001F, T},  // FamilyName
    {0x008D001F, T},  // Manager
    {0x0083001F, T},  // AdditionalNames
    {0x0096001F, T},  // CellTel
    {0x0086001F, T},  // Nickname
    {0x008E001F, T},  // Office
    {0x00E2001F, T},  // OtherLocality
    {0x00E5001F, T},  // OtherCountry
    {0x00E4001F, T},  // OtherPostalCode
    {0x00E3001F, T},  // OtherRegion
    {0x00E1001F, T},  // OtherStreet
    {0x009D001F, T},  // PagerTel
    {0x00FF0064, P},  // Picture
    {0x009F001F, T},  // RadioTel
    {0x00A8001F, T},  // Sound
    {0x00A5001F, T},  // Spouse
    {0x0085001F, T},  // Suffix
    {0x0081001F, T},  // Prefix
    {0x00A7001F, T},  // Url
}};

static_assert(rowOf(ContactField::Url) + 1 == kContactFieldCount);
}  // namespace

const std::array<ContactProperty, kContactFieldCount>& contactPropertyTable() { return kTable; }

}  // namespace orvale
