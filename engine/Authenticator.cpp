#include "engine/Authenticator.h"

#include "engine/StatusCodes.h"

namespace orvale {

Authenticator::Authenticator(SessionDataStore& data, std::string user, std::string password, bool plainHttp)
    : data_(data), user_(std::move(user)), password_(std::move(password)), plainHttp_(plainHttp) {}

void Authenticator::startSession() {
    current_.reset();
    sessionAuthenticated_ = false;
    locName_.clear();
    refusedCredentials_ = 0;
    refusal_.clear();
    const std::string type = data_.has(kKeyAuthType) ? data_.getString(kKeyAuthType) : std::string("none");
    md5Used_ = type == kAuthTypeMd5;
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
    // What we sent with the refused message was refused.
    if (current_ && required_) ++refusedCredentials_;
    const Challenge chal = challenge.value_or(Challenge{});
    const std::string nonce = chal.nextNonce ? *chal.nextNonce : nextNonce.value_or("");
    Credential next;
    if (chal.type == kAuthBasic || chal.type == kAuthMd5) next = makeCredential(chal.type, chal.format, user_, password_, nonce);
    if (refusal_.empty()) refusal_ = refusalOf(chal, next);
    if (!refusal_.empty()) {
        current_.reset();
        required_ = false;
        return;
    }
    if (chal.type == kAuthBasic) {
        data_.setString(kKeyAuthType, kAuthTypeBasic);
    } else {
        data_.setString(kKeyAuthType, kAuthTypeMd5);
        locName_ = user_;
        md5Used_ = true;
    }
    current_ = std::move(next);
    required_ = true;
}

std::string Authenticator::refusalOf(const Challenge& chal, const Credential& next) const {
    if (chal.type.empty()) return "the server refused the credentials without saying which form it wants";
    if (chal.type != kAuthBasic && chal.type != kAuthMd5)
        return "the server wants credentials of an unknown form (" + chal.type.substr(0, 64) + ")";
    if (chal.type == kAuthBasic && md5Used_ && plainHttp_)
        return "the server asked for the password itself instead of its digest over an unencrypted connection";
    if (current_ && required_ && current_->type == next.type && current_->data == next.data)
        return "the server refused the credentials";
    if (refusedCredentials_ >= kMaxCredentialsPerSession) return "the server refused the credentials twice";
    return {};
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
