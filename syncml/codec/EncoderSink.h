#pragma once
// What a record walker writes to: one implementation per encoding (WBXML bytes, XML text).
#include <cstddef>
#include <cstdint>

#include "syncml/Tags.h"
#include "syncml/ToolkitCodes.h"
#include "syncml/ToolkitRecords.h"

namespace orvale {

class EncoderSink {
public:
    virtual ~EncoderSink() = default;
    // Opens an element with content, or writes it empty.
    virtual ToolkitCode open(TagId tag, bool content) = 0;
    virtual ToolkitCode close() = 0;
    virtual ToolkitCode text(const std::uint8_t* bytes, std::size_t length) = 0;
    virtual ToolkitCode opaque(const std::uint8_t* bytes, std::size_t length) = 0;
    // CDATA content: WBXML has no CDATA section and carries it as opaque bytes.
    virtual ToolkitCode cdata(const std::uint8_t* bytes, std::size_t length) { return opaque(bytes, length); }
    // False for a sink that shows received records as they are: mandatory elements that are missing,
    // and DevInf entries the encoder would refuse, are then left out or written as they stand.
    virtual bool enforcesTemplates() const { return true; }
    // The content of a PCDATA element holding a DevInf extension.
    virtual ToolkitCode devInf(const DevInfRecord& record) = 0;
};

}  // namespace orvale
