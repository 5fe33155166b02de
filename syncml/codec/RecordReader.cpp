#include "syncml/codec/RecordReader.h"

#include <cstring>
#include <new>

namespace orvale {

namespace {

bool extensionAllowed(RecordKind k) {
    switch (k) {
        case RecordKind::Header: case RecordKind::Status: case RecordKind::Alert: case RecordKind::Sync:
        case RecordKind::Generic: case RecordKind::PutGet: case RecordKind::Results: case RecordKind::Map:
        case RecordKind::Search: case RecordKind::Item: case RecordKind::Cred: case RecordKind::Chal:
            return true;
        default: return false;
    }
}

std::uint32_t pieceType(Token::Kind k) {
    return k == Token::Kind::Text ? pcdata_type::String
           : k == Token::Kind::Opaque ? pcdata_type::Opaque
                                      : pcdata_type::Cdata;
}

}  // namespace

ToolkitCode RecordReader::appendBytes(PcdataRecord& p, const std::uint8_t* data, std::size_t size) {
    if (size == 0) return code::Ok;
    if (size > 0xFFFFFFFFu - p.length) return code::InvalidInputPcdata;
    void* grown = arena_->grow(p.content, p.length, p.length + size);
    if (grown == nullptr) return code::OutOfMemory;
    std::memcpy(static_cast<std::uint8_t*>(grown) + p.length, data, size);
    p.content = grown;
    p.length += static_cast<std::uint32_t>(size);
    return code::Ok;
}

ToolkitCode RecordReader::next(Token& t) {
    if (peeked_) {
        peeked_ = false;
        t = peekToken_;
        return code::Ok;
    }
    return tokens_.next(t, false);
}

ToolkitCode RecordReader::peek(Token& t) {
    if (!peeked_) {
        if (auto c = tokens_.next(peekToken_, false)) return c;
        peeked_ = true;
    }
    t = peekToken_;
    return code::Ok;
}

bool RecordReader::hasField(const RecordLayout& s, TagId tag) {
    for (std::size_t i = 0; i < s.fieldCount; ++i) {
        if (sameTagName(s.fields[i].tag, tag)) return true;
    }
    return false;
}

ListNode* RecordReader::appendEntry(void* record, std::size_t offset) {
    auto* node = static_cast<ListNode*>(arena_->allocate(sizeof(ListNode)));
    if (node == nullptr) return nullptr;
    const void* slot = static_cast<const char*>(record) + offset;
    auto* head = static_cast<ListNode*>(loadPointer(record, offset));
    if (head == nullptr) {
        storePointer(record, offset, node);
    } else {
        const auto known = tails_.find(slot);
        ListNode* last = known != tails_.end() ? known->second : head;
        while (last->next != nullptr) last = last->next;
        last->next = node;
    }
    try {
        tails_[slot] = node;
    } catch (const std::bad_alloc&) {
        // The node is linked already; without a remembered tail the next append walks to it.
        tails_.erase(slot);
    }
    return node;
}

ToolkitCode RecordReader::skipContent() {
    // Empty-element flags sent with content (<Final></Final>): only white space may stand inside.
    for (;;) {
        Token t;
        if (auto c = tokens_.next(t, true)) return c;
        if (t.kind == Token::Kind::End) return code::Ok;
        if (t.kind != Token::Kind::Text || !t.blank) return code::NotSyncml;
    }
}

void* RecordReader::newTree(std::size_t rootSize) {
    void* root = RecordArena::newTree(rootSize);
    arena_ = root != nullptr ? &RecordArena::of(root) : nullptr;
    return root;
}

ToolkitCode RecordReader::readTree(const RecordLayout& s, const Token& start, void** root, int depth) {
    *root = nullptr;
    if (depth > kMaxDepth) return code::NotSyncml;
    void* r = newTree(s.size);
    if (r == nullptr) return code::OutOfMemory;
    *root = r;
    if (!start.content) return code::Ok;
    return readBody(s, r, depth + 1);
}

ToolkitCode RecordReader::readRecord(const RecordLayout& s, const Token& start, void** slot, int depth) {
    if (depth > kMaxDepth) return code::NotSyncml;
    void* r = arena_->allocate(s.size);
    if (r == nullptr) return code::OutOfMemory;
    *slot = r;
    if (!start.content) return code::Ok;
    return readBody(s, r, depth + 1);
}

ToolkitCode RecordReader::readBody(const RecordLayout& s, void* record, int depth) {
    for (;;) {
        Token t;
        if (auto c = next(t)) return c;
        if (t.kind == Token::Kind::End) return code::Ok;
        if (t.kind != Token::Kind::Start) return code::NotSyncml;
        if (auto c = readField(s, record, t, depth)) return c;
    }
}

ToolkitCode RecordReader::readField(const RecordLayout& s, void* record, const Token& t, int depth) {
    if (depth > kMaxDepth) return code::NotSyncml;
    const FieldLayout* f = nullptr;
    std::size_t index = 0;
    for (; index < s.fieldCount; ++index) {
        if (s.fields[index].tag == t.tag) break;
    }
    if (index == s.fieldCount) {
        // Shared names (SourceRef, Size, VerDTD, SharedMem) may arrive through the other table.
        for (index = 0; index < s.fieldCount && !sameTagName(s.fields[index].tag, t.tag); ++index) {
        }
    }
    if (index == s.fieldCount) return code::NotSyncml;
    f = &s.fields[index];
    switch (f->kind) {
        case FieldKind::Flag:
            storeWord(record, f->offset, loadWord(record, f->offset) | f->bit);
            return t.content ? skipContent() : code::Ok;
        case FieldKind::Pcdata: {
            auto** slot = reinterpret_cast<PcdataRecord**>(static_cast<char*>(record) + f->offset);
            if (*slot != nullptr) return code::NotSyncml;
            return readPcdata(t, slot, extensionAllowed(s.kind), depth + 1);
        }
        case FieldKind::Record: {
            void* existing = loadPointer(record, f->offset);
            if (existing != nullptr) return code::NotSyncml;
            void* child = nullptr;
            ToolkitCode c = readRecord(*f->child, t, &child, depth + 1);
            storePointer(record, f->offset, child);
            return c;
        }
        case FieldKind::RecordList:
        case FieldKind::PcdataList: {
            ListNode* node = appendEntry(record, f->offset);
            if (node == nullptr) return code::OutOfMemory;
            if (f->kind == FieldKind::PcdataList) {
                PcdataRecord* p = nullptr;
                ToolkitCode c = readPcdata(t, &p, extensionAllowed(s.kind), depth + 1);
                node->element = p;
                return c;
            }
            return readRecord(*f->child, t, &node->element, depth + 1);
        }
        case FieldKind::CtCapBlock:
            return t.content ? readCtCap(record, depth + 1) : code::Ok;
    }
    return code::NotSyncml;
}

ToolkitCode RecordReader::readPcdata(const Token& start, PcdataRecord** slot, bool allowExtension, int depth) {
    if (depth > kMaxDepth) return code::NotSyncml;
    auto* p = static_cast<PcdataRecord*>(arena_->allocate(sizeof(PcdataRecord)));
    if (p == nullptr) return code::OutOfMemory;
    *slot = p;
    if (!start.content) return code::Ok;
    const std::uint8_t* blank = nullptr;
    std::size_t blankSize = 0;
    for (;;) {
        Token t;
        if (auto c = tokens_.next(t, true)) return c;
        switch (t.kind) {
            case Token::Kind::End:
                if (p->contentType == pcdata_type::Empty && blank != nullptr) {
                    p->contentType = pcdata_type::String;
                    return appendBytes(*p, blank, blankSize);
                }
                return code::Ok;
            case Token::Kind::Text:
                if (t.blank) {
                    // White space around markup is layout, unless it is all the element holds.
                    if (p->contentType == pcdata_type::Empty && blank == nullptr) {
                        blank = t.data;
                        blankSize = t.size;
                    }
                    continue;
                }
                [[fallthrough]];
            case Token::Kind::Opaque:
            case Token::Kind::Cdata: {
                const std::uint32_t type = pieceType(t.kind);
                if (p->contentType == pcdata_type::Empty) p->contentType = type;
                if (p->contentType != type) return code::InvalidInputPcdata;
                if (auto c = appendBytes(*p, t.data, t.size)) return c;
                continue;
            }
            case Token::Kind::Start: {
                if (!allowExtension || p->contentType != pcdata_type::Empty) return code::InvalidInputPcdata;
                const Namespace ns = tagInfo(t.tag).ns;
                if (ns == Namespace::MetInf) {
                    p->contentType = pcdata_type::Extension;
                    p->extension = extension_kind::MetInf;
                    p->content = arena_->allocate(sizeof(MetInfRecord));
                    if (p->content == nullptr) return code::OutOfMemory;
                    if (t.tag == tag::MetInf) {
                        // Some peers wrap the meta information in a MetInf element of its own.
                        if (t.content)
                            if (auto c = readBody(layout::metInf, p->content, depth + 1)) return c;
                        continue;
                    }
                    if (auto c = readField(layout::metInf, p->content, t, depth + 1)) return c;
                    return readBody(layout::metInf, p->content, depth + 1);
                }
                if (ns == Namespace::DevInf) {
                    if (t.tag != tag::DevInf) return code::NotSyncml;
                    p->contentType = pcdata_type::Extension;
                    p->extension = extension_kind::DevInf;
                    if (auto c = readRecord(layout::devInf, t, &p->content, depth + 1)) return c;
                    continue;
                }
                return code::UnknownExtension;
            }
        }
    }
}

namespace {

// The free `next` slot of a list, so that a run of entries is appended without walking it again.
ListNode** endOf(ListNode** head) {
    while (*head != nullptr) head = &(*head)->next;
    return head;
}

}  // namespace

bool RecordReader::appendAt(ListNode**& end, void* element) {
    auto* node = static_cast<ListNode*>(arena_->allocate(sizeof(ListNode)));
    if (node == nullptr) return false;
    node->element = element;
    *end = node;
    end = &node->next;
    return true;
}

ToolkitCode RecordReader::readCtCap(void* devInf, int depth) {
    auto* d = static_cast<DevInfRecord*>(devInf);
    CtCapRecord* cap = nullptr;
    CtPropRecord* prop = nullptr;
    CtDataRecord* entry = nullptr;
    ListNode** capEnd = endOf(&d->ctCaps);
    ListNode** propEnd = nullptr;
    ListNode** paramEnd = nullptr;
    ListNode** valEnumEnd = nullptr;
    for (;;) {
        Token t;
        if (auto c = next(t)) return c;
        if (t.kind == Token::Kind::End) return code::Ok;
        if (t.kind != Token::Kind::Start) return code::NotSyncml;
        PcdataRecord** slot = nullptr;
        if (t.tag == tag::CTType) {
            cap = static_cast<CtCapRecord*>(arena_->allocate(sizeof(CtCapRecord)));
            if (cap == nullptr || !appendAt(capEnd, cap)) return code::OutOfMemory;
            propEnd = &cap->props;
            prop = nullptr;
            entry = nullptr;
            slot = &cap->ctType;
        } else if (t.tag == tag::PropName) {
            if (cap == nullptr) return code::NotSyncml;
            prop = static_cast<CtPropRecord*>(arena_->allocate(sizeof(CtPropRecord)));
            if (prop == nullptr || !appendAt(propEnd, prop)) return code::OutOfMemory;
            paramEnd = &prop->params;
            entry = prop->prop = static_cast<CtDataRecord*>(arena_->allocate(sizeof(CtDataRecord)));
            if (entry == nullptr) return code::OutOfMemory;
            valEnumEnd = &entry->valEnums;
            slot = &entry->name;
        } else if (t.tag == tag::ParamName) {
            if (prop == nullptr) return code::NotSyncml;
            entry = static_cast<CtDataRecord*>(arena_->allocate(sizeof(CtDataRecord)));
            if (entry == nullptr || !appendAt(paramEnd, entry)) return code::OutOfMemory;
            valEnumEnd = &entry->valEnums;
            slot = &entry->name;
        } else if (entry != nullptr && (t.tag == tag::ValEnum || t.tag == tag::DataType ||
                                        sameTagName(t.tag, tag::DevInfSize) || t.tag == tag::DisplayName)) {
            if (t.tag == tag::ValEnum) {
                ListNode** at = valEnumEnd;
                if (!appendAt(valEnumEnd, nullptr)) return code::OutOfMemory;
                PcdataRecord* v = nullptr;
                ToolkitCode c = readPcdata(t, &v, false, depth + 1);
                (*at)->element = v;
                if (c) return c;
                continue;
            }
            slot = t.tag == tag::DataType ? &entry->dataType : t.tag == tag::DisplayName ? &entry->displayName : &entry->size;
            if (*slot != nullptr) return code::NotSyncml;
        } else {
            return code::NotSyncml;
        }
        if (auto c = readPcdata(t, slot, false, depth + 1)) return c;
    }
}

}  // namespace orvale
