#include "scripted/ReplyPlaceholders.h"

#include <vector>

#include "scripted/XmlTree.h"

namespace orvale::test {

void replaceAll(std::string& s, const std::string& from, const std::string& to) {
    for (std::size_t p = s.find(from); p != std::string::npos; p = s.find(from, p + to.size())) s.replace(p, from.size(), to);
}

void fillPlaceholders(std::string& xml, const XmlNode* request) {
    const auto at = [&](const char* path) {
        return request != nullptr ? request->textAt(path).value_or("none") : std::string("none");
    };
    replaceAll(xml, "{SessionID}", at("SyncHdr/SessionID"));
    replaceAll(xml, "{MsgID}", at("SyncHdr/MsgID"));
    for (std::size_t p = xml.find("{CmdID:"); p != std::string::npos; p = xml.find("{CmdID:", p + 1)) {
        const std::size_t end = xml.find('}', p);
        if (end == std::string::npos) return;
        std::string name = xml.substr(p + 7, end - p - 7);
        std::size_t k = 1;
        if (const auto colon = name.find(':'); colon != std::string::npos) {
            k = static_cast<std::size_t>(std::strtoul(name.c_str() + colon + 1, nullptr, 10));
            name.resize(colon);
        }
        std::vector<const XmlNode*> found;
        if (const XmlNode* body = request != nullptr ? request->child("SyncBody") : nullptr) body->collect(name, found);
        std::string id = "none";
        if (k >= 1 && k <= found.size()) id = found[k - 1]->textAt("CmdID").value_or("none");
        xml.replace(p, end - p + 1, id);
    }
}

}  // namespace orvale::test
