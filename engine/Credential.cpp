#include "engine/Credential.h"

#include "engine/Base64.h"
#include "engine/Md5.h"
#include "transport/MessageCapture.h"

namespace orvale {
namespace {

std::string_view digestBytes(const Md5Digest& d) {
    return std::string_view(reinterpret_cast<const char*>(d.data()), d.size());
}

}  // namespace

std::string basicCredentialData(const std::string& user, const std::string& password) {
    return base64Encode(user + ":" + password);
}

std::string md5CredentialData(const std::string& user, const std::string& password, const std::string& nonce) {
    const std::string b1 = base64Encode(digestBytes(md5(user + ":" + password)));
    return base64Encode(digestBytes(md5(b1 + ":" + base64Decode(nonce))));
}

Credential makeCredential(const std::string& type, const std::string& format, const std::string& user,
                          const std::string& password, const std::string& nonce) {
    Credential c;
    c.format = format.empty() ? "b64" : format;
    c.type = type;
    c.data = type == kAuthMd5 ? md5CredentialData(user, password, nonce) : basicCredentialData(user, password);
    MessageCapture::hideInCaptures(c.data);
    return c;
}

}  // namespace orvale
