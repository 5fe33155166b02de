#include <gtest/gtest.h>

#include "stores/contacts/ContactSlots.h"
#include "stores/contacts/ContactTextRules.h"

namespace orvale::contacts {
namespace {

using F = ContactField;

TEST(ContactRules, NameComponentsKeepTheirPositions) {
    struct Case {
        const char* value;
        std::array<const char*, 5> family_given_additional_prefix_suffix;
    } cases[] = {
        {"Doe;John;Q;Dr.;Jr.", {"Doe", "John", "Q", "Dr.", "Jr."}},
        {"Doe;;;;Jr.", {"Doe", "", "", "", "Jr."}},
        {"Doe", {"Doe", "", "", "", ""}},
        {";John", {"", "John", "", "", ""}},
        {"a;b;c;d;e;f;g", {"a", "b", "c", "d", "e"}},
    };
    const F rows[] = {F::FamilyName, F::GivenName, F::AdditionalNames, F::Prefix, F::Suffix};
    for (const auto& c : cases) {
        ContactFields fields;
        fields[F::Suffix] = "stale";
        cutName(c.value, fields);
        for (std::size_t i = 0; i < 5; ++i) {
            EXPECT_EQ(fields[rows[i]], c.family_given_additional_prefix_suffix[i]) << c.value << " " << i;
        }
    }
}

TEST(ContactRules, OrganisationComponentsShorterThanTwoCharactersAreDropped) {
    struct Case {
        const char* value;
        const char* organisation;
        const char* unit;
    } cases[] = {
        {"Acme;Sales", "Acme", "Sales"},
        {"A;Sales", "", "Sales"},
        {"Acme;S", "Acme", ""},
        {"Acme", "Acme", ""},
        {";Sales;Extra", "", "Sales"},
    };
    for (const auto& c : cases) {
        ContactFields fields;
        cutOrganisation(c.value, fields);
        EXPECT_EQ(fields[F::Organisation], c.organisation) << c.value;
        EXPECT_EQ(fields[F::Unit], c.unit) << c.value;
    }
}

TEST(ContactRules, AddressesFillTheFieldsOfTheirType) {
    ContactFields fields;
    cutAddress(";WORK:PO 1;Floor 3;Main St;Springfield;IL;62701;USA", fields);
    cutAddress(";HOME:;;Elm St;Shelbyville", fields);
    cutAddress(";POSTAL:;;;Ogdenville;;;Nowhere", fields);
    EXPECT_EQ(fields[F::WorkStreet], "Main St\r\nFloor 3");
    EXPECT_EQ(fields[F::WorkLocality], "Springfield");
    EXPECT_EQ(fields[F::WorkRegion], "IL");
    EXPECT_EQ(fields[F::WorkPostalCode], "62701");
    EXPECT_EQ(fields[F::WorkCountry], "USA");
    EXPECT_EQ(fields[F::HomeStreet], "Elm St\r\n");
    EXPECT_EQ(fields[F::HomeLocality], "Shelbyville");
    EXPECT_EQ(fields[F::HomeCountry], "");
    EXPECT_EQ(fields[F::OtherStreet], "\r\n");
    EXPECT_EQ(fields[F::OtherLocality], "Ogdenville");
    EXPECT_EQ(fields[F::OtherCountry], "Nowhere");

    ContactFields streetNamedHome;  // the type comes from the parameters, never from the value
    cutAddress(";WORK:;;1 HOME Rd", streetNamedHome);
    EXPECT_EQ(streetNamedHome[F::WorkStreet], "1 HOME Rd\r\n");
    EXPECT_EQ(streetNamedHome[F::HomeStreet], "");
}

TEST(ContactRules, TelephoneTypesGoToTheirFields) {
    struct Case {
        const char* entry;
        std::optional<F> field;
    } cases[] = {
        {";HOME;FAX:1", F::HomeFax},
        {";FAX;HOME:1", F::HomeFax},
        {";WORK;FAX:1", F::WorkFax},
        {";HOME:1", F::HomeTel},
        {";WORK;VOICE:1", F::WorkTel},
        {";CELL:1", F::CellTel},
        {";PAGER:1", F::PagerTel},
        {";CAR:1", F::CarTel},
        {";X-ORVALE-ASSISTANT-TEL:1", F::AssistantTel},
        {";X-ORVALE-RADIO-TEL:1", F::RadioTel},
        {";X-ORVALE-COMPANY-TEL:1", F::CompanyTel},
        {";VOICE:123", std::nullopt},
        {";FAX:123", std::nullopt},
        {":123", std::nullopt},
        {";VOICE:1-800-WORKCAR", std::nullopt},  // letters of the number say nothing
    };
    for (const auto& c : cases) EXPECT_EQ(telephoneField(c.entry, false, false), c.field) << c.entry;
}

TEST(ContactRules, RepeatedNumbersKeepTheFirstAndTheLast) {
    ContactFields fields;
    assignTelephones({";WORK:1", ";HOME:2", ";WORK:3", ";WORK;FAX:4", ";WORK:5", ";HOME:6", ";VOICE:7"}, fields);
    EXPECT_EQ(fields[F::WorkTel], "1");
    EXPECT_EQ(fields[F::WorkTel2], "5");
    EXPECT_EQ(fields[F::HomeTel], "2");
    EXPECT_EQ(fields[F::HomeTel2], "6");
    EXPECT_EQ(fields[F::WorkFax], "4");

    ContactFields mail;
    assignInOrder({":a@x", ";INTERNET:b@x", ":c@x", ":d@x"}, {F::Email1, F::Email2, F::Email3}, mail);
    EXPECT_EQ(mail[F::Email1], "a@x");
    EXPECT_EQ(mail[F::Email2], "b@x");
    EXPECT_EQ(mail[F::Email3], "c@x");
    ContactFields one;
    assignInOrder({":a:b"}, {F::Im1, F::Im2}, one);  // only the first ":" ends the parameters
    EXPECT_EQ(one[F::Im1], "a:b");
    EXPECT_EQ(one[F::Im2], "");
}

TEST(ContactRules, SoundPathsTravelAsFileAddresses) {
    EXPECT_EQ(soundForVCard("\\Windows\\Ring.wav"), "file///Windows/Ring.wav");
    EXPECT_EQ(soundForDevice("file///Windows/Ring.wav"), "\\Windows\\Ring.wav");
    EXPECT_EQ(soundForDevice(soundForVCard("\\My Documents\\a b.mp3")), "\\My Documents\\a b.mp3");
    // A value that is no file address is kept whole instead of losing its first characters.
    EXPECT_EQ(soundForDevice("Jon"), "Jon");
    EXPECT_EQ(soundForDevice("sounds/a.wav"), "sounds\\a.wav");
}

TEST(ContactRules, OnlyOneFinalLineBreakIsDropped) {
    EXPECT_EQ(withoutFinalLineBreak("a\r\n\r\n"), "a\r\n");
    EXPECT_EQ(withoutFinalLineBreak("a\n"), "a\n");
    EXPECT_EQ(withoutFinalLineBreak("\r\n"), "");
}

}  // namespace
}  // namespace orvale::contacts
