#include "tools/config/ConfigKeys.h"

#include <array>
#include <charconv>
#include <optional>
#include <variant>

#include "app/SettingsCheck.h"
#include "platform/StringTable.h"
#include "platform/TextConversion.h"
#include "transport/ServerUrl.h"

namespace orvale::config_tool {

namespace {

struct TextKey {
    std::u16string SettingsInput::*member;
    ConfigText field;
};
struct FlagKey {
    bool SettingsInput::*member;
    ConfigFlag field;
};
struct NumberKey {
    std::u16string SettingsInput::*member;
    ConfigNumber field;
};
struct UnitKey {};
struct SetupKey {};
struct ShownOnly {
    ConfigText field;
};
using KeyKind = std::variant<TextKey, FlagKey, NumberKey, UnitKey, SetupKey, ShownOnly>;

struct Key {
    const char* name;
    KeyKind kind;
    const char* help;
};

const std::array<Key, 19> kKeys = {{
    {"url", TextKey{&SettingsInput::url, ConfigText::ServerUrl}, "server URL: http:// or https:// and a host (at most 180 characters)"},
    {"user", TextKey{&SettingsInput::userName, ConfigText::UserName}, "user name, not empty (at most 40)"},
    {"password", TextKey{&SettingsInput::password, ConfigText::Password},
     "password (at most 40); better given with --password-stdin"},
    {"contacts", FlagKey{&SettingsInput::contacts, ConfigFlag::ContactsEnabled}, "sync contacts: 0 or 1"},
    {"contacts-uri", TextKey{&SettingsInput::contactsUri, ConfigText::ContactsUri},
     "server database of the contacts (at most 40)"},
    {"tasks", FlagKey{&SettingsInput::tasks, ConfigFlag::TasksEnabled}, "sync tasks: 0 or 1"},
    {"tasks-uri", TextKey{&SettingsInput::tasksUri, ConfigText::TasksUri}, "server database of the tasks"},
    {"calendar", FlagKey{&SettingsInput::calendar, ConfigFlag::CalendarEnabled}, "sync the calendar: 0 or 1"},
    {"calendar-uri", TextKey{&SettingsInput::calendarUri, ConfigText::CalendarUri},
     "server database of the calendar"},
    {"range", FlagKey{&SettingsInput::calendarRange, ConfigFlag::CalendarRangeEnabled},
     "sync only events between days-back and days-forward: 0 or 1"},
    {"days-back", NumberKey{&SettingsInput::daysBackText, ConfigNumber::DaysBack},
     "days before the sync date"},
    {"days-forward", NumberKey{&SettingsInput::daysForwardText, ConfigNumber::DaysForward},
     "days after the sync date"},
    {"autosync", FlagKey{&SettingsInput::autosync, ConfigFlag::AutosyncEnabled},
     "background sync: 0 or 1 (arms or removes its timed start)"},
    {"interval", NumberKey{&SettingsInput::intervalText, ConfigNumber::AutosyncInterval},
     "background sync every N units, 0-10000 (0 arms nothing)"},
    {"unit", UnitKey{}, "day, hour or minute (or 0, 1, 2)"},
    {"logging", FlagKey{&SettingsInput::logging, ConfigFlag::LoggingEnabled},
     "write Logs.dat after each run: 0 or 1"},
    {"setup", SetupKey{}, "the first-run set-up is done (the screens skip it): 0 or 1"},
    {"lastsync", ShownOnly{ConfigText::LastSyncText}, "time of the last successful sync (shown only)"},
    {"program", ShownOnly{ConfigText::ProgramPath}, "the program background sync starts (shown only)"},
}};

constexpr std::array<const char*, 3> kUnits = {"day", "hour", "minute"};

const Key* findKey(std::string_view name) {
    for (const Key& k : kKeys) {
        if (name == k.name) return &k;
    }
    return nullptr;
}

std::optional<bool> flagValue(std::string_view v) {
    if (v == "0") return false;
    if (v == "1") return true;
    return std::nullopt;
}

// A whole decimal number within 32 bits, nothing before or after it.
std::optional<std::int32_t> numberValue(std::string_view v) {
    std::int32_t n = 0;
    const auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), n);
    if (v.empty() || ec != std::errc() || end != v.data() + v.size()) return std::nullopt;
    return n;
}

// The password is never repeated back, not even on the terminal.
SetOutcome bad(std::string_view key, std::string_view value, const std::string& why) {
    const std::string shownValue = key == "password" ? std::string() : ": \"" + std::string(value) + "\"";
    return {false, "bad value for " + std::string(key) + shownValue + " (" + why + ")", {}};
}

std::string shown(const ConfigRecord& r, const Key& key) {
    struct Visitor {
        const ConfigRecord& r;
        std::string operator()(const TextKey& k) const {
            if (k.field == ConfigText::Password) return r.text(k.field).empty() ? "(empty)" : "(set)";
            // A URL stored before such URLs were refused may hold a password.
            if (k.field == ConfigText::ServerUrl && ServerUrl::hasUserInfo(platform::utf16ToUtf8(r.text(k.field))))
                return "(holds a user name or password; set url again)";
            return platform::utf16ToUtf8(r.text(k.field));
        }
        std::string operator()(const FlagKey& k) const { return r.flag(k.field) ? "1" : "0"; }
        std::string operator()(const NumberKey& k) const { return std::to_string(r.number(k.field)); }
        std::string operator()(const UnitKey&) const {
            const std::int32_t u = r.number(ConfigNumber::AutosyncUnit);
            return u >= 0 && u <= 2 ? kUnits[static_cast<std::size_t>(u)] : std::to_string(u);
        }
        std::string operator()(const SetupKey&) const { return r.flag(ConfigFlag::SetupDone) ? "1" : "0"; }
        std::string operator()(const ShownOnly& k) const { return platform::utf16ToUtf8(r.text(k.field)); }
    };
    return std::visit(Visitor{r}, key.kind);
}

}  // namespace

EditableSettings editableFrom(const ConfigRecord& record) {
    return {settingsInputFromRecord(record), record.flag(ConfigFlag::SetupDone)};
}

void showSettings(const ConfigRecord& record, std::ostream& out) {
    for (const Key& k : kKeys) out << k.name << '=' << shown(record, k) << '\n';
}

SetOutcome applySetting(std::string_view key, std::string_view value, EditableSettings& settings) {
    const Key* k = findKey(key);
    if (k == nullptr)
        return {false, "unknown key \"" + std::string(key) + "\" (orvale-config --help lists them)", {}};
    SettingsInput& in = settings.input;
    if (const auto* t = std::get_if<TextKey>(&k->kind)) {
        const std::u16string text = platform::utf8ToUtf16(value);
        if (platform::utf16ToUtf8(text) != value) return bad(key, value, "not UTF-8 text");
        const std::size_t most = ConfigRecord::textCapacity(t->field) - 1;
        if (text.size() > most) return bad(key, value, "longer than " + std::to_string(most) + " characters");
        // The screens' own checks, in their words.
        std::optional<platform::StringId> problem;
        if (t->field == ConfigText::ServerUrl) problem = serverUrlProblem(text);
        if (t->field == ConfigText::UserName) problem = userNameProblem(text);
        if (problem == platform::StringId::UrlHoldsCredentials) {
            // Not echoed: the text holds a password.
            return {false, "bad value for url (it holds a user name or password; give them with user= and password=)", {}};
        }
        if (problem) return bad(key, value, platform::utf16ToUtf8(platform::loadString(*problem)));
        in.*(t->member) = text;
    } else if (const auto* f = std::get_if<FlagKey>(&k->kind)) {
        const auto flag = flagValue(value);
        if (!flag) return bad(key, value, "0 or 1");
        in.*(f->member) = *flag;
    } else if (const auto* n = std::get_if<NumberKey>(&k->kind)) {
        const auto number = numberValue(value);
        if (!number) return bad(key, value, "a whole number");
        const std::u16string text = platform::utf8ToUtf16(std::to_string(*number));
        if (n->field == ConfigNumber::AutosyncInterval) {
            if (const auto problem = intervalProblem(text))
                return bad(key, value, platform::utf16ToUtf8(platform::loadString(*problem)));
        }
        in.*(n->member) = text;
    } else if (std::holds_alternative<UnitKey>(k->kind)) {
        int unit = -1;
        for (std::size_t i = 0; i < kUnits.size(); ++i) {
            if (value == kUnits[i] || value == std::to_string(i)) unit = static_cast<int>(i);
        }
        if (unit < 0) return bad(key, value, "day, hour or minute");
        in.unitIndex = unit;
    } else if (std::holds_alternative<SetupKey>(k->kind)) {
        const auto flag = flagValue(value);
        if (!flag) return bad(key, value, "0 or 1");
        settings.setupDone = *flag;
    } else {
        return {false, std::string(key) + " is written by the programs themselves and cannot be set", {}};
    }
    return {true, {}, {}};
}

std::string keyHelp() {
    std::string text;
    for (const Key& k : kKeys) {
        std::string name = "  " + std::string(k.name);
        name.resize(16, ' ');
        text += name + k.help + "\n";
    }
    return text;
}

}  // namespace orvale::config_tool
