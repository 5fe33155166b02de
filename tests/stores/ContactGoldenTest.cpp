// vCards we wrote, imported into the device store and exported again, compared byte for byte.
#include <gtest/gtest.h>

#include "platform/Base64.h"
#include "platform/pim/PimSession.h"
#include "stores/contacts/ContactDevice.h"
#include "stores/contacts/ContactVCard.h"
#include "support/TempDeviceRoot.h"

namespace orvale::contacts {
namespace {

const std::filesystem::path kData = std::filesystem::path(ORVALE_TEST_DATA) / "contacts";

class ContactGoldenTest : public ::testing::Test {
protected:
    ContactGoldenTest() { EXPECT_TRUE(platform::pim::Session::logOn()); }
    ~ContactGoldenTest() override { platform::pim::Session::logOff(); }

    std::string roundTrip(const std::string& vcard, std::string& key) {
        const auto fields = importVCard(vcard);
        EXPECT_TRUE(fields.has_value());
        if (!fields) return {};
        EXPECT_TRUE(writeContact(*fields, key, {}));
        const DeviceContact read = readContact(key);
        return exportVCard(read.fields, key, read.pictureType);
    }

    test::TempDeviceRoot root;
};

TEST_F(ContactGoldenTest, ExportsMatchTheExpectedTextByteForByte) {
    for (const char* name : {"every-property", "edge-cases", "photo-jpeg", "photo-png", "photo-gif", "photo-bmp"}) {
        std::string key;
        const std::string exported = roundTrip(test::readFileBytes(kData / (std::string(name) + ".vcf")), key);
        std::string expected = test::readFileBytes(kData / (std::string(name) + ".expected.vcf"));
        const std::size_t at = expected.find("@KEY@");
        ASSERT_NE(at, std::string::npos) << name;
        expected.replace(at, 5, key);
        EXPECT_EQ(exported, expected) << name;
        // What we export comes back unchanged: nothing grows or shrinks over repeated syncs.
        std::string again = key;
        EXPECT_EQ(roundTrip(exported, again), expected) << name;
    }
}

TEST_F(ContactGoldenTest, ReplacingResetsWhatTheNewTextLacksAndPicturesStayWhole) {
    std::string key;
    const std::string big = "\xFF\xD8\xFF" + std::string(70'000, 'p');
    ContactFields fields;
    fields[ContactField::FormattedName] = "Pic";
    fields[ContactField::Picture] = platform::base64Encode(big);
    ASSERT_TRUE(writeContact(fields, key, {}));
    const DeviceContact read = readContact(key);
    EXPECT_EQ(read.pictureType, "JPEG");
    EXPECT_EQ(platform::base64Decode(read.fields[ContactField::Picture]), big);

    std::string same = key;
    ASSERT_TRUE(writeContact(*importVCard("BEGIN:VCARD\r\nVERSION:2.1\r\nTITLE:Boss\r\nEND:VCARD\r\n"), same, {}));
    const DeviceContact after = readContact(key);
    EXPECT_EQ(after.fields[ContactField::Picture], "");
    EXPECT_EQ(after.fields[ContactField::FormattedName], "");
    EXPECT_EQ(after.fields[ContactField::Title], "Boss");

    std::string gone = "123456";  // names no contact: the write is reported as failed
    EXPECT_FALSE(writeContact(fields, gone, {}));
    EXPECT_FALSE(importVCard("BEGIN:VCALENDAR\r\nEND:VCALENDAR\r\n").has_value());
}

}  // namespace
}  // namespace orvale::contacts
