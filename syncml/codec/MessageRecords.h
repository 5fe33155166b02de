#pragma once
// A whole message as records: decoded in one go, or written out again with any encoder (a dump
// re-encodes received WBXML as XML this way).
#include <vector>

#include "syncml/codec/MessageDecoder.h"
#include "syncml/codec/MessageWriter.h"

namespace orvale {

// Owns the header and every command record it holds.
struct DecodedMessage {
    HeaderRecord* header = nullptr;
    std::vector<DecodedCommand> commands;  // in arrival order, ending with MessageEnd

    DecodedMessage() = default;
    DecodedMessage(const DecodedMessage&) = delete;
    DecodedMessage& operator=(const DecodedMessage&) = delete;
    ~DecodedMessage() { clear(); }
    void clear();
};

// Reads header and commands up to the end of the message; on failure `out` holds what was read.
ToolkitCode decodeMessage(TokenReader& tokens, DecodedMessage& out, std::size_t* errorOffset = nullptr);

// Document start, SyncML, the header, SyncBody, the commands (containers opened and closed as they
// come), Final when the MessageEnd entry says so, the closing ends.
ToolkitCode writeMessage(MessageWriter& writer, const HeaderRecord& header, const std::vector<DecodedCommand>& commands);

}  // namespace orvale
