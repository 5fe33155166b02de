#include "support/LibwbxmlConvert.h"

#include <cstdlib>

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#pragma GCC diagnostic ignored "-Wpedantic"
#include <wbxml/wbxml.h>
#include <wbxml/wbxml_conv.h>
#pragma GCC diagnostic pop

#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

namespace orvale::test {

std::string libwbxmlToXml(const std::uint8_t* data, std::size_t size, bool indented) {
    WBXMLGenXMLParams params{};
    params.gen_type = indented ? WBXML_GEN_XML_INDENT : WBXML_GEN_XML_COMPACT;
    params.indent = indented ? 2 : 0;
    params.lang = WBXML_LANG_UNKNOWN;
    params.charset = WBXML_CHARSET_UNKNOWN;
    WB_UTINY* xml = nullptr;
    WB_ULONG len = 0;
    const WBXMLError e = wbxml_conv_wbxml2xml_withlen(const_cast<WB_UTINY*>(data), static_cast<WB_ULONG>(size), &xml,
                                                      &len, &params);
    std::string out = e == WBXML_OK && xml != nullptr ? std::string(reinterpret_cast<char*>(xml), len) : std::string();
    std::free(xml);
    return out;
}

std::string libwbxmlToWbxml(const std::string& xml) {
    WBXMLGenWBXMLParams params{};
    params.wbxml_version = WBXML_VERSION_12;
    params.use_strtbl = FALSE;
    WB_UTINY* out = nullptr;
    WB_ULONG len = 0;
    const WBXMLError e = wbxml_conv_xml2wbxml_withlen(reinterpret_cast<WB_UTINY*>(const_cast<char*>(xml.data())),
                                                      static_cast<WB_ULONG>(xml.size()), &out, &len, &params);
    std::string r = e == WBXML_OK && out != nullptr ? std::string(reinterpret_cast<char*>(out), len) : std::string();
    std::free(out);
    return r;
}

}  // namespace orvale::test
