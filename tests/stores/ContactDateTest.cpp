#include "stores/contacts/ContactDate.h"

#include <gtest/gtest.h>

namespace orvale::contacts {
namespace {

TEST(ContactDate, ReadsBothDateForms) {
    struct Case {
        const char* text;
        std::optional<ContactDate> date;
    } cases[] = {
        {"19700131", ContactDate{1970, 1, 31}},
        {"1970-01-31", ContactDate{1970, 1, 31}},
        {"1970-01-31T00:00:00Z", ContactDate{1970, 1, 31}},
        {"20000229", ContactDate{2000, 2, 29}},
        {"19000229", std::nullopt},  // not a leap year
        {"20070431", std::nullopt},
        {"20071301", std::nullopt},
        {"2007010", std::nullopt},
        {"2007-1-01", std::nullopt},
        {"2007x101", std::nullopt},
        {"", std::nullopt},
        {"15000101", std::nullopt},  // before the device's first day
    };
    for (const auto& c : cases) EXPECT_EQ(parseContactDate(c.text), c.date) << c.text;
}

TEST(ContactDate, FileTimesAgreeWithKnownInstants) {
    // 1970-01-01 is 116444736000000000 ticks after 1601-01-01; 4501-01-01 is the device's "no date".
    EXPECT_EQ(fileTimeOfDate({1970, 1, 1}), 116444736000000000ULL);
    EXPECT_EQ(fileTimeOfDate({1601, 1, 1}), 0ULL);
    EXPECT_EQ(fileTimeOfDate(kNoDate), 915151392000000000ULL);
    for (const ContactDate d : {ContactDate{1970, 1, 31}, ContactDate{2000, 2, 29}, ContactDate{2400, 12, 31},
                                ContactDate{1900, 3, 1}, kNoDate}) {
        EXPECT_EQ(dateOfFileTime(fileTimeOfDate(d)), d);
    }
    EXPECT_EQ(dateOfFileTime(fileTimeOfDate({2007, 6, 5}) + 863'999'999'999ULL), (ContactDate{2007, 6, 5}));
    EXPECT_EQ(dateOfFileTime(0xFFFFFFFFULL), std::nullopt);  // high half zero: the device's unset value
}

TEST(ContactDate, TheNoDateValueIsWrittenAsNothing) {
    EXPECT_EQ(formatContactDate({1970, 1, 31}), "19700131");
    EXPECT_EQ(formatContactDate(kNoDate), "");
    EXPECT_EQ(formatContactDate({4501, 1, 2}), "45010102");
}

}  // namespace
}  // namespace orvale::contacts
