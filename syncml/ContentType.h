#pragma once
// A MIME content type with the version SyncML sends beside it (CTType/VerCT, Meta Type).
#include <map>
#include <string>

namespace orvale {

class ContentType {
public:
    // The version comes from the known-types table; empty for a type the table does not hold.
    explicit ContentType(const std::string& text = std::string());
    ContentType(const std::string& text, const std::string& version);

    const std::string& text() const { return text_; }
    const std::string& mimeType() const { return mimeType_; }
    const std::string& secondName() const { return secondName_; }
    const std::string& version() const { return version_; }
    // Value of the "charset" parameter, empty when there is none.
    std::string charset() const;

    std::map<std::string, std::string>& parameters() { return parameters_; }
    const std::map<std::string, std::string>& parameters() const { return parameters_; }

    // Version of a known MIME type (already lower case), empty when unknown.
    static std::string knownVersion(const std::string& mimeType);

private:
    std::string text_;
    std::string mimeType_;
    std::string secondName_;
    std::string version_;
    std::map<std::string, std::string> parameters_;
};

}  // namespace orvale
