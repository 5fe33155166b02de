#pragma once
// The codes of the three store kinds, as the run, the stores, the counts and the screens exchange
// them.
namespace orvale {

inline constexpr int kKindContacts = 1;
inline constexpr int kKindCalendar = 2;
inline constexpr int kKindTasks = 4;

// A kind's place among the three as counts and screens list them (contacts, calendar, tasks);
// -1 for any other code.
constexpr int kindSlot(int code) {
    switch (code) {
        case kKindContacts: return 0;
        case kKindCalendar: return 1;
        case kKindTasks: return 2;
        default: return -1;
    }
}

}  // namespace orvale
