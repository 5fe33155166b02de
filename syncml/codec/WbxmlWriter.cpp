#include "syncml/codec/WbxmlWriter.h"

#include <cstring>

#include "syncml/RecordLayout.h"
#include "syncml/codec/DocumentIdentifiers.h"
#include "syncml/codec/MbUint32.h"
#include "syncml/codec/RecordWriter.h"

namespace orvale {

WbxmlWriter::WbxmlWriter(Namespace document, std::uint8_t version) : document_(document), version_(version) {}

ToolkitCode WbxmlWriter::put(const void* bytes, std::size_t n) { return out_.put(bytes, n); }

ToolkitCode WbxmlWriter::putMb(std::uint32_t value) {
    std::uint8_t b[5];
    return put(b, encodeMbUint32(value, b));
}

ToolkitCode WbxmlWriter::documentHeader() {
    const std::string_view id = document_ == Namespace::DevInf ? devInfPublicId(version_) : syncmlPublicId(version_);
    const std::uint8_t head[] = {0x02, 0x00, 0x00, 0x6A, static_cast<std::uint8_t>(id.size())};
    if (auto c = put(head, sizeof head)) return c;
    page_ = 0;
    return put(id.data(), id.size());
}

ToolkitCode WbxmlWriter::open(TagId tag, bool content) {
    const TagInfo& info = tagInfo(tag);
    if (info.token == 0) return code::UnknownTag;
    std::uint8_t page = 0;
    if (document_ == Namespace::DevInf) {
        if (info.ns != Namespace::DevInf) return code::InvalidTag;
    } else {
        if (info.ns == Namespace::DevInf) return code::InvalidTag;
        page = info.ns == Namespace::MetInf ? 1 : 0;
    }
    if (page != page_) {
        const std::uint8_t sw[] = {0x00, page};
        if (auto c = put(sw, 2)) return c;
        page_ = page;
    }
    if (content) ++depth_;
    return putByte(static_cast<std::uint8_t>(info.token | (content ? 0x40 : 0x00)));
}

ToolkitCode WbxmlWriter::close() {
    --depth_;
    return putByte(0x01);
}

ToolkitCode WbxmlWriter::text(const std::uint8_t* bytes, std::size_t length) {
    if (auto c = putByte(0x03)) return c;
    if (auto c = put(bytes, length)) return c;
    return putByte(0x00);
}

ToolkitCode WbxmlWriter::opaque(const std::uint8_t* bytes, std::size_t length) {
    if (length >= (1u << 28)) return code::BufferFull;
    if (auto c = putByte(0xC3)) return c;
    if (auto c = putMb(static_cast<std::uint32_t>(length))) return c;
    return put(bytes, length);
}

ToolkitCode WbxmlWriter::devInf(const DevInfRecord& record) {
    if (!scratch_) scratch_ = std::make_unique<std::vector<std::uint8_t>>(kDevInfScratchSize);
    WbxmlWriter nested(Namespace::DevInf, version_);
    nested.begin(scratch_->data(), scratch_->size());
    if (auto c = nested.documentHeader()) return c;
    if (auto c = writeRecord(nested, layout::devInf, &record)) return c;
    return opaque(scratch_->data(), nested.written());
}

}  // namespace orvale
