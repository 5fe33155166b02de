// Feeds arbitrary bytes to the XML reader: prolog, then the message decoder over its tokens; what
// decodes is written again as XML and must read back.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "syncml/codec/MessageRecords.h"
#include "syncml/codec/XmlReader.h"
#include "syncml/codec/XmlWriter.h"

namespace {

using namespace orvale;

bool decodes(const std::uint8_t* data, std::size_t size, DecodedMessage& m) {
    XmlReader r(data, size);
    return r.readProlog() == code::Ok && decodeMessage(r, m) == code::Ok;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    DecodedMessage m;
    if (!decodes(data, size, m)) return 0;
    XmlWriter w(2, false, true);
    w.begin(nullptr, 0, true);
    if (writeMessage(w, *m.header, m.commands) != code::Ok) return 0;
    std::string out(w.written(), '\0');
    w.begin(reinterpret_cast<std::uint8_t*>(out.data()), out.size());
    if (writeMessage(w, *m.header, m.commands) != code::Ok) std::abort();
    // Our own output has to be readable again, whatever the input was.
    DecodedMessage again;
    if (!decodes(reinterpret_cast<const std::uint8_t*>(out.data()), out.size(), again)) std::abort();
    return 0;
}
