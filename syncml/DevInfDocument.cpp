#include "syncml/DevInfDocument.h"

#include "syncml/RecordLayout.h"
#include "syncml/codec/RecordReader.h"
#include "syncml/codec/WbxmlReader.h"

namespace orvale {

ToolkitCode decodeDevInfDocument(const std::uint8_t* data, std::size_t size, DevInfRecord** out) {
    *out = nullptr;
    WbxmlReader tokens(data, size, Namespace::DevInf);
    if (auto c = tokens.readHeader()) return c;
    RecordReader reader(tokens);
    Token t;
    if (auto c = reader.next(t)) return c;
    if (t.kind != Token::Kind::Start || t.tag != tag::DevInf) return code::NotSyncml;
    void* record = nullptr;
    const ToolkitCode c = reader.readTree(layout::devInf, t, &record, 1);
    if (c != code::Ok) {
        freeRecordTree(layout::devInf, record);
        return c;
    }
    *out = static_cast<DevInfRecord*>(record);
    return code::Ok;
}

}  // namespace orvale
