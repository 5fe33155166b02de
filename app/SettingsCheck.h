#pragma once
// The checks of what a person types as settings, shared by the setup pages, the settings screen
// and orvale-config, so that all three refuse the same things with the same words. A refused
// setting is never stored: a URL without a scheme or host reaches no server, one with a user name
// or password in it shows the password wherever the URL is shown, and an interval out of range
// used to be stored as 0, which silently switched background sync off.
#include <optional>
#include <string_view>

#include "platform/StringId.h"

namespace orvale {

// The text that says what is wrong, or none when the value may be stored.
std::optional<platform::StringId> serverUrlProblem(std::u16string_view url);
std::optional<platform::StringId> userNameProblem(std::u16string_view userName);
// The interval as the settings read it (leading decimal digits); 0 (no background start) to 10000.
std::optional<platform::StringId> intervalProblem(std::u16string_view intervalText);

struct SettingsInput;
// The first problem of URL, user name and interval, in that order.
std::optional<platform::StringId> settingsProblem(const SettingsInput& input);

}  // namespace orvale
