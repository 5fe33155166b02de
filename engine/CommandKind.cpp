#include "engine/CommandKind.h"

namespace orvale {

std::string commandName(CommandKind kind) {
    switch (kind) {
        case CommandKind::Sync: return "Sync";
        case CommandKind::SyncHdr: return "SyncHdr";
        case CommandKind::Status: return "Status";
        case CommandKind::Results: return "Results";
        case CommandKind::Put: return "Put";
        case CommandKind::Get: return "Get";
        case CommandKind::Alert: return "Alert";
        case CommandKind::Map: return "Map";
        case CommandKind::Replace: return "Replace";
        case CommandKind::Delete: return "Delete";
        case CommandKind::Add: return "Add";
        case CommandKind::Final: return "Final";
    }
    return "";
}

}  // namespace orvale
