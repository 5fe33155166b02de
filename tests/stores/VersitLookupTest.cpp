// What the stores read from a parsed item: getProperty entries and getValue texts, including the
// difference between no text and an empty one.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "stores/versit/VersitDocument.h"

namespace orvale {
namespace {

std::string card(const std::string& body) { return "BEGIN:VCARD\r\nVERSION:2.1\r\n" + body + "END:VCARD\r\n"; }

VersitDocument parsedCard(const std::string& body) {
    VersitDocument doc("VCARD", "", "2.1");
    EXPECT_TRUE(doc.parse(card(body)));
    return doc;
}

TEST(VersitLookup, ValuesOfParsedLines) {
    struct Case {
        const char* body;
        const char* name;
        std::optional<std::string> value;
    } cases[] = {
        {"NOTE:\r\n", "NOTE", std::nullopt},  // an empty value is no property at all
        {"NOTE:   \r\n", "NOTE", std::nullopt},
        {"NOTE:;\r\n", "NOTE", ";"},          // two empty components are still a text
        {"note:lower-case names\r\n", "NOTE", "lower-case names"},
        {"N:a\\;b\\;c;d\r\n", "N", "a;b;c;d"},
        {"NOTE:x\\ny\\Nz\\r\\nw\\rv\\qu\r\n", "NOTE", "x\r\ny\r\nz\r\nw\rvqu"},
        {"NOTE:trailing\\\r\n", "NOTE", "trailing\\"},
        // Decoded once, while parsing: what the text says after decoding is what the store gets.
        {"NOTE;ENCODING=QUOTED-PRINTABLE:a=3D41\r\n", "NOTE", "a=41"},
        {"NOTE;ENCODING=QUOTED-PRINTABLE:=00 and =4 and =G1 and =3\r\n", "NOTE", "=00 and =4 and =G1 and =3"},
        {"NOTE;ENCODING=QUOTED-PRINTABLE:=c3=a9=C3=A9\r\n", "NOTE", "\xc3\xa9\xc3\xa9"},
        {"NOTE;QUOTED-PRINTABLE:soft=\r\n break\r\n", "NOTE", "soft break"},
        // Folded with a space by a writer that knows no soft breaks: nothing of the line is lost.
        {"NOTE;ENCODING=QUOTED-PRINTABLE:spac\r\n es\r\n", "NOTE", "spaces"},
        // The word in a value is text, not an encoding.
        {"NOTE:QUOTED-PRINTABLE=41;x\r\n", "NOTE", "QUOTED-PRINTABLE=41;x"},
        {"NOTE:QUOTED-PRINTABLE=\r\nTITLE:boss\r\n", "TITLE", "boss"},
        {"NOTE:folded\r\n  line\r\n", "NOTE", "folded line"},
        {"NOTE:bare\nline feed\r\n", "NOTE", "bare\nline feed"},
        {"FN:x\r\n", "NOTE", std::nullopt},
        // Our earlier exports escaped "," and ":"; servers still hold them.
        {"NOTE:Raum 3\\, Geb\\:aeude\r\n", "NOTE", "Raum 3, Geb:aeude"},
        // BEGIN and END are property names, never words inside a value.
        {"NOTE:Agenda - BEGIN:9am, END:5pm\r\nTITLE:boss\r\n", "NOTE", "Agenda - BEGIN:9am, END:5pm"},
        {"NOTE:Agenda - BEGIN:9am, END:5pm\r\nTITLE:boss\r\n", "TITLE", "boss"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(parsedCard(c.body).getValue(c.name), c.value) << c.body;
    }
}

TEST(VersitLookup, EntriesKeepParametersInCanonicalOrder) {
    struct Case {
        const char* body;
        const char* name;
        std::vector<std::string> entries;
    } cases[] = {
        {"TEL;WORK;FAX:123\r\n", "TEL", {";WORK;FAX:123"}},
        {"PHOTO;ENCODING=BASE64;TYPE=JPEG:QUJD\r\n", "PHOTO", {";ENCODINGBASE64;TYPEJPEG:QUJD"}},
        {"tel;type=cell;x=1;PREF;b=2;b=1;home:5\r\n", "TEL", {";PREF;HOME;B2;B1;TYPECELL;X1:5"}},
        {"TEL;HOME:1\r\nEMAIL:e\r\nTEL;WORK:2\r\nTEL:3\r\n", "TEL", {";HOME:1", ";WORK:2", ":3"}},
        {"EMAIL;TYPE=A=B:x\r\n", "EMAIL", {";TYPEA:x"}},
        {"NOTE;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:=C3=A9\r\n", "NOTE", {";CHARSETUTF-8:\xc3\xa9"}},
        {"ADR;WORK:;;street\\; 2;town\r\n", "ADR", {";WORK:;;street; 2;town"}},
        {"TEL:1\r\n", "EMAIL", {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(parsedCard(c.body).getProperty(c.name), c.entries) << c.body;
    }
}

TEST(VersitLookup, CalendarReadsTheInnerComponentThenTheOuter) {
    VersitDocument doc("VCALENDAR", "VTODO", "1.0");
    ASSERT_TRUE(doc.parse("BEGIN:VCALENDAR\r\nVERSION:1.0\r\nX-BOTH:outer\r\nBEGIN:VEVENT\r\nSUMMARY:event\r\n"
                          "END:VEVENT\r\nBEGIN:VTODO\r\nSUMMARY:task\r\nX-BOTH:inner\r\nEND:VTODO\r\nEND:VCALENDAR\r\n"));
    EXPECT_EQ(doc.getValue("SUMMARY"), "task");
    EXPECT_EQ(doc.getValue("VERSION"), "1.0");
    EXPECT_EQ(doc.getValue("X-BOTH"), "innerouter");
    EXPECT_EQ(doc.getProperty("VERSION"), std::vector<std::string>{});

    VersitDocument noTask("VCALENDAR", "VTODO", "1.0");
    noTask.parse("BEGIN:VCALENDAR\r\nVERSION:1.0\r\nBEGIN:VEVENT\r\nSUMMARY:x\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n");
    EXPECT_EQ(noTask.lookupComponent(), nullptr);
    EXPECT_EQ(noTask.getValue("VERSION"), std::nullopt);
}

TEST(VersitLookup, TextThatIsNoDocumentHoldsNothing) {
    const char* texts[] = {
        "",
        "FN:no component\r\n",
        "BEGIN:VCARD\r\nFN:open\r\n",
        "BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nEND:VEVENT\r\n",
        "BEGIN:VCARD\r\nEND:VCARD\r\nBEGIN:VCARD\r\nFN:second left open\r\n",
        "BEGIN:VCARD\nFN:bare line feeds\nEND:VCARD\n",
    };
    for (const char* text : texts) {
        VersitDocument doc("VCARD", "", "2.1");
        EXPECT_FALSE(doc.parse(text)) << text;
        EXPECT_EQ(doc.getValue("FN"), std::nullopt) << text;
        EXPECT_EQ(doc.getValue("VERSION"), std::nullopt) << text;
        EXPECT_TRUE(doc.getProperty("FN").empty()) << text;
        EXPECT_EQ(doc.serialize(), "") << text;
    }
    VersitDocument unterminated("VCARD", "", "2.1");
    EXPECT_TRUE(unterminated.parse("BEGIN:VCARD\r\nFN:x\r\nEND:VCARD"));
    EXPECT_EQ(unterminated.getValue("FN"), "x");
}

}  // namespace
}  // namespace orvale
