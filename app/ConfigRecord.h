#pragma once
// The user's configuration: one fixed 1528-byte little-endian record, read and written whole. The
// Launcher reads the same file, so the layout is a file format: every field sits at a fixed offset.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace orvale {

inline constexpr std::string_view kConfigPath = "\\Application Data\\Orvale\\Conf.dat";

enum class ConfigText {
    ServerUrl,
    UserName,
    Password,
    ContactsUri,
    TasksUri,
    CalendarUri,
    LastSyncText,
    ProgramPath
};
enum class ConfigFlag {
    ContactsEnabled,
    CalendarEnabled,
    TasksEnabled,
    CalendarRangeEnabled,
    AutosyncEnabled,
    SetupDone,
    LoggingEnabled
};
// What a reader says when read() finds the file damaged.
inline constexpr std::string_view kDamagedConfigText = "the settings file is damaged; run setup again";

enum class ConfigLoad { Loaded, Missing, Damaged };

enum class ConfigNumber { DaysBack, DaysForward, AutosyncInterval, AutosyncUnit };

class ConfigRecord {
  public:
    static constexpr std::size_t kSize = 1528;
    static constexpr std::size_t kReservedOffset = 802;
    static constexpr std::size_t kReservedSize = 124;

    // A zero record; `devicePath` is where load and save go.
    explicit ConfigRecord(std::string devicePath = std::string(kConfigPath));

    // Reads the file whole. A file that is not exactly one record, or whose texts run past their
    // fields or whose flags are neither 0 nor 1, is damaged: nothing of it is taken (a cut file
    // would lose the credentials without a word, random bytes would become settings).
    ConfigLoad read();
    // True when read() found the record. A missing or empty file leaves the record as it was, a
    // damaged one zero.
    bool load() { return read() == ConfigLoad::Loaded; }
    // Creates or replaces the file, mode 0600. False when it cannot be written.
    bool save() const;

    // Text up to the first NUL, never beyond the field's width.
    std::u16string text(ConfigText field) const;
    // Cut to the field's width minus the terminator, never inside a surrogate pair; the rest of
    // the field is zeroed.
    void setText(ConfigText field, std::u16string_view value);
    bool flag(ConfigFlag field) const;
    void setFlag(ConfigFlag field, bool value);
    std::int32_t number(ConfigNumber field) const;
    void setNumber(ConfigNumber field, std::int32_t value);

    // Width of a text field in UTF-16 units, its terminator included.
    static std::size_t textCapacity(ConfigText field);
    // The longest text the field keeps whole, in UTF-16 units.
    static std::size_t maxTextLength(ConfigText field) { return textCapacity(field) - 1; }

    const std::string& path() const { return path_; }
    const std::array<std::uint8_t, kSize>& bytes() const { return bytes_; }
    std::array<std::uint8_t, kSize>& bytes() { return bytes_; }

  private:
    std::array<std::uint8_t, kSize> bytes_{};
    std::string path_;
};

// The one record of the process, created by the first screen or the background run.
ConfigRecord* currentConfig();
void setCurrentConfig(ConfigRecord* record);
// Creates the process's own record when there is none yet, loads it from its file and makes it
// current; a missing file leaves it zero.
ConfigRecord& loadCurrentConfig();

}  // namespace orvale
