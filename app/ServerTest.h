#pragma once
// The server test of the test-server screen: authenticate with the record's URL and credentials,
// and pair the folders with the server's databases from its device information.
#include <array>
#include <string>
#include <vector>

#include "app/RunEnvironment.h"
#include "app/SyncResult.h"
#include "engine/RemoteDeviceInfo.h"

namespace orvale {

class ConfigRecord;
class RunControl;

struct ServerTestOutcome {
    SyncResult result = SyncResult::Done;
    // The screen's three status lines.
    std::array<std::u16string, 3> lines;
    bool foldersConfigured = false;
    // Every database the server announced, in its order: its address and, in brackets, its display
    // name or else its preferred receive type ("card (text/x-vcard)").
    std::vector<std::u16string> databases;
    static constexpr std::size_t kMostDatabasesShown = 12;
    // The test's one warning (the password went unencrypted); empty when there was none. Told
    // whatever the result: a refused password has travelled all the same.
    std::u16string warning;
};

// Tests the URL and credentials `record` holds: the settings hand in a copy with what is typed.
// On success the three URI fields of `record` are cleared and refilled from the server's data
// stores; the record is not saved. Other results leave it alone. `control` lets another thread cut
// the test short (the screen's Back while a server stalls); a cut test reads as not reached.
ServerTestOutcome runServerTest(ConfigRecord& record, const RunEnvironment& env = RunEnvironment::standard(),
                                RunControl* control = nullptr);

// The folder pairing on its own: every store, its preferred receive type first and then each of its
// receive types; a later store overrides an earlier one. True when any URI was assigned.
bool assignFolderUris(ConfigRecord& record, const RemoteDeviceInfo& info);

}  // namespace orvale
