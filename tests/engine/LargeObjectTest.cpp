// The chunk logic of large objects on its own: how much of an item fits a message, and what becomes
// of each received item while a large object is, or is not, pending.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "engine/LargeObject.h"

namespace orvale {
namespace {

TEST(LargeObject, ChunkIsCutToTheRoomTheEncodedCommandLeaves) {
    const auto wbxml = [](std::size_t n) { return 60 + n + 1; };      // inline string: bytes and a terminator
    const auto escaped = [](std::size_t n) { return 60 + 5 * n; };    // every byte an XML reference
    const auto never = [](std::size_t n) { return 2000 + n; };         // overhead alone exceeds the room
    struct Case {
        std::size_t room, available;
        std::size_t (*encoded)(std::size_t);
        std::size_t want;
    } cases[] = {
        {1000, 5000, +wbxml, 939},
        {1000, 100, +wbxml, 100},
        {1000, 939, +wbxml, 939},
        {1000, 5000, +never, 0},
        {1000, 0, +wbxml, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(chunkThatFits(c.room, c.available, c.encoded), c.want) << c.room << " " << c.available;
    }
    const std::size_t n = chunkThatFits(1000, 5000, +escaped);
    EXPECT_LE(escaped(n), 1000u);
    EXPECT_GT(n, 100u);
}

TEST(LargeObject, NoContinuationChunkBeginsWithWhiteSpace) {
    using namespace std::string_literals;
    struct Case {
        std::string rest;
        std::size_t n, want;
    } cases[] = {
        {"ABCDEF", 3, 3},                  // the next chunk begins with text
        {"AB \r\n CD", 3, 1},             // back to the text before the run of white space
        {"A\r\n DEF", 4, 4},               // a folded line: the cut lands on its text
        {"AB\t\v\0XY"s, 4, 1},
        {"AB  ", 2, 1},
        {"     XY", 3, 3},                  // white space up to the room: nothing better to cut at
        {"ABC", 3, 3},                      // the last chunk
        {"ABC", 0, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(chunkEndBeforeText(c.rest, c.n), c.want) << c.rest;
    }
}

struct Step {
    const char* key;
    const char* data;
    bool more;
    std::optional<std::uint64_t> size;
    int status;                   // 0: the item is applied
    const char* applied;          // the text applied, for status 0
    const char* interrupted = ""; // the pending object this item interrupted
    CommandKind kind = CommandKind::Add;
};

TEST(LargeObject, ReceivedItemsAreKeptJoinedOrRefusedByTheirChunkFlags) {
    constexpr auto Replace = CommandKind::Replace;
    const std::vector<std::vector<Step>> sequences = {
        // three chunks with the right total; chunks in one message are appended alike
        {{"a", "abc", true, 9, 213, ""}, {"a", "def", true, {}, 213, ""}, {"a", "ghi", false, {}, 0, "abcdefghi"}},
        // one byte short, and one byte past the size in the middle of a sequence
        {{"a", "abc", true, 9, 213, ""}, {"a", "defgh", false, {}, 424, ""}, {"b", "x", false, {}, 0, "x"}},
        {{"a", "abc", true, 5, 213, ""}, {"a", "def", true, {}, 424, ""}, {"a", "g", false, {}, 424, ""},
         {"b", "x", false, {}, 0, "x"}},
        // no size, or a size beyond the bound: refused at once and to the end, nothing kept
        {{"a", "abc", true, {}, 411, ""}, {"a", "d", false, {}, 411, ""}, {"a", "e", false, {}, 0, "e"}},
        {{"a", "abc", true, 101, 416, ""}, {"a", "d", true, {}, 416, ""}, {"a", "e", false, {}, 416, ""}},
        {{"a", "", true, 100, 213, ""}, {"a", "x", false, {}, 424, ""}},
        // another item interrupts the pending object, whether whole or chunked itself
        {{"a", "abc", true, 9, 213, ""}, {"b", "whole", false, {}, 0, "whole", "a"}},
        {{"a", "abc", true, 9, 213, ""}, {"b", "xy", true, 4, 213, "", "a"}, {"b", "zw", false, {}, 0, "xyzw"}},
        {{"a", "abc", true, 9, 213, ""}, {"a", "defghi", false, {}, 0, "defghi", "a", Replace}},
        // a chunk refused for its size does not start an object of the next item
        {{"a", "abc", true, 101, 416, ""}, {"b", "xy", true, 2, 213, ""}, {"b", "", false, {}, 0, "xy"}},
    };
    int n = 0;
    for (const auto& sequence : sequences) {
        IncomingLargeObject incoming(100);
        int s = 0;
        for (const Step& step : sequence) {
            ArrivingItem item;
            item.kind = step.kind;
            item.folder = 0;
            item.key = step.key;
            item.data = step.data;
            item.moreData = step.more;
            item.declaredSize = step.size;
            ChunkOutcome out = incoming.receive(item);
            const std::string where = "sequence " + std::to_string(n) + " step " + std::to_string(s++);
            if (step.status == 0) {
                ASSERT_EQ(out.action, ChunkOutcome::Action::Apply) << where << " status " << out.status;
                EXPECT_EQ(out.joined ? out.text : std::string(step.data), step.applied) << where;
            } else {
                ASSERT_EQ(out.action, ChunkOutcome::Action::Status) << where;
                EXPECT_EQ(out.status, step.status) << where;
            }
            EXPECT_EQ(out.interrupted ? out.interrupted->key() : std::string(), step.interrupted) << where;
        }
        ++n;
    }
}

}  // namespace
}  // namespace orvale
