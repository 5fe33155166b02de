#pragma once
// The engine's numbering of the commands it sends and receives; pending and received commands are
// tagged with the same numbers.
#include <string>

namespace orvale {

enum class CommandKind : int {
    Sync = 0,
    SyncHdr = 1,
    Status = 2,
    Results = 3,
    Put = 4,
    Get = 5,
    Alert = 6,
    Map = 7,
    Replace = 8,
    Delete = 9,
    Add = 10,
    Final = 11,
};

// The element name a Status puts in Cmd for a command of this kind.
std::string commandName(CommandKind kind);

}  // namespace orvale
