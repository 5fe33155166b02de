// orvale-e2e-run: what the end-to-end tests and the main job need from the program beyond
// `orvale autosync`, on the device root of $ORVALE_DEVICE_ROOT:
//   conf KEY=VALUE...   writes Conf.dat (keys: url user password contacts tasks calendar logging
//                       range back forward lastsync; a folder given a URI is enabled)
//   show                prints the record's fields as KEY=VALUE lines
//   sync [CANCEL-AFTER] the interactive run with a console view; prints every status, the
//                       last-sync line, the counts per shown folder and "result=N"; exits with N.
//                       CANCEL-AFTER cancels the run at that item result.
//   server-test         the server test; prints its three lines and saves the record
//   occurrences FROM TO every calendar event as "SUMMARY<tab>starts", the local start times
//                       (YYYYMMDDTHHMMSS, comma-separated) of its occurrences on the days FROM to TO
//                       (YYYYMMDD), computed from the event's stored start, pattern and exceptions
#include <cmath>
#include <cstdio>
#include <iostream>
#include <map>
#include <string>

#include "app/ConfigRecord.h"
#include "app/InteractiveRun.h"
#include "app/RunControl.h"
#include "app/ServerTest.h"
#include "platform/DecimalText.h"
#include "platform/SystemTime.h"
#include "platform/TextConversion.h"
#include "platform/pim/PimSession.h"
#include "platform/pim/RecurrenceOccurrence.h"

namespace {

using namespace orvale;

const std::map<std::string, ConfigText> kTexts = {
    {"url", ConfigText::ServerUrl},        {"user", ConfigText::UserName},
    {"password", ConfigText::Password},    {"contacts", ConfigText::ContactsUri},
    {"tasks", ConfigText::TasksUri},       {"calendar", ConfigText::CalendarUri},
    {"lastsync", ConfigText::LastSyncText}};
const std::map<std::string, ConfigFlag> kFolderFlags = {{"contacts", ConfigFlag::ContactsEnabled},
                                                        {"tasks", ConfigFlag::TasksEnabled},
                                                        {"calendar", ConfigFlag::CalendarEnabled}};

std::string narrow(const std::u16string& s) { return platform::utf16ToUtf8(s); }

int writeConf(int argc, char** argv) {
    ConfigRecord r;
    r.setFlag(ConfigFlag::SetupDone, true);
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        const auto eq = arg.find('=');
        if (eq == std::string::npos) return 2;
        const std::string key = arg.substr(0, eq), value = arg.substr(eq + 1);
        if (auto t = kTexts.find(key); t != kTexts.end()) {
            r.setText(t->second, platform::utf8ToUtf16(value));
            if (auto f = kFolderFlags.find(key); f != kFolderFlags.end()) r.setFlag(f->second, true);
        } else if (key == "logging") {
            r.setFlag(ConfigFlag::LoggingEnabled, value == "1");
        } else if (key == "range") {
            r.setFlag(ConfigFlag::CalendarRangeEnabled, value == "1");
        } else if (key == "back" || key == "forward") {
            r.setNumber(key == "back" ? ConfigNumber::DaysBack : ConfigNumber::DaysForward,
                        platform::leadingDecimal(value));
        } else {
            std::cerr << "orvale-e2e-run: unknown key " << key << "\n";
            return 2;
        }
    }
    return r.save() ? 0 : 1;
}

int show() {
    ConfigRecord& r = loadCurrentConfig();
    for (const auto& [key, field] : kTexts) std::cout << key << '=' << narrow(r.text(field)) << '\n';
    std::cout << "logging=" << r.flag(ConfigFlag::LoggingEnabled) << '\n';
    return 0;
}

class ConsoleView : public RunView {
  public:
    ConsoleView(RunControl& control, int cancelAfter) : control_(control), cancelAfter_(cancelAfter) {}
    void showStatus(const std::u16string& text) override { std::cout << "status=" << narrow(text) << std::endl; }
    void itemResult(int, int) override {
        if (++items_ == cancelAfter_) control_.cancel();
    }
    void resetProgress() override {}
    void setShownFolders(bool, bool, bool) override {}
    void showLastSync(const std::u16string& text) override { std::cout << "lastsync=" << narrow(text) << std::endl; }
    void showCause(const std::u16string& text) override { std::cout << "cause=" << narrow(text) << std::endl; }

  private:
    RunControl& control_;
    int cancelAfter_;
    int items_ = 0;
};

int sync(int argc, char** argv) {
    loadCurrentConfig();
    RunControl control;
    ConsoleView view(control, argc > 2 ? platform::leadingDecimal(argv[2]) : -1);
    KeepAwakeSlot keepAwake;
    const SyncResult result = interactiveRun(keepAwake, view, control);
    if (control.cancelled()) std::cout << "cancelled=1\n";
    std::cout << "result=" << static_cast<int>(result) << std::endl;
    return static_cast<int>(result);
}

int serverTest() {
    ConfigRecord& r = loadCurrentConfig();
    const ServerTestOutcome out = runServerTest(r);
    for (const auto& line : out.lines) std::cout << "line=" << narrow(line) << '\n';
    std::cout << "result=" << static_cast<int>(out.result) << std::endl;
    r.save();
    return static_cast<int>(out.result);
}

double variantOfDay(const std::string& day) {
    platform::SystemTime st;
    st.year = static_cast<std::uint16_t>(platform::leadingDecimal(day.substr(0, 4)));
    st.month = static_cast<std::uint16_t>(platform::leadingDecimal(day.substr(4, 2)));
    st.day = static_cast<std::uint16_t>(platform::leadingDecimal(day.substr(6, 2)));
    double v = 0;
    platform::systemTimeToVariantTime(st, v);
    return v;
}

std::string localText(double variant) {
    platform::SystemTime st;
    if (!platform::variantTimeToSystemTime(variant, st)) return "?";
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d%02d%02dT%02d%02d%02d", st.year, st.month, st.day, st.hour, st.minute,
                  st.second);
    return buf;
}

int occurrences(int argc, char** argv) {
    namespace pim = platform::pim;
    if (argc != 4 || !pim::Session::logOn()) return 2;
    const double first = variantOfDay(argv[2]), last = variantOfDay(argv[3]);
    auto folder = pim::Session::current()->defaultFolderItems(pim::kFolderCalendar);
    for (int i = 1; folder && i <= folder->count(); ++i) {
        auto item = folder->item(i);
        if (!item) continue;
        std::uint64_t fileTime = item->getProp(0x10420040).fileTime;
        platform::SystemTime st;
        double start = 0;
        if (!platform::fileTimeToSystemTime(fileTime, st) || !platform::systemTimeToVariantTime(st, start)) continue;
        std::string starts;
        auto add = [&](double when) { starts += (starts.empty() ? "" : ",") + localText(when); };
        if (!item->isRecurring()) {
            if (start >= first && start < last + 1) add(start);
        } else {
            const pim::RecurrencePattern& rp = item->recurrence();
            for (double day = first; day <= last; day += 1) {
                const double when = day + (start - std::floor(start));
                if (pim::patternOccursAt(rp, when) && !pim::hasExceptionOn(rp, when)) add(when);
            }
        }
        std::cout << narrow(item->getProp(0x0020001F).text) << '\t' << starts << '\n';
    }
    pim::Session::logOff();
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "conf") return writeConf(argc, argv);
    if (command == "show") return show();
    if (command == "sync") return sync(argc, argv);
    if (command == "server-test") return serverTest();
    if (command == "occurrences") return occurrences(argc, argv);
    std::cerr << "usage: orvale-e2e-run conf KEY=VALUE... | show | sync [CANCEL-AFTER] | server-test"
                 " | occurrences FROM TO\n";
    return 2;
}
