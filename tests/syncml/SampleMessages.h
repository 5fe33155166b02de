#pragma once
// Realistic messages built from element objects, as the engine builds them: a client's Sync with
// vCard Adds, a server's reply with Statuses and Replaces, device information in Results.
#include <string>
#include <utility>
#include <vector>

#include "syncml/CommandElements.h"
#include "syncml/codec/MessageRecords.h"

namespace orvale::test {

class SampleMessage {
public:
    explicit SampleMessage(Header* header);
    ~SampleMessage();
    SampleMessage(const SampleMessage&) = delete;
    SampleMessage& operator=(const SampleMessage&) = delete;

    void add(DecodedKind kind, SyncElement* command);  // takes a reference
    void endSync() { add(DecodedKind::SyncEnd, nullptr); }
    void setFinal(bool final) { final_ = final; }

    const HeaderRecord& header() const { return *header_->headerRecord(); }
    // The records in message order, ending with MessageEnd (records still owned by the elements).
    std::vector<DecodedCommand> commands() const;
    // The whole message through `writer`; empty with *result set on failure.
    std::string encode(MessageWriter& writer, ToolkitCode* result = nullptr) const;

private:
    Header* header_;
    std::vector<std::pair<DecodedKind, SyncElement*>> commands_;
    bool final_ = true;
};

// A vCard 2.1 text of roughly `size` bytes, lines ended by CR LF, with an "&" in ORG and a "<" in a note.
std::string sampleVCard(int index, std::size_t size);

Header* sampleHeader(bool fromServer);
void buildClientSync(SampleMessage& m, int contacts);
void buildServerReply(SampleMessage& m, int statuses, int replaces);
void buildDevInfResults(SampleMessage& m);
DevInfoElement* sampleDevInf();

// Encoded with the given writer over a fresh buffer.
std::string encodeRecords(MessageWriter& writer, const DecodedMessage& m, ToolkitCode* result = nullptr);

}  // namespace orvale::test
