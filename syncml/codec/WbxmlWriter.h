#pragma once
// WBXML bytes of a SyncML document (or of a nested DevInf document) into a caller's buffer.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "syncml/codec/MessageWriter.h"
#include "syncml/codec/OutputBuffer.h"

namespace orvale {

class WbxmlWriter : public MessageWriter {
public:
    // `document`: SyncML (pages 0 SyncML, 1 MetInf) or DevInf (page 0 DevInf).
    WbxmlWriter(Namespace document, std::uint8_t version);

    void begin(std::uint8_t* buf, std::size_t capacity, bool countOnly = false) override {
        out_.begin(buf, capacity, countOnly);
    }
    std::size_t written() const override { return out_.written(); }
    State state() const override { return State{page_, depth_}; }
    void restore(State s) override {
        page_ = s.page;
        depth_ = s.depth;
    }

    // Version, public identifier through the string table, charset UTF-8, the identifier itself.
    ToolkitCode documentHeader() override;

    ToolkitCode open(TagId tag, bool content) override;
    ToolkitCode close() override;
    ToolkitCode text(const std::uint8_t* bytes, std::size_t length) override;
    ToolkitCode opaque(const std::uint8_t* bytes, std::size_t length) override;
    ToolkitCode devInf(const DevInfRecord& record) override;

    static constexpr std::size_t kDevInfScratchSize = 12000;

private:
    ToolkitCode put(const void* bytes, std::size_t n);
    ToolkitCode putByte(std::uint8_t b) { return put(&b, 1); }
    ToolkitCode putMb(std::uint32_t value);

    Namespace document_;
    std::uint8_t version_;
    OutputBuffer out_;
    std::uint8_t page_ = 0;
    int depth_ = 0;
    std::unique_ptr<std::vector<std::uint8_t>> scratch_;
};

}  // namespace orvale
