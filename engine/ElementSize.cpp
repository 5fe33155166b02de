// A cheap estimate of an element's encoded size, from its records, without encoding it.
#include "engine/ElementSize.h"

#include "syncml/RecordLayout.h"

namespace orvale {
namespace {

std::uint64_t recordBytes(const RecordLayout& s, const void* record, int depth);

// About what a text takes encoded; nested documents are counted through their own records.
std::uint64_t pcdataBytes(const PcdataRecord* p, int depth) {
    if (p == nullptr) return 0;
    if (p->contentType != pcdata_type::Extension) return 4 + p->length;
    if (p->extension == extension_kind::MetInf) return recordBytes(layout::metInf, p->content, depth + 1);
    if (p->extension == extension_kind::DevInf) return recordBytes(layout::devInf, p->content, depth + 1);
    return 4;
}

std::uint64_t recordBytes(const RecordLayout& s, const void* record, int depth) {
    if (record == nullptr || depth > 64) return 0;
    std::uint64_t bytes = 2;
    for (std::size_t i = 0; i < s.fieldCount; ++i) {
        const FieldLayout& f = s.fields[i];
        const void* p = f.kind == FieldKind::Flag ? nullptr : loadPointer(record, f.offset);
        switch (f.kind) {
            case FieldKind::Flag: bytes += 1; break;
            case FieldKind::Pcdata: bytes += pcdataBytes(static_cast<const PcdataRecord*>(p), depth); break;
            case FieldKind::Record: bytes += recordBytes(*f.child, p, depth + 1); break;
            case FieldKind::RecordList:
            case FieldKind::CtCapBlock:
            case FieldKind::PcdataList:
                for (auto* n = static_cast<const ListNode*>(p); n != nullptr; n = n->next) {
                    bytes += f.kind == FieldKind::PcdataList ? pcdataBytes(static_cast<const PcdataRecord*>(n->element), depth)
                                                             : recordBytes(*f.child, n->element, depth + 1);
                }
                break;
        }
    }
    return bytes;
}

}  // namespace

std::uint64_t encodedSizeEstimate(const SyncElement& e) {
    return e.layout() != nullptr ? recordBytes(*e.layout(), e.record(), 0) : 64;
}

}  // namespace orvale
