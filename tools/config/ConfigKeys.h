#pragma once
// The settings orvale-config shows and sets, by key: the settings screen's fields plus the set-up
// flag, and two that only the programs write (shown, never set).
#include <ostream>
#include <string>
#include <string_view>

#include "app/ConfigRecord.h"
#include "app/SettingsSave.h"

namespace orvale::config_tool {

// What a set changes: the screen's input, filled from the record first, and the set-up flag.
struct EditableSettings {
    SettingsInput input;
    bool setupDone = false;
};

EditableSettings editableFrom(const ConfigRecord& record);

// One KEY=VALUE line per setting; the password only as "(set)" or "(empty)".
void showSettings(const ConfigRecord& record, std::ostream& out);

struct SetOutcome {
    bool ok = false;
    std::string problem;  // when not ok
    std::string notice;   // said to the user even when ok
};

SetOutcome applySetting(std::string_view key, std::string_view value, EditableSettings& settings);

// The key list for the help text.
std::string keyHelp();

}  // namespace orvale::config_tool
