// Feeds arbitrary bytes to the WBXML message decoder and to the DevInf document reader.
#include <cstddef>
#include <cstdint>

#include "syncml/DevInfDocument.h"
#include "syncml/RecordLayout.h"
#include "syncml/Toolkit.h"
#include "syncml/codec/MessageDecoder.h"
#include "syncml/codec/WbxmlReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace orvale;
    WbxmlReader r(data, size, Namespace::SyncML);
    if (r.readHeader() == code::Ok) {
        MessageDecoder d(r);
        HeaderRecord* h = nullptr;
        if (d.start(&h) == code::Ok) {
            freeRecordTree(layout::header, h);
            while (!d.finished()) {
                DecodedCommand c;
                if (d.next(c) != code::Ok) break;
                if (c.layout != nullptr) freeRecordTree(*c.layout, c.record);
            }
        }
    }
    DevInfRecord* devinf = nullptr;
    if (decodeDevInfDocument(data, size, &devinf) == code::Ok) toolkit::freeDevInfRecord(devinf);
    return 0;
}
