#include "app/ConfigRecord.h"

#include <cstring>

#include "platform/DevicePaths.h"
#include "platform/FileAccess.h"

namespace orvale {

namespace {

struct TextSlot {
    std::size_t offset;
    std::size_t chars;
};

TextSlot slotOf(ConfigText field) {
    switch (field) {
        case ConfigText::ServerUrl:
            return {0, 181};
        case ConfigText::UserName:
            return {362, 41};
        case ConfigText::Password:
            return {444, 41};
        case ConfigText::ContactsUri:
            return {530, 41};
        case ConfigText::TasksUri:
            return {612, 41};
        case ConfigText::CalendarUri:
            return {694, 41};
        case ConfigText::LastSyncText:
            return {926, 41};
        case ConfigText::ProgramPath:
            return {1008, 260};
    }
    return {0, 0};
}

std::size_t offsetOf(ConfigFlag field) {
    switch (field) {
        case ConfigFlag::ContactsEnabled:
            return 526;
        case ConfigFlag::CalendarEnabled:
            return 527;
        case ConfigFlag::TasksEnabled:
            return 528;
        case ConfigFlag::CalendarRangeEnabled:
            return 776;
        case ConfigFlag::AutosyncEnabled:
            return 788;
        case ConfigFlag::SetupDone:
            return 800;
        case ConfigFlag::LoggingEnabled:
            return 801;
    }
    return 529;  // padding; unreachable for valid enumerators
}

std::size_t offsetOf(ConfigNumber field) {
    switch (field) {
        case ConfigNumber::DaysBack:
            return 780;
        case ConfigNumber::DaysForward:
            return 784;
        case ConfigNumber::AutosyncInterval:
            return 792;
        case ConfigNumber::AutosyncUnit:
            return 796;
    }
    return 780;
}

}  // namespace

ConfigRecord::ConfigRecord(std::string devicePath) : path_(std::move(devicePath)) {}

namespace {

constexpr ConfigText kAllTexts[] = {ConfigText::ServerUrl,   ConfigText::UserName, ConfigText::Password,
                                    ConfigText::ContactsUri, ConfigText::TasksUri, ConfigText::CalendarUri,
                                    ConfigText::LastSyncText, ConfigText::ProgramPath};
constexpr ConfigFlag kAllFlags[] = {ConfigFlag::ContactsEnabled,      ConfigFlag::CalendarEnabled,
                                    ConfigFlag::TasksEnabled,         ConfigFlag::CalendarRangeEnabled,
                                    ConfigFlag::AutosyncEnabled,      ConfigFlag::SetupDone,
                                    ConfigFlag::LoggingEnabled};

// Every save writes a terminator in each text's last unit and 0 or 1 in each flag.
bool isWholeRecord(const std::string& bytes) {
    if (bytes.size() != ConfigRecord::kSize) return false;
    for (ConfigText t : kAllTexts) {
        const TextSlot slot = slotOf(t);
        const std::size_t last = slot.offset + 2 * (slot.chars - 1);
        if (bytes[last] != 0 || bytes[last + 1] != 0) return false;
    }
    for (ConfigFlag f : kAllFlags) {
        const auto b = static_cast<unsigned char>(bytes[offsetOf(f)]);
        if (b > 1) return false;
    }
    return true;
}

}  // namespace

ConfigLoad ConfigRecord::read() {
    // One byte more than a record, so that a longer file shows as one.
    const auto content = platform::readFilePrefix(platform::hostPath(path_), kSize + 1);
    // Nothing to read (no file, an empty one, a folder in its place) leaves the record as it was.
    if (!content || content->empty()) return ConfigLoad::Missing;
    if (!isWholeRecord(*content)) {
        bytes_.fill(0);
        return ConfigLoad::Damaged;
    }
    std::memcpy(bytes_.data(), content->data(), kSize);
    return ConfigLoad::Loaded;
}

bool ConfigRecord::save() const {
    const std::string_view image(reinterpret_cast<const char*>(bytes_.data()), bytes_.size());
    return platform::writeWholeFile(platform::hostPath(path_), image, 0600);
}

std::size_t ConfigRecord::textCapacity(ConfigText field) {
    return slotOf(field).chars;
}

std::u16string ConfigRecord::text(ConfigText field) const {
    const TextSlot slot = slotOf(field);
    std::u16string out;
    for (std::size_t i = 0; i < slot.chars; ++i) {
        const std::size_t at = slot.offset + 2 * i;
        const auto c = static_cast<char16_t>(bytes_[at] | (bytes_[at + 1] << 8));
        if (c == 0) break;
        out.push_back(c);
    }
    return out;
}

void ConfigRecord::setText(ConfigText field, std::u16string_view value) {
    const TextSlot slot = slotOf(field);
    std::memset(bytes_.data() + slot.offset, 0, slot.chars * 2);
    std::size_t n = value.size() < slot.chars - 1 ? value.size() : slot.chars - 1;
    // A cut between the two halves of a pair would leave a lone high half, which no reader of the
    // file can turn back into a character; the whole character goes instead.
    if (n < value.size() && n > 0 && value[n - 1] >= 0xD800 && value[n - 1] <= 0xDBFF) --n;
    for (std::size_t i = 0; i < n; ++i) {
        bytes_[slot.offset + 2 * i] = static_cast<std::uint8_t>(value[i] & 0xFF);
        bytes_[slot.offset + 2 * i + 1] = static_cast<std::uint8_t>(value[i] >> 8);
    }
}

bool ConfigRecord::flag(ConfigFlag field) const {
    return bytes_[offsetOf(field)] != 0;
}

void ConfigRecord::setFlag(ConfigFlag field, bool value) {
    bytes_[offsetOf(field)] = value ? 1 : 0;
}

std::int32_t ConfigRecord::number(ConfigNumber field) const {
    const std::size_t at = offsetOf(field);
    const std::uint32_t v = static_cast<std::uint32_t>(bytes_[at]) |
                            (static_cast<std::uint32_t>(bytes_[at + 1]) << 8) |
                            (static_cast<std::uint32_t>(bytes_[at + 2]) << 16) |
                            (static_cast<std::uint32_t>(bytes_[at + 3]) << 24);
    return static_cast<std::int32_t>(v);
}

void ConfigRecord::setNumber(ConfigNumber field, std::int32_t value) {
    const std::size_t at = offsetOf(field);
    const auto v = static_cast<std::uint32_t>(value);
    for (std::size_t i = 0; i < 4; ++i) bytes_[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

namespace {
ConfigRecord* globalConfig = nullptr;
}

ConfigRecord* currentConfig() {
    return globalConfig;
}
void setCurrentConfig(ConfigRecord* record) {
    globalConfig = record;
}

ConfigRecord& loadCurrentConfig() {
    static ConfigRecord processRecord;
    if (globalConfig == nullptr) globalConfig = &processRecord;
    globalConfig->load();
    return *globalConfig;
}

}  // namespace orvale
