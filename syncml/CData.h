#pragma once
// A PCDATA value. Its bytes live in the object; an extension holds a reference on the MetInf or
// DevInf element whose record is the content. A value is written once per object.
#include <cstddef>
#include <cstdint>
#include <string>

#include "syncml/SyncElement.h"

namespace orvale {

class MetInfElem;
class DevInfoElement;

class CData : public SyncElement {
public:
    CData();

    void setString(const std::string& text);
    void setOpaque(const void* bytes, std::size_t length);
    void setNumber(std::int64_t value);
    void setMetInf(MetInfElem* metInf);
    void setDevInf(DevInfoElement* devInf);

    PcdataRecord* pcdata() const { return static_cast<PcdataRecord*>(record()); }
    std::uint32_t contentType() const { return pcdata()->contentType; }
    // The bytes of string, opaque and CDATA content; empty otherwise.
    const std::string& bytes() const { return bytes_; }
    MetInfElem* metInf() const;
    DevInfoElement* devInf() const;

    static CData* fromRecord(const PcdataRecord* record);

private:
    void checkEmpty() const;
    void setBytes(std::uint32_t type, const void* bytes, std::size_t length);

    std::string bytes_;
};

}  // namespace orvale
