#include "platform/pim/StoreChoice.h"

#include <filesystem>
#include <system_error>

#include "platform/DevicePaths.h"
#include "platform/FileAccess.h"
#include "platform/TextLines.h"

namespace orvale::platform::pim {

namespace {

// A few short lines; anything much longer is not ours.
constexpr std::size_t kMaxFileBytes = 4096;
// EDS source UIDs are short; a longer value is a damaged file.
constexpr std::size_t kMaxSourceBytes = 256;

}  // namespace

std::string StoreChoice::text() const {
    std::string out = kind == Kind::Eds ? "store eds\n" : "store own\n";
    auto line = [&](std::string_view key, const std::string& value) {
        if (value.empty()) return;
        out += key;
        out += ' ';
        out += value;
        out += '\n';
    };
    line("contacts-source", contactsSource);
    line("calendar-source", calendarSource);
    line("tasks-source", tasksSource);
    return out;
}

std::optional<StoreChoice> StoreChoice::parse(std::string_view text, std::string* why) {
    StoreChoice choice;
    auto refuse = [&](std::string reason) -> std::optional<StoreChoice> {
        if (why != nullptr) *why = std::move(reason);
        return std::nullopt;
    };
    while (const auto next = platform::takeLine(text)) {
        const std::string_view line = *next;
        if (line.empty()) continue;
        const std::size_t space = line.find(' ');
        const std::string_view key = line.substr(0, space);
        const std::string_view value = space == std::string_view::npos ? std::string_view() : line.substr(space + 1);
        if (value.size() > kMaxSourceBytes) return refuse("the store choice holds an overlong value");
        if (key == "store") {
            if (value == "own") choice.kind = Kind::Own;
            else if (value == "eds") choice.kind = Kind::Eds;
            else return refuse("the store choice names an unknown store \"" + std::string(value) + "\"");
        } else if (key == "contacts-source") {
            choice.contactsSource = value;
        } else if (key == "calendar-source") {
            choice.calendarSource = value;
        } else if (key == "tasks-source") {
            choice.tasksSource = value;
        }
        // Other keys are a later version's: skipped, as the rest of the file still says which store.
    }
    return choice;
}

std::optional<StoreChoice> StoreChoice::load(std::string* why) {
    const auto path = hostPath(kStoreChoicePath);
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) return StoreChoice{};
    const auto bytes = readFilePrefix(path, kMaxFileBytes);
    if (!bytes) {
        if (why != nullptr) *why = "the store choice " + path.string() + " cannot be read";
        return std::nullopt;
    }
    std::string reason;
    auto choice = parse(*bytes, &reason);
    if (!choice && why != nullptr) *why = "the store choice " + path.string() + " is damaged: " + reason;
    return choice;
}

bool StoreChoice::save() const { return writeWholeFile(hostPath(kStoreChoicePath), text(), 0600); }

}  // namespace orvale::platform::pim
