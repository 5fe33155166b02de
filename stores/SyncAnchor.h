#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "stores/SyncAnchorException.h"

namespace orvale {

// Marks the end of the last successful synchronisation of one folder: our label (sent as Last/Next)
// and the server's label for the same point.
class SyncAnchor {
public:
    // A new anchor for the current moment; no remote label yet.
    SyncAnchor();
    // An anchor both sides know by the same text; the time is the text read as a number.
    explicit SyncAnchor(const std::string& remoteLabel);
    SyncAnchor(const std::string& label, const std::string& remoteLabel, std::int64_t time);

    // Reads the stored line "label:remote:time" (labels escaped as escapeAnchorField does).
    static SyncAnchor parse(std::string_view text);

    void setRemoteLabel(const std::string& text);

    const std::string& getLabel() const { return label_; }
    const std::string& getRemoteLabel() const { return remoteLabel_; }
    std::int64_t getTime() const { return time_; }

    // The stored line, as the anchor file holds it.
    std::string toStoredText() const;

private:
    std::string label_;
    std::string remoteLabel_;
    std::int64_t time_ = 0;
};

// A label as the stored line holds it: a server may send any bytes, but a colon would split the
// fields and a line end would end the line, so those (and the escape itself) are preceded by a
// backslash, line ends written as \n and \r. Labels made of anything else are stored as they are.
std::string escapeAnchorField(std::string_view label);

}  // namespace orvale
