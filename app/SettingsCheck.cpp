#include "app/SettingsCheck.h"

#include "app/SettingsSave.h"
#include "platform/DecimalText.h"
#include "platform/StringTable.h"
#include "platform/TextConversion.h"
#include "transport/ServerUrl.h"

namespace orvale {

std::optional<platform::StringId> serverUrlProblem(std::u16string_view url) {
    // The field's stand-in for no URL counts as none.
    if (url.empty() || url == platform::loadString(platform::StringId::EmptyUrl)) return platform::StringId::UrlMissing;
    const std::string narrow = platform::utf16ToUtf8(url);
    if (ServerUrl::hasUserInfo(narrow)) return platform::StringId::UrlHoldsCredentials;
    if (!ServerUrl::parse(narrow)) return platform::StringId::UrlNotHttp;
    return std::nullopt;
}

std::optional<platform::StringId> userNameProblem(std::u16string_view userName) {
    if (userName.empty()) return platform::StringId::UserNameMissing;
    return std::nullopt;
}

std::optional<platform::StringId> intervalProblem(std::u16string_view intervalText) {
    const std::int32_t n = platform::leadingDecimal(intervalText);
    if (n < 0 || n > kMaxAutosyncInterval) return platform::StringId::IntervalOutOfRange;
    return std::nullopt;
}

std::optional<platform::StringId> settingsProblem(const SettingsInput& input) {
    if (auto p = serverUrlProblem(input.url)) return p;
    if (auto p = userNameProblem(input.userName)) return p;
    return intervalProblem(input.intervalText);
}

}  // namespace orvale
