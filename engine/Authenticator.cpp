#include "engine/Authenticator.h"

namespace orvale {

Authenticator::Authenticator(SessionDataStore& data, std::string user, std::string password)
    : data_(data), user_(std::move(user)), password_(std::move(password)) {}

void Authenticator::startSession() {
    current_.reset();
    sessionAuthenticated_ = false;
    locName_.clear();
    const std::string type = data_.has(kKeyAuthType) ? data_.getString(kKeyAuthType) : std::string("none");
    if (type == "0") {
        current_ = makeCredential(kAuthBasic, "b64", user_, password_, "");
    } else if (type == "1") {
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
    if (code == 200 || code == 212) {
        if (nextNonce) data_.setString(kKeyNextNonce, *nextNonce);
        if (code == 212) {
            required_ = false;
            sessionAuthenticated_ = true;
            locName_.clear();
        } else {
            required_ = current_.has_value();
        }
        return;
    }
    if (code != 401 && code != 407) return;
    const Challenge chal = challenge.value_or(Challenge{});
    if (chal.type == kAuthBasic) {
        data_.setString(kKeyAuthType, "0");
    } else if (chal.type == kAuthMd5) {
        data_.setString(kKeyAuthType, "1");
        locName_ = user_;
    } else {
        data_.setString(kKeyAuthType, "-1");
    }
    const std::string nonce = chal.nextNonce ? *chal.nextNonce : nextNonce.value_or("");
    current_ = makeCredential(chal.type, chal.format, user_, password_, nonce);
    required_ = true;
}

void Authenticator::onSyncHeaderStatus(int code) {
    // 212 authenticated us for the whole session: a later 200 does not bring the Cred back.
    if (code == 200) required_ = current_.has_value() && !sessionAuthenticated_;
    if (code == 212) {
        required_ = false;
        sessionAuthenticated_ = true;
        locName_.clear();
    }
}

const Credential* Authenticator::credentialToSend() const {
    return required_ && current_ ? &*current_ : nullptr;
}

}  // namespace orvale
