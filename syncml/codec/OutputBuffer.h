#pragma once
// The caller's buffer an encoder writes into, or only counts into.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "syncml/ToolkitCodes.h"

namespace orvale {

class OutputBuffer {
public:
    // Writes into buf[0..capacity); in count-only mode nothing is stored and only the count advances.
    void begin(std::uint8_t* buf, std::size_t capacity, bool countOnly) {
        buf_ = buf;
        capacity_ = capacity;
        pos_ = 0;
        countOnly_ = countOnly;
    }
    std::size_t written() const { return pos_; }

    // 0x2002 when the bytes do not fit; nothing of them is stored then.
    ToolkitCode put(const void* bytes, std::size_t n) {
        if (!countOnly_) {
            if (n > capacity_ - pos_) return code::BufferFull;
            if (n != 0) std::memcpy(buf_ + pos_, bytes, n);
        }
        pos_ += n;
        return code::Ok;
    }

private:
    std::uint8_t* buf_ = nullptr;
    std::size_t capacity_ = 0;
    std::size_t pos_ = 0;
    bool countOnly_ = false;
};

}  // namespace orvale
