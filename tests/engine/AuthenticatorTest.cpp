#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <vector>

#include "engine/Authenticator.h"
#include "engine/Base64.h"
#include "engine/Md5.h"

namespace orvale {
namespace {

class MemorySessionData : public SessionDataStore {
public:
    MemorySessionData() : SessionDataStore(InMemory{}) {}
    void set(const std::string& key, const std::string& value) { setString(key, value); }
};

TEST(CredentialData, BasicAndDigestForms) {
    EXPECT_EQ(basicCredentialData("Bruce", "OhBehave"), "QnJ1Y2U6T2hCZWhhdmU=");
    // Independent computation of the digest form from the published primitives.
    const auto d1 = md5("Bruce:OhBehave");
    const std::string b1 = base64Encode(std::string_view(reinterpret_cast<const char*>(d1.data()), 16));
    ASSERT_EQ(b1.size(), 24u);
    const auto d2 = md5(b1 + ":" + std::string("Nonce"));
    const std::string want = base64Encode(std::string_view(reinterpret_cast<const char*>(d2.data()), 16));
    EXPECT_EQ(md5CredentialData("Bruce", "OhBehave", base64Encode("Nonce")), want);
    EXPECT_NE(md5CredentialData("Bruce", "OhBehave", base64Encode("Other")), want);
    // An unknown type is answered in the basic form.
    EXPECT_EQ(makeCredential("x-custom", "", "Bruce", "OhBehave", "").data, "QnJ1Y2U6T2hCZWhhdmU=");
    EXPECT_EQ(makeCredential("x-custom", "", "u", "p", "").format, "b64");
}

TEST(Authenticator, SessionStartFromStoredForm) {
    const struct { std::optional<std::string> type; std::optional<std::string> nonce; const char* credType; bool locName; } cases[] = {
        {std::nullopt, std::nullopt, nullptr, false},
        {"0", std::nullopt, kAuthBasic, false},
        {"1", base64Encode("n1"), kAuthMd5, true},
        {"1", std::nullopt, nullptr, false},  // digest without a nonce cannot be built
        {"-1", base64Encode("n1"), nullptr, false},
    };
    for (const auto& c : cases) {
        MemorySessionData data;
        if (c.type) data.set(kKeyAuthType, *c.type);
        if (c.nonce) data.set(kKeyNextNonce, *c.nonce);
        Authenticator auth(data, "user", "pw");
        auth.startSession();
        const Credential* cred = auth.credentialToSend();
        EXPECT_EQ(auth.credentialsRequired(), c.credType != nullptr);
        if (c.credType) {
            ASSERT_NE(cred, nullptr);
            EXPECT_EQ(cred->type, c.credType);
        } else {
            EXPECT_EQ(cred, nullptr);
        }
        EXPECT_EQ(auth.locName(), c.locName ? "user" : "");
    }
}

TEST(Authenticator, FirstSessionLearnsDigestFromChallenge) {
    MemorySessionData data;
    Authenticator auth(data, "user", "pw");
    auth.startSession();
    EXPECT_EQ(auth.credentialToSend(), nullptr);

    const std::string nonce = base64Encode("abc");
    auth.onInitHeaderStatus(401, Challenge{kAuthMd5, "b64", nonce}, std::nullopt);
    ASSERT_NE(auth.credentialToSend(), nullptr);
    EXPECT_EQ(auth.credentialToSend()->type, kAuthMd5);
    EXPECT_EQ(auth.credentialToSend()->data, md5CredentialData("user", "pw", nonce));
    EXPECT_EQ(auth.locName(), "user");
    EXPECT_EQ(data.getString(kKeyAuthType), "1");

    auth.onInitHeaderStatus(200, std::nullopt, base64Encode("next"));
    EXPECT_EQ(data.getString(kKeyNextNonce), base64Encode("next"));
    EXPECT_NE(auth.credentialToSend(), nullptr);

    // The next session starts with the stored form and nonce.
    Authenticator again(data, "user", "pw");
    again.startSession();
    ASSERT_NE(again.credentialToSend(), nullptr);
    EXPECT_EQ(again.credentialToSend()->data, md5CredentialData("user", "pw", base64Encode("next")));
}

TEST(Authenticator, AuthenticatedForSessionDropsCredAndLocName) {
    MemorySessionData data;
    data.set(kKeyAuthType, "1");
    data.set(kKeyNextNonce, base64Encode("n"));
    Authenticator auth(data, "user", "pw");
    auth.startSession();
    auth.onInitHeaderStatus(212, std::nullopt, std::nullopt);
    EXPECT_EQ(auth.credentialToSend(), nullptr);
    EXPECT_EQ(auth.locName(), "");
    auth.onSyncHeaderStatus(404);
    EXPECT_EQ(auth.credentialToSend(), nullptr);
    auth.onSyncHeaderStatus(200);
    EXPECT_EQ(auth.credentialToSend(), nullptr) << "a later 200 keeps the session's 212";
}

TEST(Authenticator, ChallengeTypeDecidesStoredForm) {
    const struct { const char* type; const char* stored; const char* credType; } cases[] = {
        {kAuthBasic, "0", kAuthBasic}, {kAuthMd5, "1", kAuthMd5}};
    for (const auto& c : cases) {
        MemorySessionData data;
        data.set(kKeyAuthType, "1");
        data.set(kKeyNextNonce, base64Encode("n"));
        Authenticator auth(data, "user", "pw");
        auth.startSession();
        auth.onInitHeaderStatus(407, Challenge{c.type, "", base64Encode("m")}, std::nullopt);
        EXPECT_EQ(data.getString(kKeyAuthType), c.stored);
        ASSERT_NE(auth.credentialToSend(), nullptr);
        EXPECT_EQ(auth.credentialToSend()->type, c.credType);
        EXPECT_EQ(auth.credentialToSend()->format, "b64");
    }
}

// Each row: the form stored from the last session, whether the messages travel unencrypted, then the
// challenges of successive 401s. After the last of them a credential goes out again or the session
// ends without one.
TEST(Authenticator, RefusedCredentialsAreNotRepeatedNorWeakened) {
    const std::string n1 = base64Encode("n1"), n2 = base64Encode("n2"), n3 = base64Encode("n3");
    const struct {
        const char* what;
        const char* stored;
        bool plainHttp;
        std::vector<std::optional<Challenge>> challenges;
        bool sendsAgain;
    } cases[] = {
        {"no challenge", "1", true, {std::nullopt}, false},
        {"a challenge of no type", "1", false, {Challenge{"", "b64", n2}}, false},
        {"an unknown type", "0", false, {Challenge{"x-token", "b64", n2}}, false},
        {"MD5 to basic over http", "1", true, {Challenge{kAuthBasic, "b64", std::nullopt}}, false},
        {"MD5 to basic over https", "1", false, {Challenge{kAuthBasic, "b64", std::nullopt}}, true},
        {"basic refused: the same basic", "0", false, {Challenge{kAuthBasic, "b64", std::nullopt}}, false},
        {"first basic challenge", nullptr, true, {Challenge{kAuthBasic, "b64", std::nullopt}}, true},
        {"a new nonce", "1", false, {Challenge{kAuthMd5, "b64", n2}}, true},
        {"the same nonce", "1", false, {Challenge{kAuthMd5, "b64", n1}}, false},
        {"a third credential", "1", false, {Challenge{kAuthMd5, "b64", n2}, Challenge{kAuthMd5, "b64", n3}}, false},
        {"basic, then MD5", nullptr, false, {Challenge{kAuthBasic, "b64", std::nullopt}, Challenge{kAuthMd5, "b64", n2}}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        MemorySessionData data;
        if (c.stored) data.set(kKeyAuthType, c.stored);
        data.set(kKeyNextNonce, n1);
        Authenticator auth(data, "user", "pw", c.plainHttp);
        auth.startSession();
        for (const auto& chal : c.challenges) auth.onInitHeaderStatus(401, chal, std::nullopt);
        EXPECT_EQ(auth.credentialToSend() != nullptr, c.sendsAgain);
        EXPECT_EQ(auth.refusal().empty(), c.sendsAgain) << auth.refusal();
    }
}

TEST(Authenticator, NoncesInSyncPhaseAndOtherCodesChangeNothing) {
    MemorySessionData data;
    Authenticator auth(data, "user", "pw");
    auth.startSession();
    auth.onInitHeaderStatus(500, std::nullopt, base64Encode("x"));
    EXPECT_TRUE(data.entries().empty());
    EXPECT_EQ(auth.credentialToSend(), nullptr);
}

}  // namespace
}  // namespace orvale
