#include "scripted/XmlTree.h"

#include <expat.h>

namespace orvale::test {
namespace {

std::string trimmed(const std::string& s) {
    const auto b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos) return std::string();
    const auto e = s.find_last_not_of(" \t\r\n");
    return s.substr(b, e - b + 1);
}

struct Builder {
    std::unique_ptr<XmlNode> root;
    std::vector<XmlNode*> open;
    std::vector<std::string> rawText;
};

void XMLCALL onStart(void* user, const XML_Char* name, const XML_Char**) {
    auto* b = static_cast<Builder*>(user);
    auto node = std::make_unique<XmlNode>();
    node->name = name;
    XmlNode* raw = node.get();
    if (b->open.empty())
        b->root = std::move(node);
    else
        b->open.back()->children.push_back(std::move(node));
    b->open.push_back(raw);
    b->rawText.emplace_back();
}

void XMLCALL onEnd(void* user, const XML_Char*) {
    auto* b = static_cast<Builder*>(user);
    b->open.back()->text = trimmed(b->rawText.back());
    b->open.pop_back();
    b->rawText.pop_back();
}

void XMLCALL onText(void* user, const XML_Char* s, int len) {
    auto* b = static_cast<Builder*>(user);
    if (!b->rawText.empty()) b->rawText.back().append(s, static_cast<std::size_t>(len));
}

std::string compareAt(const XmlNode& e, const XmlNode& a, const std::string& path) {
    const std::string here = path + "/" + e.name;
    if (e.name != a.name) return here + ": element <" + a.name + "> found instead";
    if (e.text == "..." && e.children.empty()) return std::string();
    if (e.text != "*" && e.text != a.text) return here + ": text \"" + a.text + "\" found, \"" + e.text + "\" expected";
    if (e.text == "*" && !a.children.empty()) return here + ": elements found where text was expected";
    const std::size_t n = std::min(e.children.size(), a.children.size());
    for (std::size_t i = 0; i < n; ++i) {
        std::string d = compareAt(*e.children[i], *a.children[i], here);
        if (!d.empty()) return d;
    }
    if (e.children.size() > n) return here + ": <" + e.children[n]->name + "> missing";
    if (a.children.size() > n) return here + ": unexpected <" + a.children[n]->name + ">";
    return std::string();
}

}  // namespace

const XmlNode* XmlNode::child(const std::string& childName) const {
    for (const auto& c : children)
        if (c->name == childName) return c.get();
    return nullptr;
}

void XmlNode::collect(const std::string& elementName, std::vector<const XmlNode*>& out) const {
    if (name == elementName) out.push_back(this);
    for (const auto& c : children) c->collect(elementName, out);
}

std::optional<std::string> XmlNode::textAt(const std::string& path) const {
    const XmlNode* n = this;
    std::size_t start = 0;
    while (n != nullptr && start <= path.size()) {
        const std::size_t slash = path.find('/', start);
        n = n->child(path.substr(start, slash == std::string::npos ? std::string::npos : slash - start));
        if (slash == std::string::npos) break;
        start = slash + 1;
    }
    return n != nullptr ? std::optional<std::string>(n->text) : std::nullopt;
}

std::unique_ptr<XmlNode> parseXml(const std::string& text, std::string& error) {
    Builder b;
    XML_Parser p = XML_ParserCreate(nullptr);
    XML_SetUserData(p, &b);
    XML_SetElementHandler(p, onStart, onEnd);
    XML_SetCharacterDataHandler(p, onText);
    const bool ok = XML_Parse(p, text.data(), static_cast<int>(text.size()), 1) == XML_STATUS_OK;
    if (!ok)
        error = std::string(XML_ErrorString(XML_GetErrorCode(p))) + " at line " +
                std::to_string(XML_GetCurrentLineNumber(p));
    XML_ParserFree(p);
    if (!ok || b.root == nullptr) {
        if (ok) error = "no element";
        return nullptr;
    }
    return std::move(b.root);
}

std::string compareXml(const XmlNode& expected, const XmlNode& actual) { return compareAt(expected, actual, ""); }

std::string toXml(const XmlNode& node) {
    std::string s = "<" + node.name + ">" + node.text;
    for (const auto& c : node.children) s += toXml(*c);
    return s + "</" + node.name + ">";
}

}  // namespace orvale::test
