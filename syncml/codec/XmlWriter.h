#pragma once
// SyncML XML text of a message into a caller's buffer: no white space between elements (or indented,
// for people reading a dump), namespaces as xmlns attributes where the namespace in force changes.
#include <cstddef>
#include <cstdint>

#include "syncml/codec/MessageWriter.h"
#include "syncml/codec/OutputBuffer.h"

namespace orvale {

class XmlWriter : public MessageWriter {
public:
    // `version`: 1 SyncML 1.0, 2 SyncML 1.1 (the root's namespace name). `indent`: one element per
    // line, two spaces a level. `showAsReceived`: records that break the element templates are
    // written as they stand (for showing what a peer sent), instead of failing.
    explicit XmlWriter(std::uint8_t version, bool indent = false, bool showAsReceived = false);

    void begin(std::uint8_t* buf, std::size_t capacity, bool countOnly = false) override {
        out_.begin(buf, capacity, countOnly);
    }
    std::size_t written() const override { return out_.written(); }
    State state() const override { return State{0, depth_}; }
    void restore(State s) override { depth_ = s.depth; }

    // <?xml version="1.0" encoding="UTF-8"?>
    ToolkitCode documentHeader() override;

    ToolkitCode open(TagId tag, bool content) override;
    ToolkitCode close() override;
    // Text and opaque bytes go out as they are, except the characters that would end or break the
    // markup ("&", "<", ">") and carriage returns, which XML readers would fold into line feeds.
    ToolkitCode text(const std::uint8_t* bytes, std::size_t length) override;
    ToolkitCode opaque(const std::uint8_t* bytes, std::size_t length) override;
    // A CDATA section; a "]]>" inside is split over two sections.
    ToolkitCode cdata(const std::uint8_t* bytes, std::size_t length) override;
    bool enforcesTemplates() const override { return !showAsReceived_; }
    // Inline, as a DevInf element tree in its own namespace.
    ToolkitCode devInf(const DevInfRecord& record) override;

    static constexpr int kMaxDepth = 32;

private:
    struct Level {
        TagId tag;
        Namespace ns;
        bool children;
    };

    ToolkitCode put(const void* bytes, std::size_t n);
    ToolkitCode put(const char* s);
    ToolkitCode escaped(const std::uint8_t* bytes, std::size_t length);
    ToolkitCode lineBreak(int depth);

    std::uint8_t version_;
    bool indent_;
    bool showAsReceived_;
    OutputBuffer out_;
    Level stack_[kMaxDepth] = {};
    int depth_ = 0;
};

}  // namespace orvale
