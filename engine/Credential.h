#pragma once

#include <string>

namespace orvale {

inline constexpr const char* kAuthBasic = "syncml:auth-basic";
inline constexpr const char* kAuthMd5 = "syncml:auth-md5";

struct Credential {
    std::string format = "b64";
    std::string type = kAuthBasic;
    std::string data;
};

std::string basicCredentialData(const std::string& user, const std::string& password);
// nonce is the Base64 text exactly as the server sent it.
std::string md5CredentialData(const std::string& user, const std::string& password, const std::string& nonce);

// Types we do not know are answered in the basic form.
Credential makeCredential(const std::string& type, const std::string& format, const std::string& user,
                          const std::string& password, const std::string& nonce);

}  // namespace orvale
