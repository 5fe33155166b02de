#pragma once
// What the next sync of a folder does, when the user chose something other than the usual two-way
// sync: kept in a small file of its own beside Conf.dat (whose fixed layout has no room for it),
// until a sync of that folder completes in the chosen way. A refresh that is interrupted is
// therefore repeated as the same refresh, never taken up as a two-way sync.
#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "stores/SyncMode.h"

namespace orvale {

inline constexpr std::string_view kNextSyncPath = "\\Application Data\\Orvale\\NextSync";

// The chosen modes of the three folders. A slow sync is asked for by forgetting the folder's
// anchor, so it is not kept here.
class NextSyncChoice {
public:
    // The stored choice; a missing or unreadable file is two-way everywhere (a line not understood
    // is skipped, so a damaged file never turns into a deleting mode).
    static NextSyncChoice load();
    // Written whole and replaced at once: a crash leaves the old choice or the new one.
    bool save() const;

    SyncMode mode(int kindCode) const;
    void set(int kindCode, SyncMode mode);
    bool any() const;

    // The text of the file, and its reading.
    std::string text() const;
    static NextSyncChoice parse(std::string_view text);

private:
    std::array<SyncMode, 3> modes_{SyncMode::TwoWay, SyncMode::TwoWay, SyncMode::TwoWay};
};

// What the next sync of the folder will be: the stored choice, or slow when the folder has no
// usable anchor, or two-way.
SyncMode effectiveNextSync(int kindCode);

// How many items the device's folder holds, for the warning before a refresh from an empty
// folder; none when the device cannot be read. Opens the device for the call, so not while a run
// holds it.
std::optional<std::size_t> deviceFolderItemCount(int kindCode);

// Forgets the folder's anchor, so its next session is a slow sync. True when no anchor file is left.
bool forgetFolderAnchor(int kindCode);

}  // namespace orvale
