#pragma once
// Where the device's personal information lives: Orvale's own database (the default, which works
// everywhere, headless too) or the desktop's Evolution Data Server, whose address book, calendar
// and task list other programs show. Kept in a small file beside Conf.dat, whose fixed layout has
// no room for it.
#include <optional>
#include <string>
#include <string_view>

namespace orvale::platform::pim {

inline constexpr std::string_view kStoreChoicePath = "\\Application Data\\Orvale\\Store";

struct StoreChoice {
    enum class Kind { Own, Eds };
    Kind kind = Kind::Own;
    // The EDS sources (their UIDs) of the three folders; empty means the system's own address book,
    // calendar and task list.
    std::string contactsSource;
    std::string calendarSource;
    std::string tasksSource;

    // The stored choice; a missing file is the own database. A file that names a store we do not
    // know is refused (nullopt, with `why`) rather than read as the own database, which would look
    // empty and be filled anew from the server.
    static std::optional<StoreChoice> load(std::string* why = nullptr);
    // Written whole and replaced at once.
    bool save() const;

    std::string text() const;
    static std::optional<StoreChoice> parse(std::string_view text, std::string* why = nullptr);
};

}  // namespace orvale::platform::pim
