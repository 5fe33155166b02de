#include "syncml/codec/RecordArena.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

#include "syncml/ToolkitRecords.h"

namespace orvale {

namespace {

// Records hold pointers and 32-bit words only.
constexpr std::size_t kAlign = alignof(void*);
static_assert(alignof(std::uint32_t) <= kAlign && alignof(PcdataRecord) <= kAlign && alignof(ListNode) <= kAlign &&
              alignof(DevInfRecord) <= kAlign && alignof(StatusRecord) <= kAlign);

constexpr std::size_t kNoSize = SIZE_MAX;

// `n` rounded up to the alignment; kNoSize when that does not fit a size_t.
constexpr std::size_t aligned(std::size_t n) {
    return n > kNoSize - (kAlign - 1) ? kNoSize : (n + kAlign - 1) / kAlign * kAlign;
}

}  // namespace

struct RecordArena::Block {
    Block* previous;
    std::size_t capacity;  // bytes after the header
    std::size_t used;
};

namespace {

constexpr std::size_t kHeader = aligned(sizeof(RecordArena::Block));
constexpr std::size_t kArenaSize = aligned(sizeof(RecordArena));

unsigned char* dataOf(RecordArena::Block* b) { return reinterpret_cast<unsigned char*>(b) + kHeader; }

// A block with room for `capacity` bytes, `used` of them taken; null when out of memory.
RecordArena::Block* newBlock(std::size_t capacity, std::size_t used, RecordArena::Block* previous) {
    if (capacity > kNoSize - kHeader) return nullptr;
    void* memory = std::malloc(kHeader + capacity);
    if (memory == nullptr) return nullptr;
    return new (memory) RecordArena::Block{previous, capacity, used};
}

void freeBlocks(RecordArena::Block* b) {
    while (b != nullptr) {
        RecordArena::Block* previous = b->previous;
        std::free(b);
        b = previous;
    }
}

}  // namespace

void* RecordArena::newTree(std::size_t rootSize) {
    const std::size_t root = aligned(rootSize);
    if (root > kNoSize - kArenaSize) return nullptr;
    const std::size_t used = kArenaSize + root;
    Block* b = newBlock(used > kFirstBlock ? used : kFirstBlock, used, nullptr);
    if (b == nullptr) return nullptr;
    auto* arena = new (dataOf(b)) RecordArena();
    arena->current_ = b;
    arena->nextCapacity_ = 2 * kFirstBlock;
    unsigned char* r = dataOf(b) + kArenaSize;
    std::memset(r, 0, root);
    return r;
}

RecordArena& RecordArena::of(void* root) {
    return *std::launder(reinterpret_cast<RecordArena*>(static_cast<unsigned char*>(root) - kArenaSize));
}

void RecordArena::freeTree(void* root) {
    if (root == nullptr) return;
    RecordArena& arena = of(root);
    Block* large = arena.large_;
    Block* current = arena.current_;
    arena.~RecordArena();
    freeBlocks(large);
    freeBlocks(current);  // the first block, which held the arena, goes last
}

void* RecordArena::bump(std::size_t size) {
    const std::size_t n = aligned(size);
    if (n == kNoSize) return nullptr;
    if (n <= current_->capacity - current_->used) {
        unsigned char* p = dataOf(current_) + current_->used;
        current_->used += n;
        return p;
    }
    Block* b = newBlock(n > nextCapacity_ ? n : nextCapacity_, n, current_);
    if (b == nullptr) return nullptr;
    current_ = b;
    if (nextCapacity_ < kMaxBlock) nextCapacity_ *= 2;
    return dataOf(b);
}

void* RecordArena::allocateLarge(std::size_t size) {
    Block* b = newBlock(size, size, large_);
    if (b == nullptr) return nullptr;
    large_ = b;
    return dataOf(b);
}

void* RecordArena::allocate(std::size_t size) {
    void* p = size > kLargeSize ? allocateLarge(size) : bump(size);
    if (p != nullptr) std::memset(p, 0, size);
    return p;
}

void* RecordArena::grow(void* block, std::size_t oldSize, std::size_t newSize) {
    if (block != nullptr) {
        if (large_ != nullptr && block == dataOf(large_)) {
            // A block of its own grows as a separate allocation would.
            if (newSize > kNoSize - kHeader) return nullptr;
            void* moved = std::realloc(large_, kHeader + newSize);
            if (moved == nullptr) return nullptr;
            large_ = static_cast<Block*>(moved);
            large_->capacity = large_->used = newSize;
            return dataOf(large_);
        }
        // The last allocation of the current block grows in place while the block has room.
        const std::size_t oldEnd = aligned(oldSize);
        const std::size_t newEnd = aligned(newSize);
        if (oldEnd <= current_->used && newEnd != kNoSize) {
            const std::size_t offset = current_->used - oldEnd;
            if (dataOf(current_) + offset == block && newEnd <= current_->capacity - offset) {
                current_->used = offset + newEnd;
                return block;
            }
        }
    }
    void* moved = newSize > kLargeSize ? allocateLarge(newSize) : bump(newSize);
    if (moved != nullptr && oldSize != 0) std::memcpy(moved, block, oldSize);
    return moved;
}

}  // namespace orvale
