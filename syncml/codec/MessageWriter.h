#pragma once
// An encoder that writes a whole message into a caller's buffer, one toolkit step at a time. The
// toolkit instance holds one of these per message under construction, whatever the encoding.
#include <cstddef>
#include <cstdint>

#include "syncml/codec/EncoderSink.h"

namespace orvale {

class MessageWriter : public EncoderSink {
public:
    // Writes into buf[0..capacity); in count-only mode nothing is stored and only the count advances.
    virtual void begin(std::uint8_t* buf, std::size_t capacity, bool countOnly = false) = 0;
    virtual std::size_t written() const = 0;

    // The state that outlives one step (current page, open depth), to undo a failed step.
    struct State {
        std::uint8_t page;
        int depth;
    };
    virtual State state() const = 0;
    virtual void restore(State s) = 0;

    // What comes before the root element: the WBXML header, or the XML declaration.
    virtual ToolkitCode documentHeader() = 0;
};

}  // namespace orvale
