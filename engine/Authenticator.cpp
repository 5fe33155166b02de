#include "engine/Authenticator.h"

#include "engine/StatusCodes.h"

namespace orvale {

Authenticator::Authenticator(SessionDataStore& data, std::string user, std::string password)
    : data_(data), user_(std::move(user)), password_(std::move(password)) {}

void Authenticator::startSession() {
    current_.reset();
    sessionAuthenticated_ = false;
    locName_.clear();
    const std::string type = data_.has(kKeyAuthType) ? data_.getString(kKeyAuthType) : std::string("none");
    if (type == kAuthTypeBasic) {
        current_ = makeCredential(kAuthBasic, "b64", user_, password_, "");
    } else if (type == kAuthTypeMd5) {
        // An MD5 digest needs the server's nonce; without it the server will challenge us afresh.
        if (data_.has(kKeyNextNonce)) {
            current_ = makeCredential(kAuthMd5, "b64", user_, password_, data_.getString(kKeyNextNonce));
            locName_ = user_;
        }
    }
    required_ = current_.has_value();
}

void Authenticator::onInitHeaderStatus(int code, const std::optional<Challenge>& challenge,
                                       const std::optional<std::string>& nextNonce) {
    if (headerAccepted(code)) {
        if (nextNonce) data_.setString(kKeyNextNonce, *nextNonce);
        if (code == kStatusAuthenticationAccepted) {
            required_ = false;
            sessionAuthenticated_ = true;
            locName_.clear();
        } else {
            required_ = current_.has_value();
        }
        return;
    }
    if (!credentialsRefused(code)) return;
    const Challenge chal = challenge.value_or(Challenge{});
    if (chal.type == kAuthBasic) {
        data_.setString(kKeyAuthType, kAuthTypeBasic);
    } else if (chal.type == kAuthMd5) {
        data_.setString(kKeyAuthType, kAuthTypeMd5);
        locName_ = user_;
    } else {
        data_.setString(kKeyAuthType, kAuthTypeUnknown);
    }
    const std::string nonce = chal.nextNonce ? *chal.nextNonce : nextNonce.value_or("");
    current_ = makeCredential(chal.type, chal.format, user_, password_, nonce);
    required_ = true;
}

void Authenticator::onSyncHeaderStatus(int code) {
    // 212 authenticated us for the whole session: a later 200 does not bring the Cred back.
    if (code == kStatusOk) required_ = current_.has_value() && !sessionAuthenticated_;
    if (code == kStatusAuthenticationAccepted) {
        required_ = false;
        sessionAuthenticated_ = true;
        locName_.clear();
    }
}

const Credential* Authenticator::credentialToSend() const {
    return required_ && current_ ? &*current_ : nullptr;
}

}  // namespace orvale
