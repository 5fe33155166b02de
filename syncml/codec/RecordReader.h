#pragma once
// Builds records from tokens by the element templates. Every block is linked into its parent as
// soon as it is allocated, so a failed read leaves a tree that freeRecordTree releases whole.
#include <cstddef>
#include <unordered_map>

#include "syncml/RecordLayout.h"
#include "syncml/codec/TokenReader.h"

namespace orvale {

class RecordReader {
public:
    explicit RecordReader(TokenReader& tokens) : tokens_(tokens) {}

    // Structural tokens (white space between elements skipped), with one token of look-ahead.
    ToolkitCode next(Token& token);
    ToolkitCode peek(Token& token);

    // Reads the fields of `layout` into `record` up to the End that closes the enclosing element.
    ToolkitCode readBody(const RecordLayout& layout, void* record, int depth);
    // Reads one field whose start tag `start` has just been read.
    ToolkitCode readField(const RecordLayout& layout, void* record, const Token& start, int depth);
    // True when `tag` is a field of `layout`.
    static bool hasField(const RecordLayout& layout, TagId tag);

    // Allocates a record of `layout` into *slot, then reads it (start tag already read).
    ToolkitCode readRecord(const RecordLayout& layout, const Token& start, void** slot, int depth);

    std::size_t offset() const { return tokens_.offset(); }
    // Records of earlier commands may be gone (and their addresses reused): call before each command.
    void forgetLists() { tails_.clear(); }

    static constexpr int kMaxDepth = 24;

private:
    ToolkitCode readPcdata(const Token& start, PcdataRecord** slot, bool allowExtension, int depth);
    ToolkitCode readCtCap(void* devInf, int depth);
    ToolkitCode skipContent();

    // Appends a zeroed node to the list at record+offset; null when out of memory.
    ListNode* appendEntry(void* record, std::size_t offset);

    TokenReader& tokens_;
    // The last node of every list of the current command, so that lists filled in turn (TargetRef
    // and SourceRef of one Status, Rx and Tx of one DataStore) each grow without being walked again.
    std::unordered_map<const void*, ListNode*> tails_;
    bool peeked_ = false;
    Token peekToken_;
};

// Allocation helpers shared by the builders.
void* allocateRecord(std::size_t size);

}  // namespace orvale
