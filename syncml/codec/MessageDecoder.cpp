#include "syncml/codec/MessageDecoder.h"

namespace orvale {

namespace {

struct CommandRow {
    TagId tag;
    DecodedKind kind;
    DecodedKind endKind;  // containers only
    const RecordLayout* layout;
    std::uint32_t elementType;
    bool container;
};

const CommandRow kCommands[] = {
    {tag::Add, DecodedKind::Add, DecodedKind::Add, &layout::addLike, element_type::Add, false},
    {tag::Alert, DecodedKind::Alert, DecodedKind::Alert, &layout::alert, element_type::Alert, false},
    {tag::Copy, DecodedKind::Copy, DecodedKind::Copy, &layout::addLike, element_type::Copy, false},
    {tag::Delete, DecodedKind::Delete, DecodedKind::Delete, &layout::generic, element_type::Delete, false},
    {tag::Exec, DecodedKind::Exec, DecodedKind::Exec, &layout::exec, element_type::Exec, false},
    {tag::Get, DecodedKind::Get, DecodedKind::Get, &layout::putGet, element_type::Get, false},
    {tag::Map, DecodedKind::Map, DecodedKind::Map, &layout::map, element_type::Map, false},
    {tag::Put, DecodedKind::Put, DecodedKind::Put, &layout::putGet, element_type::Put, false},
    {tag::Results, DecodedKind::Results, DecodedKind::Results, &layout::results, element_type::Results, false},
    {tag::Search, DecodedKind::Search, DecodedKind::Search, &layout::search, element_type::Search, false},
    {tag::Status, DecodedKind::Status, DecodedKind::Status, &layout::status, element_type::Status, false},
    {tag::Replace, DecodedKind::Replace, DecodedKind::Replace, &layout::addLike, element_type::Replace, false},
    {tag::Sync, DecodedKind::Sync, DecodedKind::SyncEnd, &layout::sync, element_type::Sync, true},
    {tag::Atomic, DecodedKind::Atomic, DecodedKind::AtomicEnd, &layout::atomicLike, element_type::Atomic, true},
    {tag::Sequence, DecodedKind::Sequence, DecodedKind::SequenceEnd, &layout::atomicLike, element_type::Sequence, true},
};

const CommandRow* commandRow(TagId tag) {
    for (const CommandRow& r : kCommands) {
        if (r.tag == tag) return &r;
    }
    return nullptr;
}

const CommandRow* rowOfKind(DecodedKind kind) {
    for (const CommandRow& r : kCommands) {
        if (r.kind == kind || (r.container && r.endKind == kind)) return &r;
    }
    return nullptr;
}

}  // namespace

TagId commandTag(DecodedKind kind) {
    const CommandRow* r = rowOfKind(kind);
    return r != nullptr ? r->tag : TagId{tag::None};
}

const RecordLayout* commandLayout(DecodedKind kind) {
    const CommandRow* r = rowOfKind(kind);
    if (r == nullptr || r->kind != kind) return nullptr;
    return r->layout;
}

ToolkitCode MessageDecoder::start(HeaderRecord** header) {
    *header = nullptr;
    Token t;
    if (auto c = reader_.next(t)) return c;
    if (t.kind != Token::Kind::Start || t.tag != tag::SyncML || !t.content) return code::NotSyncml;
    if (auto c = reader_.next(t)) return c;
    if (t.kind != Token::Kind::Start || t.tag != tag::SyncHdr) return code::NotSyncml;
    void* h = nullptr;
    ToolkitCode c = reader_.readTree(layout::header, t, &h, 2);
    *header = static_cast<HeaderRecord*>(h);
    if (c == code::Ok) {
        (*header)->elementType = element_type::SyncHdr;
        c = reader_.next(t);
        if (c == code::Ok && (t.kind != Token::Kind::Start || t.tag != tag::SyncBody)) c = code::NotSyncml;
        bodyEmpty_ = !t.content;
    }
    if (c != code::Ok) {
        freeRecordTree(layout::header, *header);
        *header = nullptr;
    }
    return c;
}

ToolkitCode MessageDecoder::endOfBody(DecodedCommand& command) {
    Token t;
    if (auto c = reader_.next(t)) return c;
    if (t.kind != Token::Kind::End) return code::NotSyncml;
    finished_ = true;
    command.kind = DecodedKind::MessageEnd;
    command.final = final_;
    return code::Ok;
}

ToolkitCode MessageDecoder::next(DecodedCommand& command) {
    command = DecodedCommand{};
    if (finished_) return code::WrongUsage;
    if (pendingEnd_) {
        pendingEnd_ = false;
        command.kind = pendingEndKind_;
        return code::Ok;
    }
    if (bodyEmpty_) return endOfBody(command);
    reader_.forgetLists();
    for (;;) {
        Token t;
        if (auto c = reader_.next(t)) return c;
        if (t.kind == Token::Kind::End) {
            if (containerCount_ > 0) {
                command.kind = containers_[--containerCount_];
                return code::Ok;
            }
            return endOfBody(command);
        }
        if (t.kind != Token::Kind::Start) return code::NotSyncml;
        if (t.tag == tag::Final && containerCount_ == 0) {
            final_ = true;
            if (t.content) {
                Token e;
                if (auto c = reader_.next(e)) return c;
                if (e.kind != Token::Kind::End) return code::NotSyncml;
            }
            continue;
        }
        const CommandRow* row = commandRow(t.tag);
        if (row == nullptr) return tagInfo(t.tag).ns == Namespace::SyncML ? code::NotSyncml : code::UnknownTag;
        void* record = nullptr;
        ToolkitCode c = code::Ok;
        if (!row->container) {
            c = reader_.readTree(*row->layout, t, &record, 3 + containerCount_);
        } else {
            if (containerCount_ >= kMaxContainers) return code::NotSyncml;
            record = reader_.newTree(row->layout->size);
            if (record == nullptr) return code::OutOfMemory;
            if (t.content) {
                // The container's own fields run up to its first command.
                for (;;) {
                    Token p;
                    c = reader_.peek(p);
                    if (c != code::Ok || p.kind != Token::Kind::Start || !RecordReader::hasField(*row->layout, p.tag)) break;
                    reader_.next(p);
                    c = reader_.readField(*row->layout, record, p, 3 + containerCount_);
                    if (c != code::Ok) break;
                }
                if (c == code::Ok) containers_[containerCount_++] = row->endKind;
            } else {
                pendingEnd_ = true;
                pendingEndKind_ = row->endKind;
            }
        }
        if (record != nullptr) storeWord(record, 0, row->elementType);
        if (c != code::Ok) {
            freeRecordTree(*row->layout, record);
            return c;
        }
        command.kind = row->kind;
        command.layout = row->layout;
        command.record = record;
        return code::Ok;
    }
}

}  // namespace orvale
