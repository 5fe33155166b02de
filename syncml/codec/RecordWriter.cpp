#include "syncml/codec/RecordWriter.h"

#include <cstring>

namespace orvale {

namespace {

bool isDevInfKind(RecordKind k) {
    switch (k) {
        case RecordKind::DevInf: case RecordKind::DataStore: case RecordKind::Xmit: case RecordKind::DsMem:
        case RecordKind::SyncCap: case RecordKind::CtCap: case RecordKind::CtProp: case RecordKind::CtData:
        case RecordKind::Ext:
            return true;
        default: return false;
    }
}

ToolkitCode writePcdata(EncoderSink& sink, TagId tag, const PcdataRecord& p, bool allowExtension) {
    const auto* bytes = static_cast<const std::uint8_t*>(p.content);
    switch (p.contentType) {
        case pcdata_type::Empty:
            if (p.length != 0 || p.content != nullptr || p.extension != 0) return code::InvalidPcdata;
            if (auto c = sink.open(tag, true)) return c;
            return sink.close();
        case pcdata_type::String:
        case pcdata_type::Opaque:
        case pcdata_type::Cdata: {
            if (bytes == nullptr && p.length != 0) return code::InvalidPcdata;
            if (auto c = sink.open(tag, true)) return c;
            // A string with a NUL byte cannot travel inline: the receiver would cut it there.
            const bool inlineText = p.contentType == pcdata_type::String &&
                                    (p.length == 0 || std::memchr(bytes, 0, p.length) == nullptr);
            ToolkitCode c = p.contentType == pcdata_type::Cdata ? sink.cdata(bytes, p.length)
                            : inlineText                           ? sink.text(bytes, p.length)
                                                                   : sink.opaque(bytes, p.length);
            if (c) return c;
            return sink.close();
        }
        case pcdata_type::Extension: {
            if (!allowExtension || p.content == nullptr) return code::InvalidPcdata;
            if (p.extension != extension_kind::MetInf && p.extension != extension_kind::DevInf)
                return code::UnknownExtension;
            if (auto c = sink.open(tag, true)) return c;
            ToolkitCode c = p.extension == extension_kind::MetInf
                                ? writeFields(sink, layout::metInf, p.content)
                                : sink.devInf(*static_cast<const DevInfRecord*>(p.content));
            if (c) return c;
            return sink.close();
        }
        default: return code::InvalidPcdata;
    }
}

ToolkitCode writeCtData(EncoderSink& sink, TagId nameTag, const CtDataRecord* d) {
    const bool strict = sink.enforcesTemplates();
    if (d == nullptr) return strict ? code::InvalidDevInfEntry : code::Ok;
    if (d->name == nullptr && strict) return code::MissingElement;
    if (d->name != nullptr)
        if (auto c = writePcdata(sink, nameTag, *d->name, false)) return c;
    bool hasValues = false;
    for (const ListNode* n = d->valEnums; n != nullptr; n = n->next) hasValues = hasValues || n->element != nullptr;
    if (strict && hasValues && (d->dataType != nullptr || d->size != nullptr)) return code::InvalidDevInfEntry;
    for (const ListNode* n = d->valEnums; n != nullptr; n = n->next) {
        if (n->element == nullptr) continue;
        if (auto c = writePcdata(sink, tag::ValEnum, *static_cast<const PcdataRecord*>(n->element), false)) return c;
    }
    if (d->dataType != nullptr)
        if (auto c = writePcdata(sink, tag::DataType, *d->dataType, false)) return c;
    if (d->size != nullptr)
        if (auto c = writePcdata(sink, tag::DevInfSize, *d->size, false)) return c;
    if (d->displayName != nullptr)
        if (auto c = writePcdata(sink, tag::DisplayName, *d->displayName, false)) return c;
    return code::Ok;
}

// Every content type's capabilities go flattened into one CTCap element.
ToolkitCode writeCtCapBlock(EncoderSink& sink, const ListNode* caps) {
    if (caps == nullptr || (caps->element == nullptr && caps->next == nullptr)) return code::Ok;
    if (auto c = sink.open(tag::CTCap, true)) return c;
    for (const ListNode* n = caps; n != nullptr; n = n->next) {
        const auto* cap = static_cast<const CtCapRecord*>(n->element);
        const bool strict = sink.enforcesTemplates();
        if (cap == nullptr) {
            if (strict) return code::InvalidDevInfEntry;
            continue;
        }
        if (cap->ctType == nullptr && strict) return code::MissingElement;
        if (cap->ctType != nullptr)
            if (auto c = writePcdata(sink, tag::CTType, *cap->ctType, false)) return c;
        for (const ListNode* pn = cap->props; pn != nullptr; pn = pn->next) {
            const auto* prop = static_cast<const CtPropRecord*>(pn->element);
            if (prop == nullptr) {
                if (strict) return code::InvalidDevInfEntry;
                continue;
            }
            if (auto c = writeCtData(sink, tag::PropName, prop->prop)) return c;
            for (const ListNode* qn = prop->params; qn != nullptr; qn = qn->next) {
                if (auto c = writeCtData(sink, tag::ParamName, static_cast<const CtDataRecord*>(qn->element))) return c;
            }
        }
    }
    return sink.close();
}

ToolkitCode writeList(EncoderSink& sink, const FieldLayout& f, const ListNode* head, bool devInf) {
    std::size_t written = 0;
    for (const ListNode* n = head; n != nullptr; n = n->next) {
        if (n->element == nullptr) {
            if (devInf && sink.enforcesTemplates()) return code::InvalidDevInfEntry;
            continue;
        }
        ToolkitCode c = f.kind == FieldKind::PcdataList
                            ? writePcdata(sink, f.tag, *static_cast<const PcdataRecord*>(n->element), !devInf)
                            : writeRecord(sink, *f.child, n->element, f.tag);
        if (c) return c;
        ++written;
    }
    return written == 0 && f.mandatory && sink.enforcesTemplates() ? code::MissingElement : code::Ok;
}

}  // namespace

ToolkitCode writeFields(EncoderSink& sink, const RecordLayout& s, const void* record) {
    const bool devInf = isDevInfKind(s.kind);
    const bool allowExtension = !devInf && s.kind != RecordKind::MetInf && s.kind != RecordKind::Anchor &&
                                s.kind != RecordKind::Mem;
    for (std::size_t i = 0; i < s.fieldCount; ++i) {
        const FieldLayout& f = s.fields[i];
        if (f.kind == FieldKind::Flag) {
            if ((loadWord(record, f.offset) & f.bit) != 0)
                if (auto c = sink.open(f.tag, false)) return c;
            continue;
        }
        const void* p = loadPointer(record, f.offset);
        if (p == nullptr) {
            if (f.mandatory && sink.enforcesTemplates()) return code::MissingElement;
            continue;
        }
        ToolkitCode c = code::Ok;
        switch (f.kind) {
            case FieldKind::Pcdata:
                c = writePcdata(sink, f.tag, *static_cast<const PcdataRecord*>(p), allowExtension);
                break;
            case FieldKind::Record: c = writeRecord(sink, *f.child, p, f.tag); break;
            case FieldKind::RecordList:
            case FieldKind::PcdataList: c = writeList(sink, f, static_cast<const ListNode*>(p), devInf); break;
            case FieldKind::CtCapBlock: c = writeCtCapBlock(sink, static_cast<const ListNode*>(p)); break;
            case FieldKind::Flag: break;
        }
        if (c) return c;
    }
    return code::Ok;
}

ToolkitCode writeRecord(EncoderSink& sink, const RecordLayout& s, const void* record, TagId tag) {
    if (record == nullptr) return code::MissingElement;
    if (auto c = sink.open(tag != tag::None ? tag : s.tag, true)) return c;
    if (auto c = writeFields(sink, s, record)) return c;
    return sink.close();
}

}  // namespace orvale
