#pragma once
// A small element tree of an XML document (names, trimmed text, children; attributes dropped) and
// the element-by-element comparison the scripted sessions use.
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace orvale::test {

struct XmlNode {
    std::string name;
    std::string text;  // trimmed character data directly inside the element
    std::vector<std::unique_ptr<XmlNode>> children;

    const XmlNode* child(const std::string& childName) const;
    // Every element of the subtree (this one included) with that name.
    void collect(const std::string& elementName, std::vector<const XmlNode*>& out) const;
    // The text of the first element found along a path of names below this one ("SyncHdr/MsgID").
    std::optional<std::string> textAt(const std::string& path) const;
};

// Null with `error` set when the text is not well-formed.
std::unique_ptr<XmlNode> parseXml(const std::string& text, std::string& error);

// Compares `actual` with `expected` in order. In the expected tree a text of "*" matches any text of
// a leaf and an element whose text is "..." matches any content. Returns the first difference as
// "path: what", or an empty string when they match.
std::string compareXml(const XmlNode& expected, const XmlNode& actual);

// The tree as one-line XML, for failure messages.
std::string toXml(const XmlNode& node);

}  // namespace orvale::test
