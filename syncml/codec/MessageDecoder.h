#pragma once
// Reads a SyncML message one command at a time: first the header, then each command of the body
// (Sync, Atomic and Sequence as a start and an end), then the end of the message.
#include <cstddef>
#include <cstdint>

#include "syncml/RecordLayout.h"
#include "syncml/codec/RecordReader.h"

namespace orvale {

enum class DecodedKind : std::uint8_t {
    Sync, SyncEnd, Atomic, AtomicEnd, Sequence, SequenceEnd, Add, Alert, Copy, Delete, Exec, Get, Map, Put,
    Results, Search, Status, Replace, MessageEnd
};

struct DecodedCommand {
    DecodedKind kind = DecodedKind::MessageEnd;
    const RecordLayout* layout = nullptr;  // null for the end events
    void* record = nullptr;            // owned by the receiver; free with freeRecordTree(*layout, record)
    bool final = false;                // MessageEnd: the body carried Final
};

// The element of a decoded command (the end events give their container's tag); the layout of its
// record (null for the end events).
TagId commandTag(DecodedKind kind);
const RecordLayout* commandLayout(DecodedKind kind);

class MessageDecoder {
public:
    explicit MessageDecoder(TokenReader& tokens) : reader_(tokens) {}

    // SyncML, the SyncHdr (handed out in *header) and the start of SyncBody.
    ToolkitCode start(HeaderRecord** header);
    ToolkitCode next(DecodedCommand& command);
    bool finished() const { return finished_; }
    std::size_t offset() const { return reader_.offset(); }

    static constexpr int kMaxContainers = 4;

private:
    ToolkitCode endOfBody(DecodedCommand& command);

    RecordReader reader_;
    DecodedKind containers_[kMaxContainers] = {};
    int containerCount_ = 0;
    bool pendingEnd_ = false;
    DecodedKind pendingEndKind_ = DecodedKind::SyncEnd;
    bool bodyEmpty_ = false;
    bool final_ = false;
    bool finished_ = false;
};

}  // namespace orvale
