#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "syncml/codec/RecordArena.h"

namespace orvale {
namespace {

// Values arrive in pieces between the records around them: every value keeps its bytes wherever
// it moves (a full block, past the size that gets a block of its own), and no record is overwritten.
TEST(RecordArena, ValuesGrownInPiecesKeepTheirBytesAndLeaveRecordsAlone) {
    struct Case {
        std::size_t piece;
        std::size_t total;
    };
    const std::vector<Case> cases = {{1, 3000}, {7, 9000}, {100, 70000}, {4000, 20000}, {5000, 5000}, {70000, 140000}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.piece) + " " + std::to_string(c.total));
        void* root = RecordArena::newTree(40);
        ASSERT_NE(root, nullptr);
        RecordArena& arena = RecordArena::of(root);
        std::memset(root, 0xA5, 40);
        std::vector<std::uint8_t*> records;
        std::vector<std::pair<std::uint8_t*, std::string>> values;
        for (int v = 0; v < 6; ++v) {
            auto* r = static_cast<std::uint8_t*>(arena.allocate(24));
            ASSERT_NE(r, nullptr);
            ASSERT_EQ(reinterpret_cast<std::uintptr_t>(r) % alignof(void*), 0u);
            EXPECT_EQ(std::string(reinterpret_cast<char*>(r), 24), std::string(24, '\0'));
            std::memset(r, 0x5A, 24);
            records.push_back(r);
            std::string expected;
            void* block = nullptr;
            while (expected.size() < c.total) {
                const std::string piece(c.piece, static_cast<char>('a' + (expected.size() / c.piece + v) % 26));
                void* grown = arena.grow(block, expected.size(), expected.size() + piece.size());
                ASSERT_NE(grown, nullptr);
                std::memcpy(static_cast<char*>(grown) + expected.size(), piece.data(), piece.size());
                expected += piece;
                block = grown;
            }
            values.emplace_back(static_cast<std::uint8_t*>(block), expected);
        }
        for (const auto& [bytes, expected] : values) EXPECT_EQ(std::string(reinterpret_cast<char*>(bytes), expected.size()), expected);
        for (std::uint8_t* r : records) EXPECT_EQ(std::string(reinterpret_cast<char*>(r), 24), std::string(24, '\x5A'));
        EXPECT_EQ(std::string(static_cast<char*>(root), 40), std::string(40, '\xA5'));
        RecordArena::freeTree(root);
    }
}

}  // namespace
}  // namespace orvale
