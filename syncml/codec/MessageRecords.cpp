#include "syncml/codec/MessageRecords.h"

#include "syncml/codec/RecordWriter.h"

namespace orvale {

void DecodedMessage::clear() {
    freeRecordTree(layout::header, header);
    header = nullptr;
    for (DecodedCommand& c : commands) {
        if (c.layout != nullptr) freeRecordTree(*c.layout, c.record);
    }
    commands.clear();
}

ToolkitCode decodeMessage(TokenReader& tokens, DecodedMessage& out, std::size_t* errorOffset) {
    out.clear();
    MessageDecoder decoder(tokens);
    ToolkitCode c = decoder.start(&out.header);
    while (c == code::Ok && !decoder.finished()) {
        DecodedCommand command;
        c = decoder.next(command);
        if (c == code::Ok) out.commands.push_back(command);
    }
    if (errorOffset != nullptr) *errorOffset = c == code::Ok ? 0 : decoder.offset();
    return c;
}

ToolkitCode writeMessage(MessageWriter& w, const HeaderRecord& header, const std::vector<DecodedCommand>& commands) {
    if (auto c = w.documentHeader()) return c;
    if (auto c = w.open(tag::SyncML, true)) return c;
    if (auto c = writeRecord(w, layout::header, &header)) return c;
    if (auto c = w.open(tag::SyncBody, true)) return c;
    bool final = false;
    for (const DecodedCommand& command : commands) {
        ToolkitCode c = code::Ok;
        switch (command.kind) {
            case DecodedKind::MessageEnd: final = command.final; break;
            case DecodedKind::SyncEnd:
            case DecodedKind::AtomicEnd:
            case DecodedKind::SequenceEnd: c = w.close(); break;
            case DecodedKind::Sync:
            case DecodedKind::Atomic:
            case DecodedKind::Sequence:
                c = w.open(commandTag(command.kind), true);
                if (c == code::Ok) c = writeFields(w, *command.layout, command.record);
                break;
            default: c = writeRecord(w, *command.layout, command.record, commandTag(command.kind)); break;
        }
        if (c) return c;
    }
    if (final)
        if (auto c = w.open(tag::Final, false)) return c;
    if (auto c = w.close()) return c;
    return w.close();
}

}  // namespace orvale
