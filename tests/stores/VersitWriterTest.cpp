// What the stores' documents look like as text, and that every value they put in comes back out of
// the text unchanged.
#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

#include "stores/versit/VersitDocument.h"

namespace orvale {
namespace {

constexpr const char* kQp = ";ENCODING=QUOTED-PRINTABLE;CHARSET=UTF-8";

// The text between the VERSION line and END:VCARD.
std::string written(const char* nameKey, const std::string& value) {
    VersitDocument doc("VCARD", "", "2.1");
    doc.addProperty(nameKey, value);
    std::string text = doc.serialize();
    const std::string head = "BEGIN:VCARD\r\n";
    const std::string version = "VERSION:2.1\r\n";
    const std::string tail = "END:VCARD\r\n";
    text = text.substr(head.size(), text.size() - head.size() - tail.size());
    const auto at = text.find(version);
    return text.erase(at, version.size());
}

std::vector<std::string> physicalLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
        lines.push_back(text.substr(start, end - start));
    }
    return lines;
}

TEST(VersitWriter, NewDocuments) {
    EXPECT_EQ(VersitDocument("VCARD", "", "2.1").serialize(), "BEGIN:VCARD\r\nVERSION:2.1\r\nEND:VCARD\r\n");
    VersitDocument task("VCALENDAR", "VTODO", "1.0");
    task.addProperty("SUMMARY", std::string("Call back"));
    EXPECT_EQ(task.serialize(),
              "BEGIN:VCALENDAR\r\n"
              "PRODID:-//Tarnwell Corporation//Orvale for Windows Mobile 1.0.13//EN\r\n"
              "VERSION:1.0\r\n"
              "BEGIN:VTODO\r\nSUMMARY:Call back\r\nEND:VTODO\r\n"
              "END:VCALENDAR\r\n");
    EXPECT_EQ(task.getValue("SUMMARY"), "Call back");
}

TEST(VersitWriter, PropertyLines) {
    struct Case {
        const char* nameKey;
        std::string value;
        std::string line;
    } cases[] = {
        {"NOTE", "a;b", "NOTE:a\\;b\r\n"},
        // Only ";" and the backslash are escaped: readers show a backslash before "," or ":".
        {"NOTE", "x:y", "NOTE:x:y\r\n"},
        {"NOTE", "a,b\\c", "NOTE:a,b\\\\c\r\n"},
        {"NOTE", "tab\tand space ok", "NOTE:tab\tand space ok\r\n"},
        {"NOTE", "one\r\ntwo", std::string("NOTE") + kQp + ":one=0D=0Atwo\r\n"},
        {"NOTE", "lf\ncr\r", std::string("NOTE") + kQp + ":lf=0Acr=0D\r\n"},
        {"NOTE", "a=41;\x7f", std::string("NOTE") + kQp + ":a=3D41\\;=7F\r\n"},
        {"FN", "J\xc3\xbcrgen", std::string("FN") + kQp + ":J=C3=BCrgen\r\n"},
        {"TEL;WORK;FAX", "123", "TEL;WORK;FAX:123\r\n"},
        {"TEL;;HOME;", "1", "TEL;HOME:1\r\n"},
        // Pictures are Base64 and never quoted-printable, whatever bytes they are given; they fold.
        {"PHOTO;ENCODING=BASE64;TYPE=JPEG", "QUJD\xff=", "PHOTO;ENCODING=BASE64;TYPE=JPEG:QUJD\xff=\r\n"},
        {"PHOTO;ENCODING=BASE64", std::string(100, 'Q'),
         "PHOTO;ENCODING=BASE64:" + std::string(53, 'Q') + "\r\n " + std::string(47, 'Q') + "\r\n"},
        // Plain text is not folded: readers disagree on the fold's space, and words came back broken.
        {"NOTE", std::string(100, 'a'), "NOTE:" + std::string(100, 'a') + "\r\n"},
        {"NOTE", "Projektbesprechung " + std::string(70, 'x'), "NOTE:Projektbesprechung " + std::string(70, 'x') + "\r\n"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(written(c.nameKey, c.value), c.line) << c.nameKey << " " << c.value;
    }
}

TEST(VersitWriter, StructuredValuesAndOrder) {
    VersitDocument doc("VCARD", "", "2.1");
    doc.addProperty("TEL;WORK", std::string("1"));
    doc.addProperty("N", {"Smith", "Jo;Ann"});
    doc.addProperty("N", {"Second", "Name"});
    doc.addProperty("FN", "literal");
    doc.addProperty("TEL;HOME", std::string("2"));
    doc.addProperty("ADR;WORK", {"", "", "Main St", "M\xc3\xa1laga"});
    doc.addProperty("TEL;WORK", std::string("3"));
    EXPECT_EQ(doc.serialize(),
              "BEGIN:VCARD\r\n"
              "ADR;WORK;ENCODING=QUOTED-PRINTABLE;CHARSET=UTF-8:;;Main St;M=C3=A1laga\r\n"
              "FN:literal\r\n"
              "N:Smith;Jo\\;Ann\r\nN:Second;Name\r\n"
              "TEL;WORK:1\r\nTEL;HOME:2\r\nTEL;WORK:3\r\n"
              "VERSION:2.1\r\n"
              "END:VCARD\r\n");
    EXPECT_EQ(doc.serialize(), doc.serialize());  // writing leaves the document as it was
    EXPECT_EQ(doc.getValue("N"), "Smith;Jo;Ann");
}

// A soft break never splits an "=XX" triple, and no physical line exceeds 76 characters, wherever
// the triples fall.
TEST(VersitWriter, QuotedPrintableFoldsBetweenTriples) {
    for (std::size_t prefix = 0; prefix < 4; ++prefix) {
        for (const std::string unit : {"\xc3\xa9", "=", "x\xe2\x82\xac"}) {
            std::string value(prefix, 'p');
            while (value.size() < 240) value += unit;
            const std::string line = written("NOTE", value);
            const auto lines = physicalLines(line);
            ASSERT_GT(lines.size(), 2u);
            for (std::size_t i = 0; i < lines.size(); ++i) {
                std::string l = lines[i];
                EXPECT_LE(l.size(), 76u) << l;
                if (i + 1 < lines.size()) {
                    ASSERT_EQ(l.back(), '=') << l;
                    l.pop_back();
                }
                for (std::size_t at = l.find('=', l.find(':') + 1); at != std::string::npos; at = l.find('=', at + 1)) {
                    ASSERT_LE(at + 2, l.size() - 1) << "split triple in " << l;
                    EXPECT_TRUE(std::isxdigit(static_cast<unsigned char>(l[at + 1])) &&
                                std::isxdigit(static_cast<unsigned char>(l[at + 2])))
                        << l;
                }
            }
        }
    }
}

TEST(VersitWriter, ValuesComeBackUnchanged) {
    const std::vector<std::string> values = {
        "plain",
        "a;b,c:d\\e",
        "a=41 must stay a=41",
        "line one\r\nline two\r\n\r\nafter an empty line",
        "lone\rCR and lone\nLF",
        "\xe4\xb8\xad\xe6\x96\x87 and \xf0\x9f\x98\x80",
        "ends with a backslash\\",
        "tab\tinside",
        std::string(300, 'x'),
        std::string(200, ';'),
        [] {
            std::string s;
            for (int i = 1; i < 256; ++i) s += static_cast<char>(i);
            return "x" + s + "x";
        }(),
    };
    for (const auto& value : values) {
        VersitDocument out("VCARD", "", "2.1");
        out.addProperty("NOTE", value);
        VersitDocument in("VCARD", "", "2.1");
        ASSERT_TRUE(in.parse(out.serialize())) << value;
        EXPECT_EQ(in.getValue("NOTE"), value) << out.serialize();
    }
    // Components keep their boundaries, also after a component that ends in a backslash.
    const std::vector<std::string> parts = {"a\\", "b;c", "", "d\r\n", "\\"};
    VersitDocument out("VCARD", "", "2.1");
    out.addProperty("X-PARTS", parts);
    VersitDocument in("VCARD", "", "2.1");
    ASSERT_TRUE(in.parse(out.serialize()));
    EXPECT_EQ(in.lookupComponent()->property("X-PARTS")->values(), parts) << out.serialize();
}

}  // namespace
}  // namespace orvale
