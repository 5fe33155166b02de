#pragma once
// One contact, event or task as vCard 2.1 / vCalendar 1.0 text: built by a store and serialised, or
// parsed from received text and read through getProperty/getValue. All text is bytes (the stores use
// UTF-8); names are compared as bytes.
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "stores/versit/VersitComponent.h"
#include "stores/versit/VersitParser.h"

namespace orvale {

class VersitDocument {
public:
    // With an inner name ("VCALENDAR", "VEVENT", "1.0"): an outer component holding VERSION and
    // PRODID, and one inner component that receives the properties. Without ("VCARD", "", "2.1"):
    // one component holding VERSION that receives the properties.
    VersitDocument(std::string_view outerName, std::string_view innerName, std::string_view version);

    // The name key is the property name, optionally followed by ";"-separated parameters that are
    // kept as written ("PHOTO;ENCODING=BASE64;TYPE=JPEG").
    void addProperty(std::string_view nameKey, std::string value);
    // Structured properties (N, ADR): the values are the components, in order.
    void addProperty(std::string_view nameKey, std::vector<std::string> values);
    // Lets addProperty("N", {"Smith", "Jo"}) pick the list (two literals would otherwise also
    // read as the character range of one text).
    void addProperty(std::string_view nameKey, std::initializer_list<std::string> values) {
        addProperty(nameKey, std::vector<std::string>(values));
    }

    // One entry per property of that name (parameters, ":", values), first the first one, then its
    // repeats. Empty when there is none.
    std::vector<std::string> getProperty(std::string_view name) const;
    // The values of the first property of that name joined with ";" (for a calendar document followed
    // by those of the same property on the outer component). No text at all when that is empty or the
    // document holds no item: a property counts as present exactly when this gives a text.
    std::optional<std::string> getValue(std::string_view name) const;

    // Replaces the document by the parsed text. False when the text is no complete document; the
    // document then holds nothing.
    bool parse(std::string_view text);
    // The same in chunks: beginParse, any number of feed calls, endParse.
    void beginParse();
    void feed(std::string_view chunk);
    bool endParse();

    // The document as text, lines ended by CR LF and folded at 75 characters.
    std::string serialize() const;

    const std::string& outerName() const { return outerName_; }
    const std::string& innerName() const { return innerName_; }
    const std::string& version() const { return version_; }
    // The top-level components in order (normally exactly one).
    const VersitComponentList& components() const { return top_; }
    // The component getProperty and getValue read, or null when there is no item.
    const VersitComponent* lookupComponent() const { return lookup_; }

private:
    std::string outerName_;
    std::string innerName_;
    std::string version_;
    VersitComponentList top_;
    VersitComponent* receiving_ = nullptr;
    VersitComponent* lookup_ = nullptr;
    VersitParser parser_;
};

}  // namespace orvale
