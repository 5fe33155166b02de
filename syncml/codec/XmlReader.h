#pragma once
// Tokens of a SyncML XML document: prolog, start and end tags with their namespace attributes, text
// (entities and character references decoded) and CDATA sections. Every scan stops at the end of
// the input; names, references and the nesting of open elements are bounded.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "syncml/codec/TokenReader.h"

namespace orvale {

class XmlReader : public TokenReader {
public:
    XmlReader(const std::uint8_t* data, std::size_t size);

    // The XML declaration, comments and a DOCTYPE before the root element.
    ToolkitCode readProlog();
    ToolkitCode next(Token& token, bool pcdata) override;
    std::size_t offset() const override { return pos_; }

    static constexpr int kMaxDepth = 32;
    static constexpr std::size_t kMaxNameLength = 64;

private:
    struct Level {
        TagId tag;
        Namespace ns;
        bool prefixed;
    };

    bool startsWith(std::string_view s) const;
    void skipSpace();
    ToolkitCode skipPast(std::string_view terminator);
    ToolkitCode skipDoctype();
    ToolkitCode readName(std::string_view& name);
    // White space, then `ch` (0x2013 when something else stands there).
    ToolkitCode expect(char ch);
    // Drops "prefix:" from a tag name; the prefix has to be the bound one.
    ToolkitCode stripPrefix(std::string_view& name, bool& prefixed) const;
    ToolkitCode readAttributes(bool& declared, Namespace& ns, bool& content);
    ToolkitCode startTag(Token& t);
    ToolkitCode endTag(Token& t);
    ToolkitCode textRun(Token& t, std::size_t end);
    ToolkitCode rawTextElement(Token& t, bool& taken);

    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
    std::string_view prefix_;  // bound by an xmlns:prefix attribute
    Level stack_[kMaxDepth] = {};
    int depth_ = 0;
    bool textElementOpened_ = false;
    std::string decoded_;
};

}  // namespace orvale
