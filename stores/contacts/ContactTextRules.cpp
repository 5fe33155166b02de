#include "stores/contacts/ContactTextRules.h"

#include <array>
#include <vector>

namespace orvale::contacts {

namespace {
// Plain cut at every ";" into at most `limit` pieces; further pieces are not looked at. Empty
// pieces keep their position, so ";;x" puts x in the third place.
std::vector<std::string_view> cutAtSemicolons(std::string_view text, std::size_t limit) {
    std::vector<std::string_view> pieces;
    std::size_t start = 0;
    while (pieces.size() < limit) {
        const std::size_t end = text.find(';', start);
        if (end == std::string_view::npos) {
            pieces.push_back(text.substr(start));
            break;
        }
        pieces.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return pieces;
}

constexpr std::string_view kSoundPrefix = "file//";

struct AddressRows {
    ContactField street, locality, region, postalCode, country;
};
constexpr AddressRows kHome{ContactField::HomeStreet, ContactField::HomeLocality, ContactField::HomeRegion,
                            ContactField::HomePostalCode, ContactField::HomeCountry};
constexpr AddressRows kWork{ContactField::WorkStreet, ContactField::WorkLocality, ContactField::WorkRegion,
                            ContactField::WorkPostalCode, ContactField::WorkCountry};
constexpr AddressRows kOther{ContactField::OtherStreet, ContactField::OtherLocality,
                             ContactField::OtherRegion, ContactField::OtherPostalCode,
                             ContactField::OtherCountry};
}  // namespace

std::string_view entryValue(std::string_view entry) {
    const std::size_t colon = entry.find(':');
    return colon == std::string_view::npos ? std::string_view{} : entry.substr(colon + 1);
}

std::string_view entryParameters(std::string_view entry) { return entry.substr(0, entry.find(':')); }

void cutName(std::string_view value, ContactFields& fields) {
    constexpr std::array<ContactField, 5> rows = {ContactField::FamilyName, ContactField::GivenName,
                                                  ContactField::AdditionalNames, ContactField::Prefix,
                                                  ContactField::Suffix};
    const auto pieces = cutAtSemicolons(value, rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        fields[rows[i]] = i < pieces.size() ? std::string(pieces[i]) : std::string();
    }
}

void cutOrganisation(std::string_view value, ContactFields& fields) {
    const auto pieces = cutAtSemicolons(value, 2);
    if (!pieces.empty() && pieces[0].size() >= 2) fields[ContactField::Organisation] = pieces[0];
    if (pieces.size() > 1 && pieces[1].size() >= 2) fields[ContactField::Unit] = pieces[1];
}

void cutAddress(std::string_view entry, ContactFields& fields) {
    const std::string_view parameters = entryParameters(entry);
    const AddressRows& rows = parameters.find("HOME") != std::string_view::npos   ? kHome
                              : parameters.find("WORK") != std::string_view::npos ? kWork
                                                                                  : kOther;
    const auto pieces = cutAtSemicolons(entryValue(entry), 7);
    auto piece = [&](std::size_t i) { return i < pieces.size() ? pieces[i] : std::string_view{}; };
    const std::array<ContactField, 5> targets = {rows.street, rows.locality, rows.region, rows.postalCode,
                                                 rows.country};
    for (std::size_t i = 0; i < targets.size(); ++i) {
        if (!piece(i + 2).empty()) fields[targets[i]] = piece(i + 2);
    }
    std::string& street = fields[rows.street];
    street += "\r\n";
    street += piece(1);
}

std::string soundForDevice(std::string_view vcardValue) {
    std::string path(vcardValue.substr(0, kSoundPrefix.size()) == kSoundPrefix
                         ? vcardValue.substr(kSoundPrefix.size())
                         : vcardValue);
    for (char& c : path) {
        if (c == '/') c = '\\';
    }
    return path;
}

std::string soundForVCard(std::string_view devicePath) {
    std::string out(kSoundPrefix);
    for (const char c : devicePath) out += c == '\\' ? '/' : c;
    return out;
}

std::string_view withoutFinalLineBreak(std::string_view text) {
    if (text.ends_with("\r\n")) text.remove_suffix(2);
    return text;
}

}  // namespace orvale::contacts
