// orvale-config: Orvale's settings for people who run it without screens (servers, scripts). A set
// goes through the settings screen's own save: the same validation, the same arming or removal of
// background sync, the same Conf.dat.
#include <iostream>
#include <string>
#include <vector>

#include "app/ClientApp.h"
#include "app/ConfigRecord.h"
#include "app/DiagnosticLog.h"
#include "app/SettingsSave.h"
#include "platform/DevicePaths.h"
#include "platform/NamedMutex.h"
#include "platform/Process.h"
#include "tools/config/ConfigKeys.h"
#include "tools/config/NextSyncKeys.h"
#include "tools/config/StoreKeys.h"

namespace {

using namespace orvale;
using namespace orvale::config_tool;

enum ExitCode : int {
    kOk = 0,
    kNotSaved = 1,  // Conf.dat could not be written, or the orvale program is missing
    kUsage = 2,     // wrong arguments, unknown key, bad value
    kNotArmed = 3,  // saved, but background sync could not be armed or removed
    kBusy = 4,      // Orvale runs on this device root; nothing was changed
    kDamaged = 5,   // Conf.dat is damaged; nothing was changed
    kUnsafe = 6,    // no device folder, or one another user owns or may write
    kNoEds = 7,     // eds-sources: the Evolution Data Server registry cannot be reached
};

constexpr std::size_t kMostPasswordInput = 4096;

std::string helpText() {
    return "usage: orvale-config show\n"
           "       orvale-config set [--password-stdin] [--replace-damaged] [--force] KEY=VALUE...\n"
           "       orvale-config eds-sources\n"
           "       orvale-config --help | --version\n"
           "\n"
           "Shows or changes the settings in Conf.dat of the device root $ORVALE_DEVICE_ROOT (default\n"
           "$XDG_DATA_HOME/orvale, else ~/.local/share/orvale). show prints every setting as KEY=VALUE\n"
           "but the password, which it shows as (set) or (empty). set changes the keys given and saves\n"
           "the way the settings screen does: with autosync=1 each save arms the next background sync\n"
           "at now + interval (through the at queue), with autosync=0 it removes it.\n"
           "--password-stdin reads the password from the first line of standard input, so that it\n"
           "never appears in a process list. A damaged Conf.dat (not one whole record) is neither shown\n"
           "nor changed; set --replace-damaged replaces it by the defaults and the keys given.\n"
           "eds-sources lists the address books, calendars and task lists of Evolution Data Server, one\n"
           "a line: folder, UID, name, and (default) for the system's own.\n"
           "\n"
           "keys:\n" +
           keyHelp() + nextSyncHelp() +
           "  log-runs      how many sync runs keep their log in Application Data/Orvale/Logs: 1-1000\n"
           "                (default 10); kept beside Conf.dat, not in it\n"
           "  log-names     on (default) or off: the run logs name the contacts, events and tasks\n" +
           storeHelp() +
           "\n"
           "exit codes: 0 done, 1 Conf.dat could not be written (or the orvale program is not beside\n"
           "orvale-config), 2 wrong arguments, unknown key or bad value (nothing is changed), 3 saved but\n"
           "background sync could not be armed (no at package, or no orvale-launcher beside orvale) or\n"
           "removed, 4 Orvale is running on this device root (nothing is changed), 5 Conf.dat is damaged\n"
           "(nothing is changed), 6 no device folder, or another user owns it or may write it, 7 (eds-sources)\n"
           "Evolution Data Server cannot be reached\n";
}

int usageError(const std::string& problem) {
    std::cerr << "orvale-config: " << problem << "\n(orvale-config --help shows the usage)\n";
    return kUsage;
}

// The first line of standard input, without its line end.
std::optional<std::string> passwordFromInput() {
    std::string line;
    char c = 0;
    while (std::cin.get(c) && c != '\n') {
        if (line.size() == kMostPasswordInput) return std::nullopt;
        line.push_back(c);
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

int damaged() {
    std::cerr << "orvale-config: " << kDamagedConfigText
              << " (or orvale-config set --replace-damaged KEY=VALUE...)\n";
    return kDamaged;
}

int show() {
    ConfigRecord record;
    const ConfigLoad state = record.read();
    if (state == ConfigLoad::Damaged) return damaged();
    if (state == ConfigLoad::Missing) std::cerr << "orvale-config: no Conf.dat yet; these are the defaults\n";
    showSettings(record, std::cout);
    std::cout << nextSyncLines();
    const LogSettings log = readLogSettings();
    std::cout << "log-runs=" << log.runs << "\nlog-names=" << (log.names ? "on" : "off") << "\n";
    std::string why;
    const auto store = platform::pim::StoreChoice::load(&why);
    if (!store) {
        std::cerr << "orvale-config: " << why << " (orvale-config set store=own or store=eds replaces it)\n";
        return kDamaged;
    }
    std::cout << storeLines(*store);
    return kOk;
}

int set(const std::vector<std::string>& args) {
    if (args.empty()) return usageError("set needs at least one KEY=VALUE");
    // A running Orvale saves its own copy of the record when its sync or its settings end, which
    // would undo this change without a word.
    int lastError = 0;
    const auto mutex = platform::NamedMutex::create(kInstanceMutexName, true, lastError);
    if (lastError == platform::kErrorAlreadyExists) {
        std::cerr << "orvale-config: Orvale is running on this device root (its screens or a background "
                     "sync); try again when it has ended\n";
        return kBusy;
    }
    bool replaceDamaged = false;
    for (const std::string& arg : args) replaceDamaged = replaceDamaged || arg == "--replace-damaged";
    ConfigRecord record;
    // A damaged file may still hold what the user would want back; only a user who says so loses it.
    if (record.read() == ConfigLoad::Damaged && !replaceDamaged) return damaged();
    EditableSettings settings = editableFrom(record);
    bool passwordFromStdin = false, passwordGiven = false, force = false;
    std::vector<std::string> notices;
    // Taken once every setting of the line is known: next-sync names the folders chosen then.
    std::vector<std::pair<std::string, std::string>> nextSyncKeys;
    std::size_t settingKeys = 0;
    // The run log's settings live beside Conf.dat, not in it.
    LogSettings logSettings = readLogSettings();
    bool logKeys = false, recordKeys = false;
    // So is the store, read here so that a damaged choice is replaced only when store= is given.
    std::string storeProblem;
    const auto storeBefore = platform::pim::StoreChoice::load(&storeProblem);
    platform::pim::StoreChoice storeWanted = storeBefore.value_or(platform::pim::StoreChoice{});
    bool storeKeys = false, storeKindGiven = false;
    for (const std::string& arg : args) {
        if (arg == "--password-stdin") {
            passwordFromStdin = true;
            recordKeys = true;
            continue;
        }
        if (arg == "--replace-damaged") continue;
        if (arg == "--force") {
            force = true;
            continue;
        }
        const auto eq = arg.find('=');
        if (eq == std::string::npos || eq == 0) return usageError("expected KEY=VALUE, got \"" + arg + "\"");
        const std::string key = arg.substr(0, eq);
        if (isNextSyncKey(key)) {
            nextSyncKeys.emplace_back(key, arg.substr(eq + 1));
            continue;
        }
        if (isStoreKey(key)) {
            if (const std::string problem = applyStoreKey(storeWanted, key, std::string_view(arg).substr(eq + 1));
                !problem.empty())
                return usageError(problem);
            storeKeys = true;
            storeKindGiven = storeKindGiven || key == "store";
            continue;
        }
        if (key.starts_with("log-")) {
            if (!applyLogSetting(logSettings, key, std::string_view(arg).substr(eq + 1)))
                return usageError(key == "log-runs" || key == "log-names"
                                      ? key + " takes " + (key == "log-runs" ? "a number of runs from 1 to 1000" : "on or off")
                                      : "unknown key \"" + key + "\"");
            logKeys = true;
            continue;
        }
        ++settingKeys;
        recordKeys = true;
        passwordGiven = passwordGiven || key == "password";
        const SetOutcome outcome = applySetting(key, std::string_view(arg).substr(eq + 1), settings);
        if (!outcome.ok) return usageError(outcome.problem);
        if (!outcome.notice.empty()) notices.push_back(outcome.notice);
    }
    if (passwordFromStdin) {
        if (passwordGiven) return usageError("the password is given twice (password= and --password-stdin)");
        const auto password = passwordFromInput();
        if (!password) return usageError("the password on standard input is too long");
        const SetOutcome outcome = applySetting("password", *password, settings);
        if (!outcome.ok) return usageError(outcome.problem);
    }
    std::vector<std::pair<int, SyncMode>> nextSync;
    for (const auto& [key, value] : nextSyncKeys) {
        std::string problem;
        for (const auto& request : nextSyncRequest(key, value, settings.input, problem)) nextSync.push_back(request);
        if (!problem.empty()) return usageError(problem);
    }
    if (const std::string refusal = nextSyncRefusal(nextSync, force); !refusal.empty()) return usageError(refusal);
    if (logKeys && !writeLogSettings(logSettings)) {
        std::cerr << "orvale-config: cannot write " << platform::hostPath(kLogSettingsPath).string() << "\n";
        return kNotSaved;
    }
    if (storeKeys) {
        if (!storeBefore && !storeKindGiven) {
            std::cerr << "orvale-config: " << storeProblem << " (set store=own or store=eds with it to replace it)\n";
            return kDamaged;
        }
        std::string lines;
        const bool stored = storeStoreChoice(storeBefore.value_or(platform::pim::StoreChoice{}), storeWanted, lines);
        (stored ? std::cout : std::cerr) << (stored ? "" : "orvale-config: ") << lines;
        if (!stored) return kNotSaved;
    }
    if (!recordKeys && nextSync.empty()) return kOk;
    if (settingKeys == 0 && !passwordFromStdin && !replaceDamaged && !nextSync.empty()) {
        // Only the next sync changes: Conf.dat and the background start stay as they are.
        if (!storeNextSync(nextSync)) {
            std::cerr << "orvale-config: cannot write the next sync's choice\n";
            return kNotSaved;
        }
        return kOk;
    }
    // Background sync starts the main program beside this tool.
    const std::filesystem::path mainProgram = platform::modulePath().parent_path() / "orvale";
    if (settings.input.autosync && !platform::isExecutableFile(mainProgram)) {
        std::cerr << "orvale-config: background sync needs the orvale program beside orvale-config ("
                  << mainProgram.string() << ")\n";
        return kNotSaved;
    }
    for (const auto& n : notices) std::cerr << "orvale-config: " << n << "\n";

    record.setFlag(ConfigFlag::SetupDone, settings.setupDone);
    SettingsEnvironment env = standardSettingsEnvironment(mainProgram);
    std::string armError;
    if (!saveSettings(record, settings.input, env, &armError)) {
        std::cerr << "orvale-config: cannot write " << record.path() << "\n";
        return kNotSaved;
    }
    if (!nextSync.empty() && !storeNextSync(nextSync)) {
        std::cerr << "orvale-config: settings saved, but not the next sync's choice\n";
        return kNotSaved;
    }
    if (armError.empty()) armError = standardTimedStartScheduler().lastError();
    if (!armError.empty()) {
        std::cerr << "orvale-config: saved, but background sync could not be "
                  << (settings.input.autosync ? "armed" : "removed") << ": " << armError << "\n";
        return kNotArmed;
    }
    return kOk;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> all(argv + 1, argv + argc);
    if (all.size() == 1 && (all[0] == "--help" || all[0] == "-h")) {
        std::cout << helpText();
        return kOk;
    }
    if (all.size() == 1 && all[0] == "--version") {
        std::cout << "orvale-config " ORVALE_VERSION "\n";
        return kOk;
    }
    if (const std::string problem = platform::deviceRootProblem(); !problem.empty()) {
        std::cerr << "orvale-config: " << problem << "\n";
        return kUnsafe;
    }
    if (all.size() == 1 && all[0] == "show") return show();
    if (all.size() == 1 && all[0] == "eds-sources") return listEdsSources();
    if (!all.empty() && all[0] == "set") return set({all.begin() + 1, all.end()});
    return usageError(all.empty() ? "no command" : "unknown command \"" + all[0] + "\"");
}
