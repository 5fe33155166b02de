// Hostile text: the parser stays bounded in memory and time, and a text beyond the bounds is no
// document rather than a partial one.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "stores/versit/VersitDocument.h"
#include "stores/versit/VersitLimits.h"

namespace orvale {
namespace {

std::string nested(std::size_t depth) {
    std::string text;
    for (std::size_t i = 0; i < depth; ++i) text += "BEGIN:X\r\nP:v\r\n";
    for (std::size_t i = 0; i < depth; ++i) text += "END:X\r\n";
    return text;
}

std::string card(const std::string& body) { return "BEGIN:VCARD\r\n" + body + "END:VCARD\r\n"; }

bool parses(const std::string& text) {
    VersitDocument doc("VCARD", "", "2.1");
    return doc.parse(text);
}

TEST(VersitBadInput, LimitsMakeTheTextNoDocument) {
    EXPECT_TRUE(parses(nested(versit_limits::kMaxDepth)));
    EXPECT_FALSE(parses(nested(versit_limits::kMaxDepth + 1)));

    std::string siblings;
    for (std::size_t i = 0; i + 1 < versit_limits::kMaxComponents; ++i) siblings += "BEGIN:C\r\nEND:C\r\n";
    EXPECT_TRUE(parses(card(siblings)));
    EXPECT_FALSE(parses(card(siblings + "BEGIN:C\r\nEND:C\r\n")));

    // Every ";" is a value or a parameter, each far bigger in memory than in the text.
    EXPECT_TRUE(parses(card("A:" + std::string(1000, ';') + "\r\n")));
    EXPECT_FALSE(parses(card("A:" + std::string(versit_limits::kMaxElements, ';') + "\r\n")));
    EXPECT_FALSE(parses(card("A" + std::string(versit_limits::kMaxElements, ';') + ":v\r\n")));
    std::string many;
    for (std::size_t i = 0; i <= versit_limits::kMaxElements / 2; ++i) many += "T:1\r\n";
    EXPECT_FALSE(parses(card(many)));

    EXPECT_TRUE(parses(card("PHOTO:" + std::string(1 << 20, 'Q') + "\r\n")));
    EXPECT_FALSE(parses(card("PHOTO:" + std::string(versit_limits::kMaxInputBytes, 'Q') + "\r\n")));
}

TEST(VersitBadInput, ParsingAgainAfterAFailureStartsAfresh) {
    VersitDocument doc("VCARD", "", "2.1");
    EXPECT_FALSE(doc.parse(nested(versit_limits::kMaxDepth + 1)));
    EXPECT_TRUE(doc.parse(card("FN:x\r\n")));
    EXPECT_EQ(doc.getValue("FN"), "x");
}

// A long line fed a byte at a time must not be copied again for every byte (quadratic work would
// make this test hang rather than fail, which is still a failure).
TEST(VersitBadInput, ByteByByteFeedingOfALongLine) {
    const std::string text = card("PHOTO:" + std::string(256 * 1024, 'Q') + "\r\n");
    VersitDocument doc("VCARD", "", "2.1");
    doc.beginParse();
    for (const char c : text) doc.feed(std::string_view(&c, 1));
    ASSERT_TRUE(doc.endParse());
    EXPECT_EQ(doc.getValue("PHOTO")->size(), 256u * 1024);
}

// Random texts made of the syntax's own pieces reach every branch of the line reader; none may
// crash, and a split into two chunks anywhere gives what one feed gives.
TEST(VersitBadInput, RandomTextsOfSyntaxPieces) {
    const char* pieces[] = {"BEGIN:", "END:", "VCARD", "VEVENT", ":", ";", "=", "\\", "\r\n", "\r", "\n", " ",
                            "\t", "QUOTED-PRINTABLE", "ENCODING=", "=0D", "=C3=A9", "=\r\n", "N", "TEL", "a", "\xff"};
    std::uint32_t seed = 12345;
    const auto next = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return seed >> 8;
    };
    for (int round = 0; round < 3000; ++round) {
        std::string text = "BEGIN:VCARD\r\n";
        const std::size_t count = next() % 60;
        for (std::size_t i = 0; i < count; ++i) text += pieces[next() % std::size(pieces)];
        if (next() % 2 == 0) text += "\r\nEND:VCARD\r\n";

        VersitDocument whole("VCARD", "", "2.1");
        whole.parse(text);
        const std::string out = whole.serialize();
        (void)whole.getValue("N");
        (void)whole.getProperty("TEL");

        const std::size_t cut = next() % (text.size() + 1);
        VersitDocument split("VCARD", "", "2.1");
        split.beginParse();
        split.feed(std::string_view(text).substr(0, cut));
        split.feed(std::string_view(text).substr(cut));
        split.endParse();
        ASSERT_EQ(split.serialize(), out) << text;

        VersitDocument again("VCARD", "", "2.1");
        again.parse(out);
        (void)again.serialize();
    }
}

}  // namespace
}  // namespace orvale
