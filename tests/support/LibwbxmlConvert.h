#pragma once
// The independent WBXML codec (libwbxml2) that tests check our encoder and decoder against.
#include <cstddef>
#include <cstdint>
#include <string>

namespace orvale::test {

// XML text of a WBXML document (SyncML or DevInf; a DevInf nested as opaque Data is decoded in
// place); empty when libwbxml2 cannot read it. `indented` gives one element per line.
std::string libwbxmlToXml(const std::uint8_t* data, std::size_t size, bool indented = false);
inline std::string libwbxmlToXml(const std::string& bytes, bool indented = false) {
    return libwbxmlToXml(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), indented);
}

// WBXML 1.2 bytes of an XML document, without string table; empty when libwbxml2 refuses it.
std::string libwbxmlToWbxml(const std::string& xml);

}  // namespace orvale::test
