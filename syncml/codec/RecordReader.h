#pragma once
// Builds records from tokens by the element templates. Each tree (a header, a command, a DevInf
// document) is allocated from an arena of its own whose root is the tree's record, so a failed read
// leaves a tree that freeRecordTree releases whole.
#include <cstddef>
#include <cstdint>
#include <unordered_map>

#include "syncml/RecordLayout.h"
#include "syncml/codec/RecordArena.h"
#include "syncml/codec/TokenReader.h"

namespace orvale {

class RecordReader {
public:
    explicit RecordReader(TokenReader& tokens) : tokens_(tokens) {}

    // Structural tokens (white space between elements skipped), with one token of look-ahead.
    ToolkitCode next(Token& token);
    ToolkitCode peek(Token& token);

    // Starts a new tree: its zeroed root record, from whose arena the following reads allocate. Null
    // when out of memory.
    void* newTree(std::size_t rootSize);
    // A new tree of `layout` into *root, then read (start tag already read). *root is null only when
    // there was no memory for it.
    ToolkitCode readTree(const RecordLayout& layout, const Token& start, void** root, int depth);

    // Reads the fields of `layout` into `record` (of the current tree) up to the End that closes the
    // enclosing element.
    ToolkitCode readBody(const RecordLayout& layout, void* record, int depth);
    // Reads one field whose start tag `start` has just been read.
    ToolkitCode readField(const RecordLayout& layout, void* record, const Token& start, int depth);
    // True when `tag` is a field of `layout`.
    static bool hasField(const RecordLayout& layout, TagId tag);

    std::size_t offset() const { return tokens_.offset(); }
    // Records of earlier commands may be gone (and their addresses reused): call before each command.
    void forgetLists() { tails_.clear(); }

    static constexpr int kMaxDepth = 24;

private:
    // Allocates a record of `layout` into *slot, then reads it (start tag already read).
    ToolkitCode readRecord(const RecordLayout& layout, const Token& start, void** slot, int depth);
    ToolkitCode readPcdata(const Token& start, PcdataRecord** slot, bool allowExtension, int depth);
    ToolkitCode readCtCap(void* devInf, int depth);
    ToolkitCode skipContent();
    ToolkitCode appendBytes(PcdataRecord& p, const std::uint8_t* data, std::size_t size);
    bool appendAt(ListNode**& end, void* element);

    // Appends a zeroed node to the list at record+offset; null when out of memory.
    ListNode* appendEntry(void* record, std::size_t offset);

    TokenReader& tokens_;
    RecordArena* arena_ = nullptr;  // of the tree being read; it belongs to the tree's root
    // The last node of every list of the current command, so that lists filled in turn (TargetRef
    // and SourceRef of one Status, Rx and Tx of one DataStore) each grow without being walked again.
    std::unordered_map<const void*, ListNode*> tails_;
    bool peeked_ = false;
    Token peekToken_;
};

}  // namespace orvale
