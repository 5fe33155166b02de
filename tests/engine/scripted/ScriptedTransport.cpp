#include "scripted/ScriptedTransport.h"

#include "scripted/ReplyPlaceholders.h"
#include "scripted/XmlTree.h"
#include "support/LibwbxmlConvert.h"

namespace orvale::test {

int ScriptedTransport::exchange(const std::string& url, const std::string& request, std::string& reply) {
    reply.clear();
    RecordedRequest r{url, request, libwbxmlToXml(request)};
    std::string error;
    const std::unique_ptr<XmlNode> tree = parseXml(r.xml, error);
    requests_.push_back(std::move(r));
    const std::size_t n = requests_.size();
    if (n > replies_.size()) {
        problems_.push_back("request " + std::to_string(n) + " has no scripted reply");
        errorFlag_ = 1;
        lastStatus_ = 0;
        return 1;
    }
    const ScriptedReply& s = replies_[n - 1];
    if (s.kind == ScriptedReply::Kind::Failure) {
        errorFlag_ = 1;
        lastStatus_ = s.status;
        return 1;
    }
    if (s.kind == ScriptedReply::Kind::Bytes) {
        reply = s.content;
    } else {
        std::string xml = s.content;
        fillPlaceholders(xml, tree.get());
        reply = libwbxmlToWbxml(xml);
        if (reply.empty()) problems_.push_back("reply " + std::to_string(n) + " is not XML libwbxml2 can encode");
    }
    errorFlag_ = 0;
    lastStatus_ = 200;
    return 0;
}

}  // namespace orvale::test
