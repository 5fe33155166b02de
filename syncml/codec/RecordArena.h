#pragma once
// The memory of one decoded record tree: its root, every record, list node and PCDATA record below
// it and their bytes come from a few large blocks that go back together. A list of 50,000 entries
// is then a dense run of memory instead of 100,000 small blocks scattered over the heap, and freeing
// a tree no longer walks it.
//
// The arena lives in its first block, just before the root, so the root alone finds it again. Small
// allocations are bumped out of blocks that double up to kMaxBlock; anything larger than kLargeSize
// gets a block of its own, sized exactly as a separate allocation would be. Nothing is freed before
// the whole tree: the memory a tree holds stays proportional to the bytes it was decoded from.
#include <cstddef>

namespace orvale {

class RecordArena {
public:
    // A new arena and its zeroed root of `rootSize` bytes; null when out of memory.
    static void* newTree(std::size_t rootSize);
    // The arena of a root made by newTree.
    static RecordArena& of(void* root);
    // Frees the root and everything allocated from its arena. A null root is ignored.
    static void freeTree(void* root);

    // Zeroed, aligned for any record; null when out of memory.
    void* allocate(std::size_t size);
    // Grows the byte block `block` (null: none yet) of `oldSize` to `newSize`, keeping its bytes; the
    // block moves unless it is the last allocation and there is room after it. Null when out of memory
    // (the old block is untouched).
    void* grow(void* block, std::size_t oldSize, std::size_t newSize);

    RecordArena(const RecordArena&) = delete;
    RecordArena& operator=(const RecordArena&) = delete;

    static constexpr std::size_t kFirstBlock = 512;
    static constexpr std::size_t kMaxBlock = 64 * 1024;
    static constexpr std::size_t kLargeSize = 4 * 1024;

    struct Block;  // the header of each block (RecordArena.cpp)

private:
    RecordArena() = default;
    ~RecordArena() = default;

    void* bump(std::size_t size);
    void* allocateLarge(std::size_t size);

    Block* current_ = nullptr;  // blocks that allocations are bumped from, newest first
    Block* large_ = nullptr;    // blocks of one allocation each, newest first
    std::size_t nextCapacity_ = kFirstBlock;
};

}  // namespace orvale
