#pragma once
// Turns vCard / vCalendar text, fed in any number of chunks, into components. Lines end at CR LF
// only; folded lines and quoted-printable soft breaks are joined before a line is read.
#include <cstddef>
#include <string>
#include <string_view>

#include "stores/versit/VersitComponent.h"

namespace orvale {

class VersitParser {
public:
    VersitParser() = default;

    void reset();
    void feed(std::string_view chunk);
    // Ends the text. Gives the top-level components when the text was one complete document (the
    // first component closed, nothing left open, no limit exceeded); otherwise an empty list.
    // The parser is reset afterwards.
    VersitComponentList finish();

private:
    void physicalLine(std::string_view line);
    void startLogicalLine(std::string_view line);
    void logicalLine(std::string_view line, bool quotedPrintable);
    void beginComponent(std::string_view name);
    void endComponent();
    void propertyLine(std::string_view line, bool quotedPrintable);
    bool charge(std::size_t elements);
    void overflow();

    std::string partial_;  // text after the last CR LF of the chunks so far
    std::string logical_;  // the logical line being assembled
    bool quotedPrintable_ = false;
    VersitComponentList top_;
    VersitComponent* current_ = nullptr;
    std::size_t open_ = 0;
    std::size_t components_ = 0;
    std::size_t elements_ = 0;
    std::size_t fed_ = 0;
    bool overflowed_ = false;
};

}  // namespace orvale
