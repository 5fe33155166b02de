#include "syncml/CData.h"

#include "syncml/CBuildItemsException.h"
#include "syncml/DevInfElements.h"
#include "syncml/MetInfElements.h"

namespace orvale {

namespace {
enum Slot : std::size_t { MetInfSlot, DevInfSlot, SlotCount };
}

CData::CData() : SyncElement("CData", sizeof(PcdataRecord), nullptr, SlotCount) {}

void CData::checkEmpty() const {
    if (pcdata()->contentType != pcdata_type::Empty) throw CBuildItemsException("setString() element already present");
}

void CData::setBytes(std::uint32_t type, const void* bytes, std::size_t length) {
    checkEmpty();
    bytes_.assign(static_cast<const char*>(bytes), length);
    pcdata()->contentType = type;
    pcdata()->length = static_cast<std::uint32_t>(length);
    pcdata()->content = bytes_.data();
}

void CData::setString(const std::string& text) { setBytes(pcdata_type::String, text.data(), text.size()); }

void CData::setOpaque(const void* bytes, std::size_t length) { setBytes(pcdata_type::Opaque, bytes, length); }

void CData::setNumber(std::int64_t value) { setString(std::to_string(value)); }

void CData::setMetInf(MetInfElem* metInf) {
    checkEmpty();
    setSlot(MetInfSlot, metInf);
    pcdata()->contentType = pcdata_type::Extension;
    pcdata()->extension = extension_kind::MetInf;
    pcdata()->content = metInf->record();
}

void CData::setDevInf(DevInfoElement* devInf) {
    checkEmpty();
    setSlot(DevInfSlot, devInf);
    pcdata()->contentType = pcdata_type::Extension;
    pcdata()->extension = extension_kind::DevInf;
    pcdata()->content = devInf->record();
}

MetInfElem* CData::metInf() const { return static_cast<MetInfElem*>(slots()[MetInfSlot]); }

DevInfoElement* CData::devInf() const { return static_cast<DevInfoElement*>(slots()[DevInfSlot]); }

CData* CData::fromRecord(const PcdataRecord* r) {
    auto* c = new CData();
    if (r == nullptr) return c;
    switch (r->contentType) {
        case pcdata_type::String:
        case pcdata_type::Opaque:
        case pcdata_type::Cdata:
            c->setBytes(r->contentType, r->content, r->content != nullptr ? r->length : 0);
            break;
        case pcdata_type::Extension:
            if (r->content == nullptr) break;
            if (r->extension == extension_kind::MetInf)
                c->setMetInf(static_cast<MetInfElem*>(elementFromRecord(layout::metInf, r->content)));
            else if (r->extension == extension_kind::DevInf)
                c->setDevInf(static_cast<DevInfoElement*>(elementFromRecord(layout::devInf, r->content)));
            break;
        default: break;
    }
    return c;
}

}  // namespace orvale
