#pragma once

#include <optional>
#include <string>

#include "engine/Credential.h"
#include "engine/SessionDataStore.h"

namespace orvale {

inline constexpr const char* kKeyAuthType = "AuthType";
inline constexpr const char* kKeyNextNonce = "NextNonce";
// The values stored under kKeyAuthType.
inline constexpr const char* kAuthTypeBasic = "0";
inline constexpr const char* kAuthTypeMd5 = "1";
inline constexpr const char* kAuthTypeUnknown = "-1";

// What the server's Chal (and the Status's Meta) told us.
struct Challenge {
    std::string type;
    std::string format;
    std::optional<std::string> nextNonce;
};

// Keeps the current credential of a session and learns the server's demanded form.
class Authenticator {
public:
    // `plainHttp`: the session's messages travel unencrypted.
    Authenticator(SessionDataStore& data, std::string user, std::string password, bool plainHttp = false);

    // Prepares the credential remembered from the previous session, if any.
    void startSession();

    // Status of our SyncHdr during initialisation. challenge is the Chal, when present; nextNonce the
    // NextNonce of the Status's Meta or Chal, when present.
    void onInitHeaderStatus(int code, const std::optional<Challenge>& challenge,
                            const std::optional<std::string>& nextNonce);
    // During synchronisation only 200 and 212 switch sending on and off.
    void onSyncHeaderStatus(int code);

    // The Cred to put in the next SyncHdr; nullptr when none is to be sent.
    const Credential* credentialToSend() const;
    // The SyncHdr Source LocName; empty when none.
    const std::string& locName() const { return locName_; }
    bool credentialsRequired() const { return required_; }

    // Set when a challenge is not answered and the session must end without authentication: a
    // challenge of no type or of a type we do not know, basic after MD5 over plain http, the very
    // credential the server has just refused, or a third credential for the same password. A server
    // that locks accounts after a few failures must not see the password again and again.
    const std::string& refusal() const { return refusal_; }

    static constexpr int kMaxCredentialsPerSession = 2;

private:
    std::string refusalOf(const Challenge& chal, const Credential& next) const;

    SessionDataStore& data_;
    std::string user_;
    std::string password_;
    std::optional<Credential> current_;
    bool required_ = false;
    bool sessionAuthenticated_ = false;
    std::string locName_;
    bool plainHttp_ = false;
    bool md5Used_ = false;    // the stored or demanded form of this session was MD5
    int refusedCredentials_ = 0;
    std::string refusal_;
};

}  // namespace orvale
