// The golden corpus: each item of tests/data/versit is parsed and written back, and the text must equal
// its .expected file byte for byte (an empty file for a text that is no document). Setting
// ORVALE_WRITE_GOLDEN=1 rewrites the expected files instead; review the diff before committing it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "stores/versit/VersitDocument.h"
#include "support/TempDeviceRoot.h"

namespace orvale {
namespace {

namespace fs = std::filesystem;

const fs::path kCorpus = fs::path(ORVALE_TEST_DATA) / "versit";

std::vector<fs::path> corpusItems() {
    std::vector<fs::path> items;
    for (const auto& entry : fs::directory_iterator(kCorpus)) {
        const auto ext = entry.path().extension();
        if (ext == ".vcf" || ext == ".vcs") items.push_back(entry.path());
    }
    std::sort(items.begin(), items.end());
    return items;
}

VersitDocument documentFor(const fs::path& item) {
    if (item.extension() == ".vcs") return VersitDocument("VCALENDAR", "VEVENT", "1.0");
    return VersitDocument("VCARD", "", "2.1");
}

fs::path expectedFor(const fs::path& item) {
    fs::path p = item;
    p.replace_extension(".expected");
    return p;
}

std::string parsedAndWritten(const fs::path& item, const std::string& text) {
    VersitDocument doc = documentFor(item);
    doc.parse(text);
    return doc.serialize();
}

TEST(VersitCorpus, WritesEveryItemAsItsExpectedFile) {
    const auto items = corpusItems();
    ASSERT_GE(items.size(), 10u);
    const bool regenerate = std::getenv("ORVALE_WRITE_GOLDEN") != nullptr;
    for (const auto& item : items) {
        const std::string written = parsedAndWritten(item, test::readFileBytes(item));
        if (regenerate) {
            test::writeFileBytes(expectedFor(item), written);
            continue;
        }
        ASSERT_TRUE(fs::exists(expectedFor(item))) << item;
        EXPECT_EQ(written, test::readFileBytes(expectedFor(item))) << item.filename();
    }
}

// What the codec writes, it reads back to the same document: writing the expected text again gives
// the same bytes.
TEST(VersitCorpus, ExpectedFilesAreFixedPoints) {
    for (const auto& item : corpusItems()) {
        const std::string expected = test::readFileBytes(expectedFor(item));
        if (expected.empty()) continue;
        EXPECT_EQ(parsedAndWritten(item, expected), expected) << item.filename();
    }
}

// Chunk boundaries anywhere, CR LF pairs split between chunks included, change nothing.
TEST(VersitCorpus, ChunkedFeedingMatchesOneFeed) {
    for (const auto& item : corpusItems()) {
        const std::string text = test::readFileBytes(item);
        const std::string whole = parsedAndWritten(item, text);
        for (const std::size_t chunk : {1u, 2u, 3u, 7u, 64u}) {
            VersitDocument doc = documentFor(item);
            doc.beginParse();
            for (std::size_t at = 0; at < text.size(); at += chunk) doc.feed(std::string_view(text).substr(at, chunk));
            doc.endParse();
            EXPECT_EQ(doc.serialize(), whole) << item.filename() << " in chunks of " << chunk;
        }
    }
}

}  // namespace
}  // namespace orvale
